#!/usr/bin/env bash
# Retakes the screenshots of layers and transparency in docs/screenshots/ under Xvfb with the
# real programs, from the drawing tests/viewer/data/translucent_layers.xml (three layers, the
# upper two partly transparent):
#   editor_three_layers.png     the editor showing the drawing over its checkerboard, with the
#                               control panel and the layers list (taken by the viewer test
#                               that opens the drawing);
#   three_layers_png_in_feh.png the PNG that tintweave-render exports from it, with its alpha,
#                               opened in the image viewer feh, which shows transparency over
#                               its own checkerboard.
# Needs build/ with viewer_tests and tintweave-render built. feh and ImageMagick (for `import`)
# are installed here with apt-get when missing, for this script only: they are no dependency of
# Tintweave and scripts/install-deps.sh does not list them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
shots=$root/docs/screenshots
drawing=$root/tests/viewer/data/translucent_layers.xml

missing=()
command -v feh > /dev/null || missing+=(feh)
command -v import > /dev/null || missing+=(imagemagick)
if [ ${#missing[@]} -gt 0 ]; then
    apt-get install -y --no-install-recommends "${missing[@]}"
fi

# (a) The editor: the test saves the panel and the viewer side by side.
# It runs from the source tree, where the shaders and icons are.
TINTWEAVE_SCREENSHOTS=$shots xvfb-run -a -s "-screen 0 1280x1024x24" \
    build/tests/viewer/viewer_tests \
    --gtest_filter=Transparency.TranslucentLayersShowOverTheCheckerboard

# (b) The exported PNG in feh, its file name drawn over it, the window alone captured.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/tools/tintweave-render "$drawing" "$work/translucent_layers.png"
(cd "$work" && xvfb-run -a -s "-screen 0 640x640x24" bash -c '
    feh --image-bg checks --draw-filename --title shot -g 512x512+0+0 translucent_layers.png &
    viewer=$!
    sleep 2
    import -window shot "three_layers_png_in_feh.png"
    kill "$viewer"')
cp "$work/three_layers_png_in_feh.png" "$shots/"
echo "take-screenshots: wrote $shots/editor_three_layers.png and $shots/three_layers_png_in_feh.png"
