#!/usr/bin/env bash
# Builds Quorvel for 64-bit Windows on this Debian machine and packages it:
#   build-windows/quorvel-<version>-win64-setup.exe  the installer (NSIS)
#   build-windows/quorvel-<version>-win64.zip        the same folder, zipped
# Qt for Windows is built from Debian's qtbase source the first time (about an
# hour on two cores) and reused from ~/.cache/quorvel/ afterwards.
# QUORVEL_WINDOWS_TESTS=ON also cross-builds the test programs, for ctest
# under Wine in build-windows/ (label windows); QUORVEL_DEMO_SERVER, a Linux
# brastel-demo, adds the test of the installer with it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out="$root/build-windows"
step() { printf '\n=== %s (%s)\n' "$1" "$(date +%T)" >&2; }

bash scripts/setup.sh windows
step "Qt for Windows"
qt=$(bash scripts/windows/qt.sh)
echo "Qt: $qt" >&2

step "cross build"
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/scripts/windows/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQUORVEL_BUILD_SERVER=OFF -DQUORVEL_BUILD_BENCH=OFF -DQUORVEL_WERROR=ON \
  -DQUORVEL_BUILD_TESTS="${QUORVEL_WINDOWS_TESTS:-OFF}" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/windows/wine-run.sh;$qt;$out/wine" \
  -DQUORVEL_DEMO_SERVER="${QUORVEL_DEMO_SERVER:-}" \
  "${launcher[@]}" >/dev/null
nice -n 5 cmake --build "$out"

step "bundle"
version=$(sed -n 's/^project(Quorvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name="quorvel-$version-win64"
bundle="$out/$name"
bash scripts/windows/bundle.sh "$qt" "$out/src/quorvel.exe" "$bundle"

step "installer and zip"
bash scripts/windows/package.sh "$bundle" "$out/dist/quorvel.ico" "$version"
