#!/usr/bin/env bash
# Exploring the show in its window with real key and mouse events: a start
# frame, pause, step, resume, the HUD, Escape, a larger window whose pointer
# is mapped back onto the picture, and the command line's answers.
# Usage: explore_window.sh BIN_DIR SOURCE_DIR   (on a private Xvfb of its own: common.bash)
source "$(dirname "$0")/common.bash"

"$bin/vorpane" --help >help.txt || fail "--help did not exit 0"
grep -q "Page Down" help.txt || fail "--help does not list the keys"
grep -q -- "--sleep-wait  " help.txt || fail "--help does not explain --sleep-wait"
status=0
"$bin/vorpane" --scale 9 >/dev/null 2>err.txt || status=$?
[[ $status -eq 2 && $(wc -l <err.txt) -eq 1 ]] || fail "a bad --scale gave status $status and: $(cat err.txt)"
# --rank takes 0 to 1 with any scene; anything else is a usage error.
for rank in -0.1 1.5 x nan "" 0.5,1; do
  status=0
  "$bin/vorpane" --rank "$rank" >/dev/null 2>err.txt || status=$?
  [[ $status -eq 2 && $(wc -l <err.txt) -eq 1 ]] || fail "--rank '$rank' gave status $status and: $(cat err.txt)"
  grep -q -- '--rank wants a number from 0 to 1' err.txt || fail "--rank '$rank': $(cat err.txt)"
done

"$bin/vorpane-capture" --atlas parts.png --fast-forward --frames 7600,7601 --out captured >/dev/null

# Paused on frame 7600: the capture's picture, and no console report while paused.
start_show paused --start-frame 7600 --paused
frames paused 1
settled a.png
same_picture a.png captured/frame-007600.png "frame 7600"
reports=$(grep -c "turret time" paused.out || true)
shot still.png 0.5
[[ $(grep -c "turret time" paused.out || true) -eq $reports ]] || fail "reports while paused"
same_picture a.png still.png "a paused frame"

xdotool key Right
settled b.png
same_picture b.png captured/frame-007601.png "frame 7601 after one Right"

xdotool key space
frames paused 10
shot running1.png 0
frames paused 15
shot running2.png 0
[[ $(differing running1.png running2.png) -gt 1000 ]] || fail "Space did not resume the show"
xdotool key space
settled stopped1.png
shot stopped2.png 0.5
same_picture stopped1.png stopped2.png "paused again"

xdotool key h
# The HUD's timings change every frame, so its picture never settles.
for _ in $(seq 1 40); do
  shot hud.png 0.3
  [[ $(differing stopped2.png hud.png) -gt 500 ]] && break
done
[[ $(differing stopped2.png hud.png) -gt 500 ]] || fail "H showed no HUD"
end_show
[[ $status -eq 0 ]] || fail "Escape ended the paused show with status $status"

# Twice the size: the pointer at window pixel (640, 480) aims where picture
# pixel (320, 240) does at scale 1. Both runs step the same frames with the
# pointer held there; the aimed bullets re-aimed meanwhile show the target.
steps() { for _ in $(seq 1 40); do xdotool key Right; sleep 0.03; done; }
start_show scaled --start-frame 7600 --paused --scale 2
frames scaled 1  # frame 7600 drawn with the pointer still outside, as in every run
geometry=$(xwininfo -id "$window")
grep -q 'Width: 1280' <<<"$geometry" && grep -q 'Height: 960' <<<"$geometry" || fail "not 1280 x 960: $geometry"
xdotool mousemove --window "$window" 640 480
steps
settled scaled.png
end_show
convert scaled.png -sample 50% scaled-half.png

for spot in "320 240" "60 400"; do
  start_show "single-${spot/ /-}" --start-frame 7600 --paused
  frames "single-${spot/ /-}" 1
  xdotool mousemove --window "$window" $spot
  steps
  settled "single-${spot/ /-}.png"
  end_show
done
same_picture scaled-half.png single-320-240.png "--scale 2 pointer at (640, 480)"
[[ $(differing single-320-240.png single-60-400.png) -gt 1536 ]] ||
  fail "the target made no difference: the test shows nothing"
echo "PASS"
