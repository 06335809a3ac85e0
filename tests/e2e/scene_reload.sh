#!/usr/bin/env bash
# A scene file edited while the show runs: a save written in place, a save
# with a mistake (the old scene goes on, the mistake on stderr and the HUD),
# and a save by renaming a new file over the old one, as many editors do.
# Each good save shows the same frame of the new scene, still paused.
# Usage: scene_reload.sh BIN_DIR SOURCE_DIR   (on a private Xvfb of its own: common.bash)
source "$(dirname "$0")/common.bash"



sed -e 's/^emitters = 4/emitters = 3/' -e 's/^start_angles = .*/start_angles = [0, 120, 240]/' \
  "$src/assets/scenes/show.toml" >three.toml
sed -e 's/^emitters = 4/emitters = 2/' -e 's/^start_angles = .*/start_angles = [45, 225]/' \
  "$src/assets/scenes/show.toml" >two.toml
expected four "$src/assets/scenes/show.toml"
expected three three.toml
expected two two.toml
cp "$src/assets/scenes/show.toml" my.toml

start_show reload --scene my.toml --start-frame 600 --paused
frames reload 1
settled a.png
same_picture a.png four/frame-000600.png "frame 600 of the file as loaded"

sed 's/^pool_size = 256/pool_size = 99999/' three.toml >bad.toml
reload_saves my.toml three.toml three bad.toml \
  '^my.toml:[0-9]*:[0-9]*: `pool_size` is 99999; it must be from 1 to 4096$' two.toml two

end_show
[[ $status -eq 0 ]] || fail "Escape ended the show with status $status"

# A bad scene at start-up: status 2 and the report, before any window.
status=0
"$bin/vorpane" --scene three.toml --scene /nonexistent.toml >/dev/null 2>bad.txt || status=$?
[[ $status -eq 2 ]] || fail "a missing scene gave status $status"
grep -q "^/nonexistent.toml: cannot read the scene file" bad.txt || fail "no report: $(cat bad.txt)"
echo "PASS: saves in place and by rename reload the scene; a mistake keeps the old one"
