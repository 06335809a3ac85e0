#!/usr/bin/env bash
# --target is the mouse point of every frame. Only the last turret phase
# (from frame 7110) fires bullets that stop and then re-aim at it; the first
# of them sets off again at frame 7183, 72 frames after it was fired. Frames
# before that are the same whatever the target; frames after it differ.
# The default target is (-1, -1), the point of a mouse outside the window.
# Usage: capture_target.sh BIN_DIR SOURCE_DIR   (needs a display: run under Xvfb)
source "$(dirname "$0")/common.bash"
need_display

capture_aimed() { capture "$@" --fast-forward --frames 5000,7182,7250; }

capture_aimed default
capture_aimed minus --target -1,-1
capture_aimed aimed --target=100,100
for f in 005000 007182 007250; do
  cmp -s "$work/default/frame-$f.png" "$work/minus/frame-$f.png" || fail "frame $f: --target -1,-1 is not the default"
done
for f in 005000 007182; do
  cmp -s "$work/default/frame-$f.png" "$work/aimed/frame-$f.png" || fail "frame $f changed with the target"
done
if cmp -s "$work/default/frame-007250.png" "$work/aimed/frame-007250.png"; then
  fail "frame 7250 of the aimed phase does not follow the target"
fi
echo "PASS"
