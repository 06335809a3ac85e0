# Sourced by the end-to-end scripts (not a test itself: CTest runs *.sh).
# Sets bin and src from the arguments and a scratch folder $work (with
# parts.png, the show's working folder) removed on exit, with every show
# started here ended.
set -euo pipefail
bin=$1 src=$2

# Each script runs on an X server of its own: GL tests running beside it
# open windows on the shared display, and one mapped over the show's window
# is what a screenshot would see (or where a key would go).
if [[ -z "${VORPANE_PRIVATE_XVFB:-}" ]]; then
  root=$src
  source "$src/scripts/lib/display.bash"
  VORPANE_PRIVATE_XVFB=1 on_xvfb bash "$0" "$@"
  exit
fi
work=$(mktemp -d)
shows=()
trap 'for p in "${shows[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
cp "$src/assets/parts.png" "$work/"
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

# start_show NAME OPTIONS...: the show in the background, its console in
# NAME.out and NAME.err; sets $show (its pid) and $window (its id).
# VORPANE_SHOW_OPTIONS adds options to every show a script starts (CTest runs
# a script again so with --sleep-wait: the same frames either way).
start_show() {
  local name=$1
  shift
  # shellcheck disable=SC2086  # words, on purpose
  "$bin/vorpane" ${VORPANE_SHOW_OPTIONS:-} "$@" >"$name.out" 2>"$name.err" &
  show=$!
  shows+=("$show")
  window=$(timeout 120 xdotool search --sync --onlyvisible --name '^Vorpane$' | head -n 1) || fail "$name: no window named Vorpane"
  # Keys go to the focused window; the pointer stays outside it unless a
  # test moves it in, so the turrets' target is (-1, -1) as in a capture.
  xdotool mousemove 1279 1023
  xdotool windowfocus --sync "$window" || true
}

# frames NAME N: waits until the show NAME has reported N frames (four
# turret reports each). Counted, not timed: on a loaded machine the first
# frame alone can take longer than a hundred take on an idle one.
frames() {
  for _ in $(seq 1 1200); do
    [[ $(grep -o "turret time " "$1.out" | wc -l) -ge $(($2 * 4)) ]] && return 0
    sleep 0.1
  done
  fail "$1: fewer than $2 frames in two minutes"
}

# end_show: holds Escape until the show ends; its exit status in $status.
end_show() {
  xdotool keydown Escape
  for _ in $(seq 1 600); do  # a few frames; the bound is for a loaded machine
    kill -0 "$show" 2>/dev/null || break
    sleep 0.1
  done
  xdotool keyup Escape
  kill -0 "$show" 2>/dev/null && fail "Escape did not end the show"
  status=0
  wait "$show" || status=$?
}

shot() { sleep "${2:-0.3}"; import -window "$window" "$1"; }  # shot FILE [SECONDS TO WAIT]

# settled FILE: a screenshot once the picture has stopped changing (queued
# steps all taken), however slowly this machine draws today.
settled() {
  local next=${1%.png}-next.png
  shot "$1" 0.3
  for _ in $(seq 1 40); do
    shot "$next" 0.3
    if [[ $(differing "$1" "$next") -eq 0 ]]; then return 0; fi
    mv "$next" "$1"
  done
  fail "the picture never settled"
}

# differing A B: pixels whose channels differ by more than 8 levels of 255.
differing() { compare -metric AE -fuzz 3.2% "$1" "$2" null: 2>&1 || true; }

# same_picture A B WHAT: within the golden tests' tolerance (0.5 % of pixels).
same_picture() {
  local off
  off=$(differing "$1" "$2")
  [[ $off -le 1536 ]] || fail "$3: $off pixels differ"
}

# expected NAME FILE: frame 600 of FILE, as the capture tool draws it, in NAME/.
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

# reload_saves FILE FIRST FIRST_DIR BAD REPORT SECOND SECOND_DIR: the three
# saves every reload test makes of FILE while the show (started as "reload",
# paused, a.png on screen) reads it: FIRST written in place, whose frame
# must then be FIRST_DIR/frame-000600.png; BAD written in place, which must
# leave a stderr line matching the grep pattern REPORT and the show going
# on; SECOND renamed over FILE, as many editors save, then SECOND_DIR's.
reload_saves() {
  local file=$1 first=$2 first_dir=$3 bad=$4 report=$5 second=$6 second_dir=$7
  cat "$first" >"$file"
  changed b.png a.png
  same_picture b.png "$first_dir/frame-000600.png" "frame 600 after a save in place"
  cat "$bad" >"$file"
  changed c.png b.png any  # the HUD, forced on with the mistake
  grep -q -- "$report" reload.err || fail "no report of the mistake's place on stderr: $(cat reload.err)"
  kill -0 "$show" 2>/dev/null || fail "the show ended on a bad save"
  cp "$second" "$file.new"
  mv "$file.new" "$file"
  changed d.png c.png
  same_picture d.png "$second_dir/frame-000600.png" "frame 600 after a save by rename, the mistake cleared"
}
