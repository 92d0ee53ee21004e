#!/usr/bin/env bash
# Runs the tests that start child programs (the editor, tintweave-render, tintweave-trace) with
# HOME pointing at a new empty folder and the XDG_* folders unset, so that anything a test process
# or one of its children writes into the user's home (settings, recent files, recovery copies,
# GL shader caches) lands there; fails when anything does.
# Usage: home_left_alone.sh EXECUTABLE GTEST_FILTER [EXECUTABLE GTEST_FILTER ...] (ctest runs it as
# UserHomeLeftAlone, under the X server of the suite).
set -u
home=$(mktemp -d "${TMPDIR:-/tmp}/tintweave-home.XXXXXX") || exit 1
trap 'rm -rf "$home"' EXIT
failed=0
while [ $# -ge 2 ]; do
  echo "== $(basename "$1") --gtest_filter=$2 (HOME=$home)"
  env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME HOME="$home" \
    "$1" --gtest_filter="$2" --gtest_brief=1 || failed=1
  shift 2
done
left=$(cd "$home" && find . -mindepth 1 | sort)
if [ -n "$left" ]; then
  echo "The tests wrote into the user's home folder:"
  echo "$left"
  exit 1
fi
[ "$failed" -eq 0 ] || { echo "Some of the tests failed."; exit 1; }
echo "The home folder was left as it was found (empty)."
