#!/usr/bin/env bash
# A BulletML pattern edited while the show plays it (`vorpane --scene
# FILE.xml`): a changed pattern saved in place, a save with a mistake (the
# old pattern goes on, its place on stderr and the HUD), and a save by
# renaming a new file over the old one, as many editors do. Each good save
# shows the same frame of the new pattern as the capture tool draws it,
# still paused.
# Usage: pattern_reload.sh BIN_DIR SOURCE_DIR   (on a private Xvfb of its own: common.bash)
source "$(dirname "$0")/common.bash"


# pattern_frames NAME N: waits until the show NAME has reported N frames of
# its pattern (one status line each). Counted, not timed.
pattern_frames() {
  for _ in $(seq 1 1200); do
    [[ $(grep -o "pattern frame " "$1.out" | wc -l) -ge $2 ]] && return 0
    sleep 0.1
  done
  fail "$1: fewer than $2 frames in two minutes"
}


# Three patterns whose frame 600 differ: the gallery's split rings, five
# shells a round instead of three, and slower sparks.
cp "$src/assets/scenes/split-rings.xml" rings.xml
sed 's|<times>3</times>|<times>5</times>|' rings.xml >five.xml
sed 's|<speed>3</speed>|<speed>1.5</speed>|' rings.xml >slow.xml
! cmp -s rings.xml five.xml && ! cmp -s rings.xml slow.xml || fail "the gallery's pattern changed: the edits miss it"
expected rings rings.xml
expected five five.xml
expected slow slow.xml
for pair in "rings five" "five slow"; do
  read -r one other <<<"$pair"
  [[ $(differing "$one/frame-000600.png" "$other/frame-000600.png") -gt 1536 ]] ||
    fail "frame 600 of $one.xml and $other.xml look alike: a reload could not be told from none"
done
cp rings.xml my.xml

start_show reload --scene my.xml --start-frame 600 --paused
pattern_frames reload 1
settled a.png
same_picture a.png rings/frame-000600.png "frame 600 of the pattern as loaded"

sed 's|<times>5</times>|<times>5 +</times>|' five.xml >broken.xml
reload_saves my.xml five.xml five broken.xml '^my.xml:8:16: an operator without its right-hand value in <times>$' \
  slow.xml slow

end_show
[[ $status -eq 0 ]] || fail "Escape ended the show with status $status"

# A bad pattern at start-up: status 2 and the report, before any window.
status=0
sed 's|<times>3</times>|<times>3 +</times>|' rings.xml >bad.xml
"$bin/vorpane" --scene bad.xml >/dev/null 2>bad.txt || status=$?
[[ $status -eq 2 ]] || fail "a bad pattern gave status $status"
grep -q '^bad.xml:8:16: an operator without its right-hand value in <times>$' bad.txt || fail "no report: $(cat bad.txt)"
echo "PASS: saves of a pattern in place and by rename reload it; a mistake keeps the old one"
