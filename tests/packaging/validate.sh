#!/usr/bin/env bash
# Runs one validator over the desktop integration files; exits 77 (skipped) when the validator
# is not installed, 1 when it reports anything.
#   validate.sh desktop FILE.desktop | appstream FILE.metainfo.xml | man PAGE.1... |
#               mime MIME.xml SAMPLES_DIR
set -uo pipefail

need() { command -v "$1" >/dev/null || { echo "$1 is not installed: skipped"; exit 77; }; }

# Fails when the command prints anything at all (validators print hints on success too).
silent() {
  local output
  output=$("$@" 2>&1)
  local status=$?
  [ -z "$output" ] && [ $status -eq 0 ] && return 0
  printf '%s\n' "$output"
  return 1
}

kind=$1
shift
case $kind in
  desktop)
    need desktop-file-validate
    silent desktop-file-validate "$@" ;;
  appstream)
    need appstreamcli
    appstreamcli validate --no-net --strict "$@" ;;
  man)
    need man
    status=0
    for page in "$@"; do
      # Warnings from groff and man go to stderr; the page itself is thrown away.
      warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
      if [ -n "$warnings" ]; then
        echo "$page: $warnings"
        status=1
      fi
    done
    exit $status ;;
  mime)
    # Installs the type into a private database and asks GIO what each sample is: drawings by
    # their content (document type or root element), whatever their name, other XML not.
    need update-mime-database
    need gio
    data=$(mktemp -d)
    trap 'rm -rf "$data"' EXIT
    mkdir -p "$data/mime/packages" "$data/samples"
    cp "$1" "$data/mime/packages/tintweave.xml"
    XDG_DATA_DIRS="$data:/usr/share" silent update-mime-database "$data/mime" || exit 1
    printf '<!DOCTYPE CurveSetXML>\n<curve_set image_width="512" image_height="512"/>\n' \
      > "$data/samples/with-doctype"
    printf '<?xml version="1.0"?>\n<curve_set image_width="512" image_height="512"/>\n' \
      > "$data/samples/with-root"
    printf '<?xml version="1.0"?>\n<svg xmlns="http://www.w3.org/2000/svg"/>\n' \
      > "$data/samples/other-xml"
    status=0
    expect() {
      local type
      type=$(XDG_DATA_HOME="$data" XDG_DATA_DIRS="$data:/usr/share" \
        gio info -a standard::content-type "$data/samples/$1" | sed -n 's/.*content-type: //p')
      if [ "$type" != "$2" ]; then
        echo "$1: $type, expected $2"
        status=1
      fi
    }
    expect with-doctype application/x-tintweave-drawing
    expect with-root application/x-tintweave-drawing
    expect other-xml image/svg+xml
    exit $status ;;
  *)
    echo "unknown check $kind"
    exit 2 ;;
esac
