#!/usr/bin/env bash
# The built show in a real window: its name and size, the console reports,
# a screenshot with bullets in it, and Escape ending it with status 0; then
# with --quiet, moving on with nothing on the console.
# Usage: show_window.sh BIN_DIR SOURCE_DIR   (on a private Xvfb of its own: common.bash)
source "$(dirname "$0")/common.bash"

start_show show
geometry=$(xwininfo -id "$window")
grep -q 'Width: 640' <<<"$geometry" || fail "width is not 640: $geometry"
grep -q 'Height: 480' <<<"$geometry" || fail "height is not 480: $geometry"

frames show 90  # every turret has been firing for a while
shot shot.png 0
lit=$(convert shot.png -colorspace gray -threshold 8% -format '%[fx:round(mean*w*h)]' info:)
echo "lit pixels after 90 frames or more: $lit"
[[ $lit -gt 2000 ]] || fail "the window shows almost nothing ($lit lit pixels)"

# The schedules report on rows 2 and 6 of the console, with CR LF line ends.
grep -q $'\x1b\[2;1Hturret time ' show.out || fail "no turret report at row 2"
grep -q $'\x1b\[6;1Hemitter time ' show.out || fail "no emitter report at row 6"
grep -q $'turret listindex  1\r' show.out || fail "turret phase 1 was never reported"

# Hover the window and hold Escape: the show ends within a few frames.
xdotool mousemove --window "$window" 320 240
end_show
[[ $status -eq 0 ]] || fail "exit status $status: $(cat show.err)"

# --quiet, as the desktop entry starts it (with --sleep-wait too, which
# e2e.explore_window.sleep_wait runs): the show moves on, the console stays
# empty, Escape still ends it.
start_show quiet --quiet
shot quiet-first.png 0
for _ in $(seq 1 200); do
  shot quiet.png
  [[ $(differing quiet-first.png quiet.png) -gt 100 ]] && break
done
[[ $(differing quiet-first.png quiet.png) -gt 100 ]] || fail "the quiet show never moved"
end_show
[[ $status -eq 0 ]] || fail "--quiet: exit status $status: $(cat quiet.err)"
[[ ! -s quiet.out ]] || fail "--quiet printed: $(head -c 200 quiet.out | cat -v)"
echo "PASS"
