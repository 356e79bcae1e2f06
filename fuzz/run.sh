#!/bin/sh
# Builds the protocol fuzz target with clang, ASan and UBSan in build-fuzz and
# runs it on a copy of the committed seed corpus.
#
#   fuzz/run.sh                 10 million runs
#   fuzz/run.sh -runs=1000      any libFuzzer options
#   fuzz/run.sh -jobs=2 -workers=2 -runs=5000000
#                               two processes sharing the corpus, 5 million runs each
#   FUZZ_JOBS=2 fuzz/run.sh     more build jobs
#
# New inputs go to build-fuzz/corpus-protocol; crashes to build-fuzz/artifacts.
# A crash found is replayed with: build-fuzz/fuzz/fuzz_protocol <crash-file>
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVEL_BUILD_FUZZ=ON -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_BENCH=OFF
cmake --build "$build" --target fuzz_protocol -j "${FUZZ_JOBS:-1}"

mkdir -p "$build/corpus-protocol" "$build/artifacts"
cp -n "$root"/fuzz/corpus/protocol/* "$build/corpus-protocol/" 2>/dev/null || true
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
exec "$build/fuzz/fuzz_protocol" -artifact_prefix="$build/artifacts/" -dict="$root/fuzz/protocol.dict" \
  -max_len=4096 -timeout=10 \
  "$@" "$build/corpus-protocol"
