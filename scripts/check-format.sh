#!/usr/bin/env bash
# Checks that every C++ source of the tree follows .clang-format; lists what does not and fails.
# Build folders (build*/), hidden folders and the fuzzing corpus are left out.
# Needs clang-format 14 (Debian package clang-format). Run from anywhere.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format > /dev/null; then
    echo "check-format: clang-format is not installed (Debian package clang-format)" >&2
    exit 2
fi
find . \( -path './build*' -o -path './.*' -o -path './tests/fuzz/corpus' \) -prune -o \
    -type f \( -name '*.cpp' -o -name '*.h' \) -print0 \
    | sort -z \
    | xargs -0 clang-format --dry-run --Werror --style=file \
    || { echo "check-format: the files above are not formatted (clang-format -i fixes them)" >&2; exit 1; }
