#!/usr/bin/env bash
# Installs what is needed, builds everything with warnings as errors and runs
# every test. This is what CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
cmake -S . -B build -G Ninja -DQUORVEL_WERROR=ON >/dev/null
cmake --build build
cd build
ctest --output-on-failure -j2
