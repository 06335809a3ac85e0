#!/usr/bin/env bash
# The BulletML host against figures worked out by hand from the host model
# (docs/BULLETML.md), so that the oracle is checked by something other
# than the runner it judges; then the judge, trace_compare, on traces that
# differ by a known amount. Usage: host_model.sh BULLETML_HOST TRACE_COMPARE
set -euo pipefail
host=$1
compare=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A file whose top action (one, labelled top) is $1.
top() { printf '<bulletml><action label="top">%s</action></bulletml>\n' "$1" > "$work/case.xml"; }
# The frames in which bullets 1, 2, ... appear, on one line.
fire_frames() { "$host" "$@" "$work/case.xml" | awk -F, '$1 == "B" && !seen[$4]++ { printf "%s%s", sep, $2; sep = " " }'; }
# Row $1 of the trace (1 is the header).
row() { local n=$1; shift; "$host" "$@" "$work/case.xml" | sed -n "${n}p"; }
expect() {
  if [[ "$2" != "$3" ]]; then
    echo "FAIL: $1: expected '$3', got '$2'"
    failures=$((failures + 1))
  fi
}

# The root starts again a frame after its last top action reports its end.
top '<fire><bullet/></fire><wait>10</wait>'
expect "fire, wait 10" "$(fire_frames --frames 30)" "1 12 23"
top '<fire><bullet/></fire>'
expect "a lone fire" "$(fire_frames --frames 7)" "1 3 5 7"
# ... when every top action has ended, not the first.
printf '<bulletml><action label="top1"><fire><bullet/></fire><wait>2</wait></action>%s</bulletml>\n' \
  '<action label="top2"><fire><bullet/></fire><wait>6</wait></action>' > "$work/case.xml"
expect "top actions of 2 and 6 frames" "$(fire_frames --frames 15)" "1 1 8 8 15 15"

# A bullet is printed at its spawn point in the frame it is fired, then
# moves by speed along its direction: aimed straight down at (320, 400),
# then a sequence fire 90 degrees on from that aim, to the left.
top '<fire><bullet/></fire><fire><direction type="sequence">90</direction><speed>2</speed><bullet/></fire><wait>9</wait>'
expect "spawn point" "$(row 3 --target 320,400 --frames 1)" "B,1,0,1,320,120"
expect "aimed down" "$(row 6 --target 320,400 --frames 2)" "B,2,0,1,320,121"
expect "sequence after an aim" "$(row 7 --target 320,400 --frames 2)" "B,2,0,2,318,120"

# Accel adds (ax, ay) to the motion: right and down in a plain file; in a
# horizontal one the library feeds vertical to x and -horizontal to y.
accel='<fire><direction type="absolute">0</direction><speed>0</speed><bullet><action><accel><horizontal>2</horizontal><vertical>3</vertical><term>1</term></accel></action></bullet></fire><wait>9</wait>'
top "$accel"
expect "accel" "$(row 7 --frames 3 | cut -d, -f5-)" "322,123"
printf '<bulletml type="horizontal"><action label="top">%s</action></bulletml>\n' "$accel" > "$work/case.xml"
expect "accel, horizontal" "$(row 7 --frames 3 | cut -d, -f5-)" "323,118"

# $rank and a held $rand.
top '<fire><direction type="absolute">90</direction><speed>$rank * 8 + $rand * 2</speed><bullet/></fire><wait>9</wait>'
expect "rank and rand" "$(row 5 --rank 0.25 --rand-constant 0.5 --frames 2 | cut -d, -f5-)" "323,120"

# The pool: 16,384 in flight; a fire beyond that is missed and numbers
# nothing, and a bullet removed earlier in a frame makes room at once: in
# frame 2 bullet 1 vanishes before bullet 2 fires bullet 16385.
top '<fire><speed>0</speed><bullet><action><vanish/></action></bullet></fire>
     <fire><speed>0</speed><bullet><action><fire><speed>0</speed><bullet/></fire></action></bullet></fire>
     <repeat><times>16398</times><action><fire><speed>0</speed><bullet/></fire></action></repeat><wait>100</wait>'
counts=$("$host" --frames 3 "$work/case.xml" | awk -F, '$1 == "B" { n[$2]++; if ($4 > last[$2]) last[$2] = $4 }
  END { for (f = 1; f <= 3; f++) printf "%d:%d/%d ", f, n[f], last[f] }')
expect "pool" "$counts" "1:16384/16384 2:16384/16385 3:16384/16385 "

# The judge: positions within 1e-4 agree, beyond it the first differing row
# is named with its frame, and so is a row one side lacks.
top '<fire><bullet/></fire><wait>3</wait>'
"$host" --frames 9 --target 320,400 "$work/case.xml" > "$work/a.csv"
judge() { sed "$1" "$work/a.csv" > "$work/b.csv"; "$compare" "$work/a.csv" "$work/b.csv" | cut -d: -f1; }
expect "judge, same" "$(judge '')" "25 rows agree, positions within 0"
expect "judge, 5e-5 off" "$(judge '/^B,6,0,1,/s/,125$/,125.00005/')" "25 rows agree, positions within 5e-05"
expect "judge, 2e-4 off" "$(judge '/^B,6,0,1,/s/,125$/,125.0002/')" "frame 6, row 14"
expect "judge, a row missing" "$(judge '/^B,7,0,2,/d')" "frame 7, row 18"

[[ $failures -eq 0 ]] && echo "host model: all cases agree"
exit $((failures > 0))
