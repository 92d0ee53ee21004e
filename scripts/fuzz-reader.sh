#!/usr/bin/env bash
# Builds the CurveSetXML reader's libFuzzer target with clang (address and undefined-behaviour
# sanitizers) in build-fuzz/ and runs it, seeded with drawings written by the writer and with the
# committed corpus of hostile files. Inputs that break a check land in build-fuzz/findings/.
# Usage: scripts/fuzz-reader.sh [seconds, default 600] [extra libFuzzer options...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
shift || true

mkdir -p build-fuzz
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DTINTWEAVE_BUILD_BENCH=OFF > build-fuzz/build.log
nice -n 19 cmake --build build-fuzz --target xml_reader_fuzzer xml_reader_seeds -j 2 >> build-fuzz/build.log

mkdir -p build-fuzz/corpus build-fuzz/findings
build-fuzz/tests/fuzz/xml_reader_seeds build-fuzz/corpus
cp tests/fuzz/corpus/* build-fuzz/corpus/

# The machines are shared: fuzz at the lowest priority.
nice -n 19 build-fuzz/tests/fuzz/xml_reader_fuzzer \
  -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
  -dict=tests/fuzz/xml_reader.dict -artifact_prefix=build-fuzz/findings/ \
  -print_final_stats=1 "$@" build-fuzz/corpus
