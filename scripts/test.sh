#!/usr/bin/env bash
# Installs the dependencies, builds Tintweave and runs the whole test suite.
# GL and widget tests need an X server: the suite runs under Xvfb with Mesa's llvmpipe.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# Unformatted code fails the run before anything is built.
bash scripts/check-format.sh
bash scripts/build.sh
cd build
# A test process that cannot reach the virtual X server at start-up (it happens now and then
# when many short GL processes connect one after another) is run again, up to twice.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j 2 --repeat until-pass:3 "$@"
