#!/usr/bin/env bash
# Vorpane's BulletML trace against libbulletml's (tests/bulletml/host), on
# every real file Debian ships (scripts/setup --test installs them): 600
# frames, once with $rand held at 0.5 and the target at (320, 400)
# ("constant"), once with the random stream and the target at (-1, -1)
# ("random"). Every frame must hold the same rows in the same order with the
# same creation numbers, positions within 1e-4 px.
#
#   agreement.sh [TRACE [HOST [COMPARE [KNOWN]]]]
#
# TRACE is any vorpane-trace (default: this tree's build); HOST and COMPARE
# are bulletml_host and trace_compare; KNOWN is the reviewed list of known
# disagreements (known-disagreements.txt beside this script). Each
# disagreement not in the list fails the test, naming the file, the mode, the
# frame and the first differing row; so does a listed one whose first
# difference moved or that now agrees. Fewer than 354 files compared fails.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
trace=${1:-$root/build/bin/vorpane-trace}
host=${2:-$root/build/bin/bulletml_host}
compare=${3:-$root/build/bin/trace_compare}
known=${4:-$here/known-disagreements.txt}
frames=600
expected_files=354
started=$SECONDS

dirs=(/usr/share/doc/libbulletml-dev/doc/sample)
for game in noiz2sa parsec47 rrootage torus-trooper tumiki-fighters mu-cade; do dirs+=("/usr/share/games/$game"); done
files=()
for dir in "${dirs[@]}"; do
  [[ -d "$dir" ]] || { echo "FAIL: $dir is missing (scripts/setup --test installs it)"; exit 1; }
  # Names hold [ and ]: they come from find, never from a glob.
  while IFS= read -r -d '' file; do files+=("$file"); done < <(find "$dir" -name '*.xml' -type f -print0 | sort -z)
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One file in one mode; prints "agree MODE FILE\tLARGEST" (the largest
# difference of positions) or "differ MODE FILE\tFRAME\tWHAT".
compare_one() {
  local mode=$1 file=$2 options
  case "$mode" in
    constant) options=(--frames "$frames" --target 320,400 --rand-constant 0.5) ;;
    random) options=(--frames "$frames" --target -1,-1) ;;
  esac
  local job
  job=$(mktemp -d "$work/job.XXXXXX")
  mkfifo "$job/trace" "$job/host"
  "$trace" --scene "$file" "${options[@]}" > "$job/trace" 2> "$job/trace.err" &
  local trace_pid=$!
  "$host" "${options[@]}" "$file" > "$job/host" 2> "$job/host.err" &
  local host_pid=$!
  local verdict status=0 trace_rc=0 host_rc=0
  verdict=$("$compare" "$job/trace" "$job/host") || status=$?
  wait "$trace_pid" || trace_rc=$?
  wait "$host_pid" || host_rc=$?
  # A program cut off by the judge's first difference ends with SIGPIPE (141).
  if [[ $trace_rc -ne 0 && $trace_rc -ne 141 ]]; then
    printf 'differ %s %s\tload\tvorpane-trace exits %s: %s\n' "$mode" "$file" "$trace_rc" "$(head -1 "$job/trace.err")"
  elif [[ $host_rc -ne 0 && $host_rc -ne 141 ]]; then
    printf 'differ %s %s\thost\tbulletml_host exits %s: %s\n' "$mode" "$file" "$host_rc" "$(head -1 "$job/host.err")"
  elif [[ $status -eq 0 ]]; then
    # "N rows agree, positions within D"
    printf 'agree %s %s\t%s\n' "$mode" "$file" "${verdict##* }"
  else
    # "frame F, row R: first `...`, second `...`"
    local frame=${verdict#frame }
    printf 'differ %s %s\t%s\t%s\n' "$mode" "$file" "${frame%%,*}" "$verdict"
  fi
  rm -rf "$job"
}
export -f compare_one
export trace host compare frames work

for file in "${files[@]}"; do printf '%s\0%s\0' constant "$file" random "$file"; done |
  xargs -0 -n2 -P2 bash -c 'compare_one "$@"' compare_one > "$work/results"

# The reviewed list: FILE <tab> MODE <tab> FRAME of the first difference
# ("load" when the trace refuses the file) <tab> reason; # starts a comment.
declare -A listed_frame=()
if [[ -f "$known" ]]; then
  while IFS=$'\t' read -r file mode frame reason; do
    [[ -z "$file" || "$file" == \#* ]] && continue
    listed_frame["$mode $file"]=$frame
  done < "$known"
fi

failures=0 known_count=0
declare -A bad_file=()
while IFS= read -r line; do
  verdict=${line%% *}
  rest=${line#* }
  mode=${rest%% *}
  rest=${rest#* }
  file=${rest%%$'\t'*}
  key="$mode $file"
  if [[ "$verdict" == agree ]]; then
    if [[ -n "${listed_frame[$key]+set}" ]]; then
      echo "FAIL: $file ($mode) agrees but is listed in $known: take it off the list"
      failures=$((failures + 1))
    fi
    continue
  fi
  IFS=$'\t' read -r _ frame what <<< "$line"
  if [[ "${listed_frame[$key]-}" == "$frame" ]]; then
    known_count=$((known_count + 1))
    echo "known: $file ($mode): $what"
  elif [[ -n "${listed_frame[$key]+set}" ]]; then
    echo "FAIL: $file ($mode): listed as first differing in frame ${listed_frame[$key]}, now $what"
    failures=$((failures + 1)) bad_file["$file"]=1
  else
    echo "FAIL: $file ($mode): $what"
    failures=$((failures + 1)) bad_file["$file"]=1
  fi
done < <(sort "$work/results")

compared=$(( ${#files[@]} - ${#bad_file[@]} ))
echo "$compared of ${#files[@]} files compared in both modes over $frames frames" \
     "($known_count known disagreements); $((SECONDS - started)) s"
awk -F'\t' '/^agree / && $2 + 0 >= largest { largest = $2 + 0; at = substr($1, 7) }
  END { printf "largest difference of positions where they agree: %g%s\n", largest, at ? " (" at ")" : "" }' \
  "$work/results"
if [[ ${#files[@]} -lt $expected_files || $compared -lt $expected_files ]]; then
  echo "FAIL: fewer than $expected_files files compared"
  failures=$((failures + 1))
fi
[[ $failures -eq 0 ]]
