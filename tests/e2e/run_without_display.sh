#!/usr/bin/env bash
# Without a display the show ends in one clear line and the fatal report
# naming the screen, with the error code 1, not an obscure crash. (The
# message for a missing parts.png is the install test's to check.)
# Usage: run_without_display.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$bin/vorpane" >out.txt 2>err.txt </dev/null || status=$?
cat err.txt
[[ $status -ne 0 ]] || { echo "FAIL: exit status 0 without a display"; exit 1; }
grep -q "cannot open a window" err.txt || { echo "FAIL: no clear reason on stderr"; exit 1; }
grep -q "Aborting due to runtime error 1 (illegal function call) at line [0-9]* of Tscreen::Tscreen()" err.txt ||
  { echo "FAIL: no fatal report naming Tscreen"; exit 1; }
[[ $status -eq 1 ]] || { echo "FAIL: exit status $status, not the error code 1"; exit 1; }
echo "PASS"
