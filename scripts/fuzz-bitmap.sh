#!/usr/bin/env bash
# Builds the example bitmap's libFuzzer target with clang (address and undefined-behaviour
# sanitizers) in build-fuzz/ and runs it over readExampleBitmap (the editor's example bitmap and
# the tracer's input), seeded with small and damaged PNG, JPEG and BMP files and with the
# committed corpus. Inputs that break a check land in build-fuzz/bitmap-findings/.
# Usage: scripts/fuzz-bitmap.sh [seconds, default 600] [extra libFuzzer options...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
shift || true

mkdir -p build-fuzz
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DTINTWEAVE_BUILD_BENCH=OFF > build-fuzz/build.log
nice -n 19 cmake --build build-fuzz --target bitmap_fuzzer bitmap_seeds -j 2 >> build-fuzz/build.log

mkdir -p build-fuzz/bitmap-corpus build-fuzz/bitmap-findings
build-fuzz/tests/fuzz/bitmap_seeds build-fuzz/bitmap-corpus
cp tests/fuzz/bitmap_corpus/* build-fuzz/bitmap-corpus/

# The machines are shared: fuzz at the lowest priority. Leaks are the toolkit's image plugins'
# caches, not findings.
ASAN_OPTIONS=detect_leaks=0 nice -n 19 build-fuzz/tests/fuzz/bitmap_fuzzer \
  -max_total_time="$seconds" -max_len=65536 -timeout=20 -rss_limit_mb=2048 \
  -artifact_prefix=build-fuzz/bitmap-findings/ -print_final_stats=1 "$@" build-fuzz/bitmap-corpus
