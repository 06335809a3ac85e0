#!/usr/bin/env bash
# vorpane-capture's options: every bad option, frame list, atlas or output
# folder ends in exit status 2 with one line on stderr, before any window
# opens or any file is written; good ones write exactly the files they name.
# Usage: capture_options.sh BIN_DIR SOURCE_DIR   (needs a display: run under Xvfb)
set -euo pipefail
bin=$1 src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cd "$work"
atlas=$src/assets/parts.png
touch plain-file

# Run without a display: a rejection must come before the window is wanted.
rejects() {
  local status=0
  env -u DISPLAY -u WAYLAND_DISPLAY "$bin/vorpane-capture" "$@" >out.txt 2>err.txt || status=$?
  [[ $status -eq 2 ]] || fail "vorpane-capture $* exited with $status, not 2"
  [[ $(wc -l <err.txt) -eq 1 ]] || fail "vorpane-capture $*: not one line on stderr: $(cat err.txt)"
  grep -q '^vorpane-capture: ' err.txt || fail "vorpane-capture $*: the line does not name the tool"
  [[ ! -s out.txt ]] || fail "vorpane-capture $* wrote to stdout"
}

rejects
rejects --bogus --frames 1 --atlas "$atlas"
rejects --frames
rejects --frames "" --atlas "$atlas"
for list in 0 -3 5-3 1,,2 x 1-10:0 1-10: 1:2 2-x 99999999999999999999 100000001 " 7" 1, ,1; do
  rejects --frames "$list" --atlas "$atlas" --out new
done
rejects --frames 1 --target 1 --atlas "$atlas"
rejects --frames 1 --target 1,y --atlas "$atlas"
rejects --frames 1 --target=nan,1 --atlas "$atlas"
rejects --frames 1 --glow -1 --atlas "$atlas"
rejects --frames 1 --bloom 2.5 --atlas "$atlas"
rejects --frames 1 --glow 0.5 --bloom 2 --atlas "$atlas"
rejects --frames 1-300 --sheet sheet.png --atlas "$atlas"
rejects --frames 1 --atlas missing.png --out new
rejects --frames 1 --atlas plain-file --out new
rejects --frames 1 --atlas "$atlas" --out plain-file/inside
rejects --frames 1 --atlas "$atlas" --sheet plain-file/sheet.png
rejects --frames 1 --atlas "$atlas" --sheet .
for rank in -1 1.01 0.5x inf ""; do
  rejects --frames 1 --atlas "$atlas" --out new --rank "$rank"
done
[[ ! -e new && ! -e captures ]] || fail "a rejected run left a folder behind"
if [[ $(id -u) -ne 0 ]]; then
  mkdir locked && chmod a-w locked
  rejects --frames 1 --atlas "$atlas" --out locked
fi

"$bin/vorpane-capture" --help | grep -q -- '--frames LIST' || fail "--help does not list the options"
"$bin/vorpane-capture" --help | grep -q -- '--rank R' || fail "--help does not list --rank"

[[ -n "${DISPLAY:-}" ]] || fail "no display (run under xvfb-run, as scripts/test does)"

# Ranges with a step, = forms, negative targets, folders made on the way.
"$bin/vorpane-capture" --atlas="$atlas" --frames=100-160:30,3 --target=-5,-7 --out=deep/er --fast-forward >listed.txt ||
  fail "a good capture failed"
(cd deep/er && ls) >files.txt
printf 'frame-000003.png\nframe-000100.png\nframe-000130.png\nframe-000160.png\n' | diff - files.txt ||
  fail "the range did not write exactly its frames"
[[ $(wc -l <listed.txt) -eq 4 ]] || fail "stdout does not list the four files"

png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $3 * 256 + $4, $7 * 256 + $8 }'; }
[[ $(png_size deep/er/frame-000003.png) == "640 480" ]] || fail "a frame is not 640 x 480"

# A sheet alone: three half-size tiles, two to a row, four-pixel gaps.
"$bin/vorpane-capture" --atlas "$atlas" --frames 1,2,3 --sheet sheets/three.png --fast-forward >/dev/null ||
  fail "the sheet capture failed"
[[ $(png_size sheets/three.png) == "652 492" ]] || fail "the sheet is $(png_size sheets/three.png), not 652 492"
[[ ! -e captures ]] || fail "a sheet without --out wrote frames too"
# A gallery pattern, with a rank, as frames and a sheet.
"$bin/vorpane-capture" --atlas "$atlas" --scene "$src/assets/scenes/split-rings.xml" --rank 0.9 --frames 1,60 \
  --out pattern --sheet pattern/sheet.png --fast-forward >/dev/null || fail "a pattern capture failed"
(cd pattern && ls) >files.txt
printf 'frame-000001.png\nframe-000060.png\nsheet.png\n' | diff - files.txt || fail "the pattern capture's files"
[[ $(png_size pattern/frame-000060.png) == "640 480" ]] || fail "a pattern frame is not 640 x 480"
echo "PASS"
