# Sourced by the tool test scripts (not a test itself: CTest runs the *.sh
# files tests/CMakeLists.txt names). Sets bin and src from the arguments, a
# scratch folder $work removed on exit, fail MESSAGE, need_display, and
# capture FOLDER OPTIONS... for vorpane-capture.
set -euo pipefail
bin=$1 src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

need_display() {
  [[ -n "${DISPLAY:-}" ]] || fail "no display (run under xvfb-run, as scripts/test does)"
}

capture() {  # capture FOLDER OPTIONS...: frames into $work/FOLDER
  local out=$1
  shift
  "$bin/vorpane-capture" --atlas "$src/assets/parts.png" --out "$work/$out" "$@" >/dev/null ||
    fail "vorpane-capture $* exited with $?"
}
