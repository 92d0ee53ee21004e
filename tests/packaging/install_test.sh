#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and runs the installed programs from / with the
# source and build trees out of reach (hidden under empty file systems in a private mount
# namespace, when unshare can make one): the installed renderer must write the picture the
# build tree's renderer writes, from the installed shaders, and the installed editor must start
# with its shaders and icons.
#   install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$(cd "$1" && pwd -P)
build_dir=$(cd "$2" && pwd -P)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

stage=$work/stage
DESTDIR=$stage cmake --install "$build_dir" --prefix /usr >"$work/install.log" 2>&1 \
  || { echo "cmake --install failed:"; cat "$work/install.log"; exit 1; }
bin=$stage/usr/bin
for program in tintweave tintweave-render tintweave-trace; do
  [ -x "$bin/$program" ] || { echo "not installed: $program"; exit 1; }
done
for file in share/tintweave/shaders/gl/img_process.vert share/tintweave/icons/drawCatmull.png \
  share/applications/org.tintweave.Tintweave.desktop share/man/man1/tintweave-render.1.gz \
  share/icons/hicolor/scalable/apps/tintweave.svg share/mime/packages/tintweave.xml; do
  [ -f "$stage/usr/$file" ] || { echo "not installed: $file"; exit 1; }
done

cp "$source_dir/tests/viewer/data/vertical_split.xml" "$work/drawing.xml"
"$build_dir/tools/tintweave-render" --size 256 "$work/drawing.xml" "$work/build.png" \
  || { echo "the build tree's renderer failed"; exit 1; }

# Runs a command from / with the trees hidden when possible (the trees may contain each other).
hidden() {
  if unshare -rm true 2>/dev/null; then
    unshare -rm bash -c 'for d in "$0" "$1"; do [ ! -d "$d" ] || mount -t tmpfs none "$d"; done; cd /; exec "${@:2}"' \
      "$source_dir" "$build_dir" "$@"
  else
    echo "unshare is not usable: the trees stay in place, the data path is checked only" >&2
    (cd / && "$@")
  fi
}

hidden "$bin/tintweave-render" --verbose --size 256 "$work/drawing.xml" "$work/installed.png" \
  2>"$work/render.err"
grep -qx "tintweave-render: shaders from $stage/usr/share/tintweave/shaders" "$work/render.err" \
  || { echo "the installed renderer did not read the installed shaders:"; cat "$work/render.err"; exit 1; }
cmp "$work/build.png" "$work/installed.png" \
  || { echo "the installed renderer wrote another picture"; exit 1; }

# The editor: still running after a few seconds, with the drawing loaded (its curve count on
# stdout), its shaders linked (uniform lookups reported) and no missing file reported.
editor=(timeout 8 "$bin/tintweave" "$work/drawing.xml")
if [ -z "${DISPLAY:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "no display and no xvfb-run"; exit 1; }
  editor=(xvfb-run -a -s "-screen 0 1280x1024x24" "${editor[@]}")
fi
status=0
hidden "${editor[@]}" >"$work/editor.out" 2>"$work/editor.err" || status=$?
if [ $status -ne 124 ] || ! grep -qx 1 "$work/editor.out" \
  || ! grep -q "uniform location of" "$work/editor.err" \
  || grep -qi "missing\|cannot open" "$work/editor.err"; then
  echo "the installed editor did not start cleanly (exit $status):"
  cat "$work/editor.out" "$work/editor.err"
  exit 1
fi
echo "installed programs ran from / without the source and build trees"
