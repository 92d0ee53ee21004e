#!/usr/bin/env bash
# Checks bench_drag's frame count against a screen recording: runs one drag case of bench_drag
# on its own Xvfb display, records the viewer's window with ffmpeg's x11grab at 60 frames a
# second, and counts the recorded frames that differ from the one before during the drag (the
# hand moves all the time, so every frame shown differs). Prints both rates.
# Needs ffmpeg and x11-utils (xwininfo): apt-get install ffmpeg x11-utils.
# Usage: bench/viewer/record_drag.sh BUILD_DIR [CURVES]   (CURVES: 2, 100 or 1500; default 100)
set -euo pipefail
build=${1:?usage: record_drag.sh BUILD_DIR [CURVES]}
curves=${2:-100}
display=:97
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb "$display" -screen 0 1280x1024x24 -noreset -nolisten tcp &
sleep 1
export DISPLAY=$display HOME=$work XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
"$build/bench/viewer/bench_drag" --benchmark_filter="DragFrames/curves:$curves/overlay:0" \
  --benchmark_format=json --benchmark_out="$work/bench.json" > "$work/bench.log" 2>&1 &
bench=$!

# The viewer is the 512 x 512 window; record it from the moment it appears.
geometry=""
for _ in $(seq 600); do
  geometry=$(xwininfo -root -tree 2>/dev/null | awk '/ 512x512\+/ {print $NF; exit}' || true)
  [ -n "$geometry" ] && break
  sleep 0.1
done
[ -n "$geometry" ] || { echo "record_drag.sh: no 512 x 512 window appeared" >&2; exit 1; }
x=$(echo "$geometry" | cut -d+ -f2)
y=$(echo "$geometry" | cut -d+ -f3)
ffmpeg -loglevel error -f x11grab -framerate 60 -video_size 512x512 -i "$display+$x,$y" \
  -f framemd5 "$work/frames.md5" &
recorder=$!
wait "$bench"
kill -INT "$recorder" 2>/dev/null || true
wait "$recorder" 2>/dev/null || true

python3 - "$work/frames.md5" "$work/bench.json" <<'PY'
import json, sys
frames, tb = [], 1.0 / 60.0
for line in open(sys.argv[1]):
    if line.startswith('#tb'):
        num, den = line.split(':')[1].strip().split('/')
        tb = int(num) / int(den)
    if line.startswith('#'):
        continue
    parts = [p.strip() for p in line.split(',')]
    frames.append((int(parts[2]) * tb, parts[5]))
# Times at which the picture changed.
changes = [t for (t, h), (_, prev) in zip(frames[1:], frames[:-1]) if h != prev]
# The drag: the densest 3-second stretch of changes.
best = 0
for i, start in enumerate(changes):
    n = sum(1 for t in changes[i:] if t < start + 3.0)
    best = max(best, n)
bench = json.load(open(sys.argv[2]))['benchmarks'][0]
print(f"bench_drag frames_per_second {bench['frames_per_second']:.1f}, "
      f"recorded frames that changed {best / 3.0:.1f} per second (60 recorded a second)")
PY
