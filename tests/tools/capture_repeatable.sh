#!/usr/bin/env bash
# vorpane-capture is frame-exact: two captures of the same frames are the
# same bytes, the show moves between frame 1 and frame 600, stepping the
# uncaptured frames without drawing them (--fast-forward) changes nothing,
# and the hidden window reads back exactly what a visible one does.
# Usage: capture_repeatable.sh BIN_DIR SOURCE_DIR   (needs a display: run under Xvfb)
source "$(dirname "$0")/common.bash"
need_display

capture first --frames 1,300,600
capture second --frames 1,300,600
capture skipped --frames 1,300,600 --fast-forward
capture visible --frames 300 --fast-forward --visible
for f in 000001 000300 000600; do
  cmp -s "$work/first/frame-$f.png" "$work/second/frame-$f.png" || fail "frame $f differs between two captures"
  cmp -s "$work/first/frame-$f.png" "$work/skipped/frame-$f.png" || fail "frame $f differs with --fast-forward"
done
cmp -s "$work/first/frame-000300.png" "$work/visible/frame-000300.png" ||
  fail "the hidden window reads back differently from a visible one"
if cmp -s "$work/first/frame-000001.png" "$work/first/frame-000600.png"; then
  fail "frame 1 and frame 600 are the same picture"
fi
echo "PASS"
