#!/bin/sh
# Builds a fuzz target with clang, ASan and UBSan in build-fuzz and runs it
# on a copy of its committed seed corpus.
#
#   fuzz/run.sh                        protocol target, 10 million runs
#   fuzz/run.sh server                 the demo server's target, 10 million runs
#   fuzz/run.sh server -runs=1000      any libFuzzer options after the target
#   fuzz/run.sh server -jobs=2 -workers=2 -runs=5000000
#                                      two processes sharing the corpus, 5 million runs each
#   FUZZ_JOBS=2 fuzz/run.sh            more build jobs
#
# Targets: protocol (the client's receive path), server (the demo server's
# request handling). New inputs go to build-fuzz/corpus-TARGET; crashes to
# build-fuzz/artifacts. A crash found is replayed with:
#   build-fuzz/fuzz/fuzz_TARGET <crash-file>
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

target=protocol
case "${1:-}" in
protocol | server)
  target=$1
  shift
  ;;
esac

launcher=""
if command -v ccache >/dev/null 2>&1; then launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"; fi
cmake -S "$root" -B "$build" -G Ninja $launcher \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVEL_BUILD_FUZZ=ON -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "fuzz_$target" -j "${FUZZ_JOBS:-1}"

corpus="$build/corpus-$target"
mkdir -p "$corpus" "$build/artifacts"
cp -n "$root/fuzz/corpus/$target"/* "$corpus/" 2>/dev/null || true
if [ $# -eq 0 ]; then
  set -- -runs=10000000
fi
cd "$build"
# Qt is built without frame pointers, so stacks unwound through it are
# garbage that never repeats: recording them for every allocation makes the
# sanitizer's stack store the main cost and grow without end. One frame is
# enough to find a fault; replay a crash with a longer context if needed.
ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=1:quarantine_size_mb=64}"
export ASAN_OPTIONS
exec "$build/fuzz/fuzz_$target" -artifact_prefix="$build/artifacts/" -dict="$root/fuzz/$target.dict" \
  -max_len=4096 -timeout=10 \
  "$@" "$corpus"
