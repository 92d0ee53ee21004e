#!/usr/bin/env bash
# Renders the application icon tintweave.svg into the PNG sizes installed under
# share/icons/hicolor. Run after editing the SVG and commit the PNGs: the build does not render
# them. Needs rsvg-convert (Debian librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" -o "tintweave-$size.png" tintweave.svg
done
