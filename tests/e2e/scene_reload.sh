#!/usr/bin/env bash
# A scene file edited while the show runs: a save written in place, a save
# with a mistake (the old scene goes on, the mistake on stderr and the HUD),
# and a save by renaming a new file over the old one, as many editors do.
# Each good save shows the same frame of the new scene, still paused.
# Usage: scene_reload.sh BIN_DIR SOURCE_DIR   (on a private Xvfb of its own: common.bash)
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

cat three.toml >my.toml  # written in place
changed b.png a.png
same_picture b.png three/frame-000600.png "frame 600 after a save in place"

sed 's/^pool_size = 256/pool_size = 99999/' three.toml >my.toml
changed c.png b.png any  # the HUD, forced on with the mistake
grep -q '^my.toml:[0-9]*:[0-9]*: `pool_size` is 99999; it must be from 1 to 4096$' reload.err ||
  fail "no report of the mistake on stderr: $(cat reload.err)"
kill -0 "$show" 2>/dev/null || fail "the show ended on a bad save"

cp two.toml new.toml
mv new.toml my.toml  # a new file renamed over the old one
changed d.png c.png
same_picture d.png two/frame-000600.png "frame 600 after a save by rename, the mistake cleared"

end_show
[[ $status -eq 0 ]] || fail "Escape ended the show with status $status"

# A bad scene at start-up: status 2 and the report, before any window.
status=0
"$bin/vorpane" --scene three.toml --scene /nonexistent.toml >/dev/null 2>bad.txt || status=$?
[[ $status -eq 2 ]] || fail "a missing scene gave status $status"
grep -q "^/nonexistent.toml: cannot read the scene file" bad.txt || fail "no report: $(cat bad.txt)"
echo "PASS: saves in place and by rename reload the scene; a mistake keeps the old one"
