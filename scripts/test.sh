#!/usr/bin/env bash
# Installs what is needed, then runs every check CI runs, stopping at the
# first failure:
#   1. build everything with warnings as errors (build/) and run every test;
#   2. the whole suite again with AddressSanitizer, LeakSanitizer and
#      UndefinedBehaviorSanitizer (build-asan/); any report fails the run;
#   3. the Windows build (build-windows/): its tests and its installer under Wine;
#   4. each libFuzzer target for FUZZ_SECONDS (60) on a copy of its corpus;
#   5. every tracked .cpp and .h formatted as the root .clang-format says.
# About 35 minutes on two cores from a clean clone; less with ccache.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup.sh test

launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
jobs=$(nproc)
step() { printf '\n=== %s (%s)\n' "$1" "$(date +%T)"; }

step "build and tests"
cmake -S . -B build -G Ninja -DQUORVEL_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build build
(cd build && ctest --output-on-failure --no-tests=error -j"$jobs")

step "tests under ASan, LSan and UBSan"
cmake -S . -B build-asan -G Ninja -DQUORVEL_WERROR=ON -DQUORVEL_SANITIZE=ON -DQUORVEL_BUILD_BENCH=OFF \
  "${launcher[@]}" >/dev/null
cmake --build build-asan
# Reports go to files as well as failing their process, so one from a child
# process (a demo server a test started) cannot pass unseen.
reports="$root/build-asan/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=1:log_path=$reports/asan"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
status=0
# The packages are made and checked from the normal build; made again from
# sanitized binaries they would prove nothing more.
(cd build-asan && ctest --output-on-failure --no-tests=error -j"$jobs" -LE package) || status=$?
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS
if compgen -G "$reports/*" >/dev/null; then
  echo "Sanitizer reports:" >&2
  cat "$reports"/* >&2
  status=1
fi
[ "$status" -eq 0 ] || exit "$status"

step "Windows build under Wine"
# The client cross-built for Windows, its tests run under Wine, and its
# installer installed and driven on an X desktop against this build's demo
# server. The first run builds Qt for Windows (cached in ~/.cache/quorvel/).
QUORVEL_WINDOWS_TESTS=ON QUORVEL_DEMO_SERVER="$root/build/server/brastel-demo" bash scripts/build-windows.sh
(cd build-windows && ctest --output-on-failure -j"$jobs" -L windows)

step "fuzz smoke"
mkdir -p build-fuzz
for target in protocol server; do
  log="build-fuzz/smoke-$target.log"
  if ! FUZZ_JOBS=$jobs fuzz/run.sh "$target" -max_total_time="${FUZZ_SECONDS:-60}" -print_final_stats=1 \
    >"$log" 2>&1; then
    tail -n 80 "$log" >&2
    exit 1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" | sed "s/^/$target: /"
done

step "format"
# An empty list (no git, a tarball, a repository git refuses to read) would
# check nothing and pass.
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [ ${#sources[@]} -eq 0 ]; then
  echo "No .cpp or .h files from git ls-files: run the checks in a git clone, with git installed." >&2
  exit 1
fi
if ! clang-format --dry-run -Werror "${sources[@]}"; then
  echo "Not formatted; run: git ls-files '*.cpp' '*.h' | xargs clang-format -i" >&2
  exit 1
fi
step "all passed"
