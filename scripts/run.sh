#!/usr/bin/env bash
# Installs the dependencies, builds Tintweave and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -x build/app/tintweave ]; then
  exec build/app/tintweave "$@"
fi
echo "The editor is not built yet: only the libraries and tests exist so far." >&2
exit 1
