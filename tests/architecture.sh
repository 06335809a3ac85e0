#!/usr/bin/env bash
# The seams between the libraries (docs/ARCHITECTURE.md, rules), checked on
# the sources against the map of folders the build wrote
# (vorpane_folders.txt: each folder under src/ with its library and files,
# from the vorpane_sources() calls of src/CMakeLists.txt, and each outside
# interface with the backend libraries that may use it, from the
# vorpane_may_use() calls), so a folder is checked the day its call is
# written and a backend the day its library says what it uses:
#  - every file under src/ lies in a folder of one library and is listed by
#    name in that folder's call;
#  - the simulation's folders (vorpane_sim's) include nothing from any other
#    folder under src/, and src/core nothing from any other folder at all;
#  - GL and GLU are included and called only in the folders of the libraries
#    that may use GL, the GL tests and the drawing benchmark, GLFW only in
#    those of the libraries that may use GLFW; never by a tool; no header
#    outside the GL libraries' folders names a GL type or constant;
#  - a backend's folders (a library that may use any outside interface)
#    include nothing of another backend's: what backends share lies beside
#    the seam in src/show or in the simulation's folders;
#  - a window backend's folders (GLFW and no GL) include from src/ only
#    show/window.h, their own folders, platform/ and core/.
# The folders this build leaves out (the other build's backend and program,
# "-" in the map) are checked against the map of the build that has them:
# scripts/test-web runs this script on the browser build's.
# A failure names the file and the rule. The link of the GL-free library
# (it links no GL, GLFW or codec) catches the calls that this misses.
# Usage: architecture.sh SOURCE_DIR FOLDER_MAP
set -euo pipefail
map=$(realpath "$2")
cd "$1"

status=0
fail() { echo "FAIL: $*" >&2; status=1; }

declare -A library listed users
while read -r folder owner files; do
  [[ -z $folder || $folder == \#* ]] && continue
  if [[ $folder == @* ]]; then
    users[${folder#@}]="$owner $files"
    continue
  fi
  library[$folder]=$owner
  listed[$folder]=" $files "
done <"$map"

# folders_of LIBRARY...: the folders the map gives to those libraries.
folders_of() {
  local folder wanted
  for folder in "${!library[@]}"; do
    for wanted in "$@"; do
      if [[ ${library[$folder]} == "$wanted" ]]; then echo "$folder"; fi
    done
  done | sort
}
left_out=$(echo $(folders_of -))
sim_folders=$(echo $(folders_of vorpane_sim))
# as_regex FOLDER...: "(a|b)", or a group no path matches when there are none.
as_regex() { local IFS='|'; [[ $# -gt 0 ]] && echo "($*)" || echo '(/)'; }
# as_paths FOLDER...: "src/a, src/b", or "none in this build".
as_paths() { [[ $# -gt 0 ]] && printf 'src/%s\n' "$@" | paste -sd, | sed 's/,/, /g' || echo "none in this build"; }

for path in src/*; do
  [[ -d $path ]] || { [[ $path == src/CMakeLists.txt ]] || fail "$path lies outside every library folder"; continue; }
  folder=${path#src/}
  if [[ -z ${library[$folder]-} ]]; then
    fail "src/$folder is in no library: its files want a vorpane_sources() call in src/CMakeLists.txt"
    continue
  fi
  [[ ${library[$folder]} == - ]] && continue
  for file in "$path"/*; do
    [[ ${listed[$folder]} == *" ${file##*/} "* ]] || fail "$file is not listed in src/CMakeLists.txt"
  done
done

# every_file_matching REGEX DIR...: the C++ files whose code matches REGEX,
# but for the folders left out of this build.
skipped="^src/$(as_regex $left_out)/"
every_file_matching() {
  local regex=$1
  shift
  { grep -rlE "$regex" "$@" --include='*.cpp' --include='*.h' 2>/dev/null || true; } | grep -vE "$skipped" | sort || true
}

# only_in REGEX ALLOWED WHAT WHO: every file matching REGEX must match ALLOWED.
only_in() {
  local file
  while IFS= read -r file; do
    [[ -z $file || $file =~ $2 ]] || fail "$file $3; only $4 may"
  done < <(every_file_matching "$1" src tools bench tests)
}

gl_list=$(folders_of ${users[GL]-})
glfw_list=$(folders_of ${users[GLFW]-})
gl_folders=$(as_regex $gl_list)
glfw_folders=$(as_regex $glfw_list)
gl_files="^(src/$gl_folders/[^/]*|tests/gl/[^/]*\\.cpp|tests/support/gl_window\\.cpp|bench/gl_bench\\.cpp)$"
glfw_files="^src/$glfw_folders/[^/]*$"
glfw_who="the folders of the libraries that may use GLFW ($(as_paths $glfw_list))"
gl_who="the drawing backends' folders ($(as_paths $gl_list)), the GL tests and the drawing benchmark"
only_in '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]GLFW/' "$glfw_files" 'includes GLFW' "$glfw_who"
only_in '\bglfw[A-Z][A-Za-z0-9]*[[:space:]]*\(' "$glfw_files" 'calls GLFW' "$glfw_who"
only_in '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]GL/' "$gl_files" 'includes GL' "$gl_who"
only_in '\bglu?[A-Z][A-Za-z0-9]*[[:space:]]*\(' "$gl_files" 'calls GL' "$gl_who"

while IFS= read -r file; do
  [[ -z $file || $file =~ ^src/$gl_folders/ ]] ||
    fail "$file names a GL type or constant in a header outside the drawing backends' folders ($(as_paths $gl_list))"
done < <(every_file_matching '\bGL(_[A-Z0-9_]+|[a-z]+)\b' src tools | grep '\.h$' || true)

# The project's headers a folder's files include, "FILE:LINE:HEADER" a line,
# the header with its opening quote: every quoted one, and those in angle
# brackets with a folder.
includes_of() {
  { grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*("|<[^>]*/)' "src/$1" --include='*.cpp' --include='*.h' ||
    true; } | sed -E 's/^([^:]*:[0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^">]*).*/\1:\2\3/'
}
# whose FOLDER: the folder and its library, for a message.
whose() {
  case ${library[$1]-} in
    '') echo "$1/, no folder of src/" ;;
    -) echo "src/$1 (left out of this build)" ;;
    *) echo "src/$1 (${library[$1]})" ;;
  esac
}
for folder in $sim_folders; do
  while IFS=: read -r file line header; do
    [[ -z $file ]] && continue
    first=${header:1}
    first=${first%%/*}
    [[ " $sim_folders " == *" $first "* ]] && continue
    [[ $header == '<'* && -z ${library[$first]-} ]] && continue  # a system header
    fail "$file:$line includes ${header:1}, of $(whose "$first"): the simulation's folders (vorpane_sim's)" \
      "include only each other"
  done < <(includes_of "$folder")
done
while IFS=: read -r file line header; do
  [[ -z $file || $header == ?core/* ]] && continue
  fail "$file:$line includes ${header:1}: src/core includes nothing from another folder"
done < <(includes_of core)

# The backends: every library that may use an outside interface.
backends=" $(echo ${users[@]-} | tr ' ' '\n' | sort -u | paste -sd' ') "
for folder in "${!library[@]}"; do
  owner=${library[$folder]}
  [[ $backends == *" $owner "* ]] || continue
  window_only=false
  [[ " ${users[GLFW]-} " == *" $owner "* && " ${users[GL]-} " != *" $owner "* ]] && window_only=true
  while IFS=: read -r file line header; do
    [[ -z $file ]] && continue
    first=${header:1}
    first=${first%%/*}
    [[ $header == '<'* && -z ${library[$first]-} ]] && continue  # a system header
    other=${library[$first]-}
    [[ $other == "$owner" ]] && continue
    if [[ -n $other && $backends == *" $other "* ]]; then
      fail "$file:$line includes ${header:1}, of $(whose "$first"): a backend's folders include nothing of another" \
        "backend's; what they share lies beside the seam (src/show) or in the simulation's folders"
    elif $window_only && [[ ${header:1} != show/window.h && $first != platform && $first != core ]]; then
      fail "$file:$line includes ${header:1}: a window backend's folders include from src/ only show/window.h," \
        "their own, platform/ and core/"
    fi
  done < <(includes_of "$folder")
done

if [[ $status -eq 0 ]]; then
  echo "PASS: every file under src/ is in one library, the simulation includes only itself, GL and GLFW stay" \
    "in the backends' folders, no backend includes another's${left_out:+ (left to the build that has them: $left_out)}"
fi
exit "$status"
