#!/usr/bin/env bash
# The built show in a real window: its name and size, the console reports,
# a screenshot with bullets in it, and Escape ending it with status 0.
# Usage: show_window.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1 src=$2

# The show gets an X server of its own: GL tests running beside this one
# open windows on the shared display, and one mapped over the show's window
# is what the screenshot would see.
if [[ -z "${VORPANE_PRIVATE_XVFB:-}" ]]; then
  root=$src
  source "$src/scripts/lib/display.bash"
  VORPANE_PRIVATE_XVFB=1 on_xvfb bash "$0" "$@"
  exit
fi

work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$src/assets/parts.png" "$work/"
cd "$work"

"$bin/vorpane" >console.txt 2>stderr.txt &
pid=$!

fail() { echo "FAIL: $*" >&2; echo "--- stderr:" >&2; cat stderr.txt >&2 || true; exit 1; }

id=$(timeout 120 xdotool search --sync --name '^Vorpane$' | head -n 1) || fail "no window named Vorpane"
geometry=$(xwininfo -id "$id")
grep -q 'Width: 640' <<<"$geometry" || fail "width is not 640: $geometry"
grep -q 'Height: 480' <<<"$geometry" || fail "height is not 480: $geometry"

# 90 frames (four turret reports each): every turret has been firing for a
# while. Counted, not timed: on a loaded machine the first frame alone can
# take longer than the 1.5 s that 90 frames take on an idle one.
for _ in $(seq 1 1200); do
  [[ $(grep -o "turret time " console.txt | wc -l) -ge 360 ]] && break
  sleep 0.1
done
import -window "$id" shot.png
lit=$(convert shot.png -colorspace gray -threshold 8% -format '%[fx:round(mean*w*h)]' info:)
echo "lit pixels after $(($(grep -o "turret time " console.txt | wc -l) / 4)) frames: $lit"
[[ $lit -gt 2000 ]] || fail "the window shows almost nothing ($lit lit pixels)"

# The schedules report on rows 2 and 6 of the console, with CR LF line ends.
grep -q $'\x1b\[2;1Hturret time ' console.txt || fail "no turret report at row 2"
grep -q $'\x1b\[6;1Hemitter time ' console.txt || fail "no emitter report at row 6"
grep -q $'turret listindex  1\r' console.txt || fail "turret phase 1 was never reported"

# Hover the window and hold Escape: the show ends within a few frames.
xdotool mousemove --window "$id" 320 240
xdotool windowfocus --sync "$id" || true
xdotool keydown Escape
for _ in $(seq 1 600); do   # a few frames; the bound is for a loaded machine
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
xdotool keyup Escape
if kill -0 "$pid" 2>/dev/null; then fail "Escape did not end the show"; fi
status=0
wait "$pid" || status=$?
[[ $status -eq 0 ]] || fail "exit status $status"
echo "PASS"
