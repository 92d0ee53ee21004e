#!/usr/bin/env bash
# Renders every icon source here into the 30 x 30 PNG the control panel loads from icons/.
# Run after editing an SVG and commit the PNGs: the build does not render them.
# Uses rsvg-convert (Debian librsvg2-bin) when present, else ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")"
for svg in *.svg; do
  png="../${svg%.svg}.png"
  if command -v rsvg-convert >/dev/null; then
    rsvg-convert -w 30 -h 30 -o "$png" "$svg"
  else
    convert -background none -density 96 "$svg" -resize 30x30 "PNG32:$png"
  fi
done
