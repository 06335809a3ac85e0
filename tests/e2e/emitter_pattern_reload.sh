#!/usr/bin/env bash
# A format 2 scene whose emitter carries a BulletML file, the file edited
# while the show runs: a good save of the .xml shows the same frame with the
# new pattern, a save with a mistake keeps the old scene and names the .xml's
# line and column on stderr, and the next good save clears it.
# Usage: emitter_pattern_reload.sh BIN_DIR SOURCE_DIR   (on a private Xvfb of its own: common.bash)
source "$(dirname "$0")/common.bash"

# expected NAME FILE: frame 600 of FILE, as the capture tool draws it.
expected() { "$bin/vorpane-capture" --atlas parts.png --scene "$2" --fast-forward --frames 600 --out "$1" >/dev/null; }

# changed FILE OLD [any]: a screenshot once it differs from OLD, then
# settled (not with "any": a HUD's timings change every frame).
changed() {
  for _ in $(seq 1 100); do
    shot "$1" 0.1
    if [[ $(differing "$1" "$2") -gt 200 ]]; then
      [[ ${3:-} == any ]] || settled "$1"
      return 0
    fi
  done
  fail "the picture did not change after the save"
}

# Four built-in emitters beside the pattern: frames counts four turret
# reports a frame.
scene='format = 2
[[emitter]]
bulletml = "p.xml"
[[emitter]]
start_angle = 0
[[emitter]]
start_angle = 90
[[emitter]]
start_angle = 180
[[emitter]]
start_angle = 270'
mkdir -p spiral rings
echo "$scene" >spiral/my.toml
cp "$src/assets/scenes/turning-spiral.xml" spiral/p.xml
echo "$scene" >rings/my.toml
cp "$src/assets/scenes/split-rings.xml" rings/p.xml
expected spiral-frames spiral/my.toml
expected rings-frames rings/my.toml
echo "$scene" >my.toml
cp spiral/p.xml p.xml

start_show reload --scene my.toml --start-frame 600 --paused
frames reload 1
settled a.png
same_picture a.png spiral-frames/frame-000600.png "frame 600 of the scene as loaded"

cat rings/p.xml >p.xml  # the pattern saved in place
changed b.png a.png
same_picture b.png rings-frames/frame-000600.png "frame 600 after the BulletML file was saved"

printf '<bulletml>\n<action label="top">\n  <wait>1</wiat>\n</action>\n</bulletml>\n' >p.xml
changed c.png b.png any  # the HUD, forced on with the mistake
grep -q '^p.xml:3:[0-9]*: ' reload.err || fail "no report naming the BulletML file's place: $(cat reload.err)"
kill -0 "$show" 2>/dev/null || fail "the show ended on a bad save"

cp spiral/p.xml new.xml
mv new.xml p.xml  # a new file renamed over the old one
changed d.png c.png
same_picture d.png spiral-frames/frame-000600.png "frame 600 after a good save by rename, the mistake cleared"

end_show
[[ $status -eq 0 ]] || fail "Escape ended the show with status $status"
echo "PASS: saves of a scene's BulletML file reload the scene; a mistake in it keeps the old one"
