#!/usr/bin/env bash
# The built show in a real window: its name and size, the console reports,
# a screenshot with bullets in it, and Escape ending it with status 0.
# Usage: show_window.sh BIN_DIR SOURCE_DIR   (needs a display: run under Xvfb)
set -euo pipefail
bin=$1 src=$2
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$src/assets/parts.png" "$work/"
cd "$work"

"$bin/vorpane" >console.txt 2>stderr.txt &
pid=$!

fail() { echo "FAIL: $*" >&2; echo "--- stderr:" >&2; cat stderr.txt >&2 || true; exit 1; }

id=$(timeout 20 xdotool search --sync --name '^Vorpane$' | head -n 1) || fail "no window named Vorpane"
geometry=$(xwininfo -id "$id")
grep -q 'Width: 640' <<<"$geometry" || fail "width is not 640: $geometry"
grep -q 'Height: 480' <<<"$geometry" || fail "height is not 480: $geometry"

sleep 1.5  # about 90 frames: every turret has been firing for a while
import -window "$id" shot.png
lit=$(convert shot.png -colorspace gray -threshold 8% -format '%[fx:round(mean*w*h)]' info:)
echo "lit pixels after 1.5 s: $lit"
[[ $lit -gt 2000 ]] || fail "the window shows almost nothing ($lit lit pixels)"

# The schedules report on rows 2 and 6 of the console, with CR LF line ends.
grep -q $'\x1b\[2;1Hturret time ' console.txt || fail "no turret report at row 2"
grep -q $'\x1b\[6;1Hemitter time ' console.txt || fail "no emitter report at row 6"
grep -q $'turret listindex  1\r' console.txt || fail "turret phase 1 was never reported"

# Hover the window and hold Escape: the show ends within a few frames.
xdotool mousemove --window "$id" 320 240
xdotool windowfocus --sync "$id" || true
xdotool keydown Escape
for _ in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
xdotool keyup Escape
if kill -0 "$pid" 2>/dev/null; then fail "Escape did not end the show"; fi
status=0
wait "$pid" || status=$?
[[ $status -eq 0 ]] || fail "exit status $status"
echo "PASS"
