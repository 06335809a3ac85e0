#!/usr/bin/env bash
# The seams between the libraries, checked on the sources:
#  - GLFW is included and called only by the window backends (src/window,
#    and the browser's src/webgl/window_web.cpp on emscripten's GLFW);
#  - GL and GLU are included and called only by the drawing backends (src/gl,
#    src/webgl), the GL tests and the drawing benchmark; never by a tool;
#  - no header outside src/gl names a GL type or constant;
#  - the simulation's folders include nothing from the display folders, and
#    src/core includes nothing from any other folder;
#  - every file under src/ is listed, by name, in the one vorpane_sources()
#    call of its folder in src/CMakeLists.txt.
# A failure names the file and the rule. The link of the GL-free library
# (it links no GL, GLFW or codec) catches the calls that this misses.
# Usage: architecture.sh SOURCE_DIR
set -euo pipefail
cd "$1"

status=0
fail() { echo "FAIL: $*" >&2; status=1; }

# every_file_matching REGEX DIR...: the C++ files whose code matches REGEX.
every_file_matching() {
  local regex=$1
  shift
  grep -rlE "$regex" "$@" --include='*.cpp' --include='*.h' 2>/dev/null | sort || true
}

# only_in REGEX ALLOWED WHAT: every file matching REGEX must match ALLOWED.
only_in() {
  local file
  while IFS= read -r file; do
    [[ -z $file || $file =~ $2 ]] || fail "$file $3; only these files may: $2"
  done < <(every_file_matching "$1" src tools bench tests)
}

gl_files='^(src/gl/[^/]*|src/webgl/[^/]*|tests/gl/[^/]*\.cpp|tests/support/gl_window\.cpp|bench/gl_bench\.cpp)$'
glfw_files='^src/(window/window_glfw\.cpp|window/glfw_common\.h|webgl/window_web\.cpp)$'
only_in '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]GLFW/' "$glfw_files" 'includes GLFW'
only_in '\bglfw[A-Z][A-Za-z0-9]*[[:space:]]*\(' "$glfw_files" 'calls GLFW'
only_in '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]GL/' "$gl_files" 'includes GL'
only_in '\bglu?[A-Z][A-Za-z0-9]*[[:space:]]*\(' "$gl_files" 'calls GL'

while IFS= read -r file; do
  [[ -z $file || $file == src/gl/* ]] || fail "$file names a GL type or constant in a header outside src/gl"
done < <(grep -rlE '\bGL(_[A-Z0-9_]+|[a-z]+)\b' src tools --include='*.h' | sort || true)

sim_folders='core containers math shots emitters scene render platform'
for folder in $sim_folders; do
  while IFS= read -r file; do
    [[ -n $file ]] && fail "$file (simulation) includes a display, codec or program header"
  done < <(every_file_matching '#[[:space:]]*include[[:space:]]*"(gl|window|image|show|cli|app)/' "src/$folder")
done
while IFS= read -r line; do
  [[ -n $line ]] && fail "$line: src/core includes another folder's header"
done < <(grep -rnE '#[[:space:]]*include[[:space:]]*"' src/core | grep -vE '"core/' || true)

# The calls, one per line: "FOLDER FILE...", whatever their line breaks.
calls=$(tr '\n' ' ' <src/CMakeLists.txt | grep -oE 'vorpane_sources\([^)]*\)' |
        sed -E 's/vorpane_sources\([[:space:]]*[A-Za-z0-9_-]+[[:space:]]+//; s/\)$//' || true)
for path in src/*; do
  [[ -d $path ]] || { [[ $path == src/CMakeLists.txt ]] || fail "$path lies outside every library folder"; continue; }
  folder=${path#src/}
  lines=$(grep -cE "^$folder( |$)" <<<"$calls" || true)
  if [[ $lines -ne 1 ]]; then
    fail "src/$folder is in $lines vorpane_sources() calls of src/CMakeLists.txt; a folder belongs to one library"
    continue
  fi
  listed=" $(grep -E "^$folder( |$)" <<<"$calls") "
  for file in "$path"/*; do
    [[ " $listed " == *" ${file##*/} "* ]] || fail "$file is not listed in src/CMakeLists.txt"
  done
done

[[ $status -eq 0 ]] && echo "PASS: GL and GLFW stay in their folders, every source file is in one library"
exit "$status"
