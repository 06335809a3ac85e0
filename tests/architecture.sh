#!/usr/bin/env bash
# The seam between the simulation and the screen, checked on the sources:
# GLFW is included only by the window backend, GL and GLU only by the GL
# library's drawing files, the GL tests and the drawing benchmark. A new
# file that includes either elsewhere fails here, naming the file, before
# it can blur the seam; the GL-free library's link (no GL library) catches
# the calls themselves.
# Usage: architecture.sh SOURCE_DIR
set -euo pipefail
cd "$1"

glfw_allowed='^src/platform/window_glfw\.cpp$'
gl_allowed='^(src/render/(screen|glow)\.cpp|src/game/(atlas|frame|hud|show)\.cpp|tests/gl/[^/]*\.cpp|tests/support/gl_window\.cpp|bench/gl_bench\.cpp)$'

status=0
check() {  # check PATTERN ALLOWED WHAT
  local file
  while IFS= read -r file; do
    if ! [[ $file =~ $2 ]]; then
      echo "FAIL: $file includes $3 headers; only these files may: $2" >&2
      status=1
    fi
  done < <(grep -rlE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]$1" src tools bench tests --include='*.cpp' --include='*.h' | sort)
}
check 'GLFW/' "$glfw_allowed" GLFW
check 'GL/' "$gl_allowed" GL
[[ $status -eq 0 ]] && echo "PASS: GL and GLFW headers stay behind the seam"
exit "$status"
