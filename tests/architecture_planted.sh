#!/usr/bin/env bash
# architecture.sh fails on bad includes planted in a copy of the sources, each
# with one line that names the file and the rule, and passes the copy as it
# is: the map of folders is the build's own, as the seams test reads it, with
# a line added for a folder that only the copy has.
# Usage: architecture_planted.sh SOURCE_DIR FOLDER_MAP
set -euo pipefail
source_dir=$(realpath "$1")
map=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# fresh: a copy of the C++ files and the library lists in $work/tree, with
# the build's map in $work/map.
fresh() {
  rm -rf "$work/tree"
  mkdir "$work/tree"
  (cd "$source_dir" && find src tools bench tests -name '*.cpp' -o -name '*.h' -o -name CMakeLists.txt) |
    (cd "$source_dir" && xargs cp --parents -t "$work/tree")
  cp "$map" "$work/map"
}

# expect_failure WHAT PATTERN: the check of the copy fails with exactly one
# report, which matches PATTERN.
expect_failure() {
  local report
  if bash "$source_dir/tests/architecture.sh" "$work/tree" "$work/map" >/dev/null 2>"$work/report"; then
    echo "FAIL: $1 passes the architecture test" >&2
    failures=$((failures + 1))
    return
  fi
  report=$(cat "$work/report")
  if [[ $(wc -l <"$work/report") -ne 1 || ! $report =~ $2 ]]; then
    echo "FAIL: $1 is reported as: $report; expected one line matching: $2" >&2
    failures=$((failures + 1))
  fi
}

fresh
bash "$source_dir/tests/architecture.sh" "$work/tree" "$work/map" >/dev/null ||
  { echo "FAIL: the copy of the sources does not pass as it is" >&2; exit 1; }

echo '#include "scenefile/scene_file.h"' >>"$work/tree/src/scene/play.cpp"
expect_failure "a simulation file including scenefile/" \
  '^FAIL: src/scene/play\.cpp:[0-9]+ includes scenefile/scene_file\.h, of src/scenefile \(vorpane_scenefile\): the simulation'

# A new folder of the simulation, as a vorpane_sources() call would give it.
fresh
mkdir "$work/tree/src/room"
printf '// room.cpp\n#include "show/draw.h"\n' >"$work/tree/src/room/room.cpp"
echo "room vorpane_sim room.cpp" >>"$work/map"
expect_failure "a new simulation folder's file including show/" \
  '^FAIL: src/room/room\.cpp:2 includes show/draw\.h, of src/show \(vorpane_show\): the simulation'

fresh
printf '#include "webgl/draw_webgl.h"\n' >>"$work/tree/src/render/blur.cpp"
expect_failure "a simulation file including a folder left out of the build" \
  '^FAIL: src/render/blur\.cpp:[0-9]+ includes webgl/draw_webgl\.h, of src/webgl \(left out of this build\)'

fresh
printf 'void f() { glBegin(0); }\n' >>"$work/tree/src/scene/sprites.cpp"
expect_failure "a GL call in the simulation" '^FAIL: src/scene/sprites\.cpp calls GL; only the drawing backends. folders \(src/gl\)'

fresh
mkdir "$work/tree/src/room"
printf '// room.cpp\n' >"$work/tree/src/room/room.cpp"
expect_failure "a folder in no library" '^FAIL: src/room is in no library'

# The backends' rules, from the map's "@API LIBRARY..." lines.
fresh
printf '#include <GLFW/glfw3.h>\n' >>"$work/tree/src/gl/hud.cpp"
expect_failure "GLFW included by the drawing backend" \
  '^FAIL: src/gl/hud\.cpp includes GLFW; only the folders of the libraries that may use GLFW \(src/glfw, src/window\)'

fresh
printf '#include "image/png.h"\n' >>"$work/tree/src/gl/hud.cpp"
expect_failure "a backend including another backend's header" \
  '^FAIL: src/gl/hud\.cpp:[0-9]+ includes image/png\.h, of src/image \(vorpane_image\): a backend.s folders include nothing'

fresh
printf '#include "scene/play.h"\n' >>"$work/tree/src/window/window_glfw.cpp"
expect_failure "the window backend including the simulation's scene" \
  '^FAIL: src/window/window_glfw\.cpp:[0-9]+ includes scene/play\.h: a window backend.s folders include from src/ only'

# A new backend is checked as soon as its library says what it uses.
fresh
mkdir "$work/tree/src/vulkan"
printf '// draw_vulkan.cpp\n#include "gl/atlas.h"\n' >"$work/tree/src/vulkan/draw_vulkan.cpp"
printf 'vulkan vorpane_vulkan draw_vulkan.cpp\n@Vulkan vorpane_vulkan\n' >>"$work/map"
expect_failure "a new backend including the GL backend's header" \
  '^FAIL: src/vulkan/draw_vulkan\.cpp:2 includes gl/atlas\.h, of src/gl \(vorpane_gl\): a backend.s folders'

[[ $failures -eq 0 ]] && echo "PASS: every planted include is reported, one line each"
exit "$failures"
