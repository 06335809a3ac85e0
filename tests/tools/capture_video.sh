#!/usr/bin/env bash
# vorpane-capture --video FILE: frames A to B, one video frame per show
# frame, encoded by ffmpeg into a file chosen by its extension. FILE appears
# whole or not at all: a failed, interrupted or killed run leaves neither it
# nor a partial file behind, and an older FILE survives a failed run.
# Usage: capture_video.sh BIN_DIR SOURCE_DIR   (needs a display and ffmpeg: scripts/test)
source "$(dirname "$0")/common.bash"
need_display
command -v ffprobe >/dev/null || fail "no ffprobe (scripts/setup --test installs ffmpeg)"
cd "$work"
mkdir videos empty-bin fake-bin

video() {  # video FILE FRAMES [OPTIONS...]: the run's status in $status, its streams in out.txt and err.txt
  local file=$1 frames=$2
  shift 2
  status=0
  "$bin/vorpane-capture" --atlas "$src/assets/parts.png" --fast-forward --video "$file" --frames "$frames" "$@" \
    >out.txt 2>err.txt || status=$?
}
expect() {  # expect STATUS WHAT: the last run ended so, with one line on stderr when it failed
  [[ $status -eq $1 ]] || fail "$2: exit status $status, not $1: $(cat err.txt)"
  [[ $1 -eq 0 ]] || [[ $(wc -l <err.txt) -eq 1 ]] || fail "$2: not one line on stderr: $(cat err.txt)"
}
holds() {  # holds NAMES...: the folder videos holds exactly these, hidden files too
  [[ "$(cd videos && ls -A | tr '\n' ' ')" == "$* " ]] || fail "videos/ holds: $(cd videos && ls -A)"
}
probe() {  # probe FILE FIELDS: decoded, as ffprobe's comma-separated values
  ffprobe -v error -count_frames -select_streams v:0 -show_entries "stream=$2" -of csv=p=0 "$1"
}
encoder() {  # encoder PID: the ffmpeg of the capture PID, once it has written some of the video
  local child
  for _ in $(seq 300); do
    child=$(pgrep -P "$1" -x ffmpeg || true)
    [[ -n $child && $(stat -Lc %s "/proc/$child/fd/3" 2>/dev/null || echo 0) -gt 0 ]] && { echo "$child"; return; }
    sleep 0.1
  done
  fail "the capture $1 started no encoder that wrote"
}
ended() {  # ended PID: waits until the process is gone (or a zombie no one reaps)
  for _ in $(seq 600); do
    [[ ! -e /proc/$1 || $(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) == Z ]] && return
    sleep 0.1
  done
  fail "the encoder $1 did not end"
}
close_to() {  # close_to PICTURE PNG LIMIT: root mean square difference (0 to 1) under LIMIT
  local d
  d=$({ compare -metric RMSE "$1" "$2" null: 2>&1 || true; } | sed -n 's/.*(\(.*\))/\1/p')
  awk -v d="$d" -v limit="$3" 'BEGIN { exit !(d != "" && d < limit) }' || fail "$1 is ${d:-?} from $2"
}

# MP4: H.264 in 4:2:0 (what browsers play), 60 frames a second, every
# frame; stdout names the file, stderr stays quiet off a terminal.
video videos/show.mp4 1-120
expect 0 "an MP4 of frames 1-120"
[[ $(cat out.txt) == videos/show.mp4 && ! -s err.txt ]] || fail "the MP4 run printed: $(cat out.txt err.txt)"
holds show.mp4
[[ ! -e captures ]] || fail "--video alone wrote PNG frames too"
got=$(probe videos/show.mp4 codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames)
[[ $got == "h264,640,480,yuv420p,60/1,120" ]] || fail "the MP4 is $got"
# Frame 1 is mostly black: a blank frame or frame 2 is 0.03 from it, the
# codec's loss about 0.004.
capture png --frames 1 --fast-forward
ffmpeg -v error -i videos/show.mp4 -frames:v 1 first.png
close_to first.png png/frame-000001.png 0.01

# WebM: VP9 at 60 a second. GIF: every frame held 2/100 s, the shortest
# delay players honour; nearly lossless here, so it shows that a range
# from A, with an overlay, gives the PNG capture's frames A to B (a
# neighbour or the frame without bloom is 0.02 or more away, the palette's
# loss 0.005). WebP: animated, every frame.
video videos/show.webm 1-30
expect 0 "a WebM of 30 frames"
[[ $(probe videos/show.webm codec_name,r_frame_rate,nb_read_frames) == "vp9,60/1,30" ]] || fail "the WebM is wrong"
video videos/show.GIF 31-60 --bloom 2
expect 0 "a GIF of frames 31-60"
[[ $(probe videos/show.GIF codec_name,nb_read_frames) == "gif,30" ]] || fail "the GIF has not 30 frames"
[[ $(identify -format '%T ' videos/show.GIF) == "$(printf '2 %.0s' {1..30})" ]] || fail "the GIF's delays are not 2/100 s"
capture bloom --frames 31,60 --bloom 2 --fast-forward
ffmpeg -v error -i videos/show.GIF -vf 'select=eq(n\,0)+eq(n\,29)' -fps_mode passthrough gif-%d.png
close_to gif-1.png bloom/frame-000031.png 0.01
close_to gif-2.png bloom/frame-000060.png 0.01
video videos/show.webp 1-30
expect 0 "a WebP of 30 frames"
[[ $(identify videos/show.webp | wc -l) -eq 30 ]] || fail "the WebP has not 30 frames"
rm videos/show.webm videos/show.GIF videos/show.webp

# Usage errors come before any window, ffmpeg or file.
for bad in "videos/show.txt 1-10" "videos/show 1-10" "videos/show.mp4 5-3" "videos/show.mp4 0-10"; do
  DISPLAY='' WAYLAND_DISPLAY='' video $bad
  expect 2 "--video ${bad/ / --frames }"
done
holds show.mp4

# ffmpeg missing or failing: status 1 and the reason; the older show.mp4
# stays as it was and no partial file is left.
cp videos/show.mp4 old.mp4
PATH="$work/empty-bin" video videos/show.mp4 1-30
expect 1 "no ffmpeg on the PATH"
grep -q 'ffmpeg' err.txt || fail "the missing ffmpeg is not named: $(cat err.txt)"
printf '#!/bin/sh\nhead -c 2000000 >/dev/null\necho "fake encoder: out of luck" >&2\nexit 1\n' >fake-bin/ffmpeg
chmod +x fake-bin/ffmpeg
PATH="$work/fake-bin:$PATH" video videos/show.mp4 1-30
expect 1 "a failing ffmpeg"
grep -q 'out of luck' err.txt || fail "ffmpeg's reason is not passed on: $(cat err.txt)"
cmp -s old.mp4 videos/show.mp4 || fail "a failed run changed the older video"
if [[ $(id -u) -ne 0 ]]; then
  chmod a-w videos
  video videos/new.mp4 1-30
  expect 1 "a folder that takes no file"
  chmod u+w videos
fi
holds show.mp4

# Ctrl-C (job control on, so the background run does not ignore SIGINT).
set -m
"$bin/vorpane-capture" --atlas "$src/assets/parts.png" --video videos/long.mp4 --frames 1-100000 >/dev/null 2>&1 &
pid=$!
encoder "$pid" >/dev/null
kill -INT "$pid" || fail "the long run ended before it was interrupted"
status=0
wait "$pid" || status=$?
set +m
[[ $status -eq 130 ]] || fail "an interrupted run ended with $status, not 130"
holds show.mp4

# SIGKILL mid-encode: nothing of the run can clean up, and its ffmpeg, left
# to end the stream, writes all it was sent; the file it wrote has no name.
"$bin/vorpane-capture" --atlas "$src/assets/parts.png" --video videos/killed.mp4 --frames 1-100000 >/dev/null 2>&1 &
pid=$!
child=$(encoder "$pid")
kill -KILL "$pid"
wait "$pid" || true
ended "$child"
holds show.mp4

# On a terminal, one line redrawn in place.
script -qec "$(printf '%q ' "$bin/vorpane-capture" --atlas "$src/assets/parts.png" --fast-forward \
  --video videos/tty.webm --frames 1-30)" /dev/null >tty.txt
grep -q $'\rvorpane-capture: frame 30 of 30, [0-9]* fps' tty.txt || fail "no progress line on a terminal: $(cat -v tty.txt)"
echo "PASS"
