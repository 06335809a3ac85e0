#!/usr/bin/env bash
# A format 2 scene whose emitter carries a BulletML file, the file edited
# while the show runs: a good save of the .xml shows the same frame with the
# new pattern, a save with a mistake keeps the old scene and names the .xml's
# line and column on stderr, and the next good save clears it.
# Usage: emitter_pattern_reload.sh BIN_DIR SOURCE_DIR   (on a private Xvfb of its own: common.bash)
source "$(dirname "$0")/common.bash"



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

printf '<bulletml>\n<action label="top">\n  <wait>1</wiat>\n</action>\n</bulletml>\n' >broken.xml
reload_saves p.xml rings/p.xml rings-frames broken.xml '^p.xml:3:[0-9]*: ' spiral/p.xml spiral-frames

end_show
[[ $status -eq 0 ]] || fail "Escape ended the show with status $status"
echo "PASS: saves of a scene's BulletML file reload the scene; a mistake in it keeps the old one"
