#!/usr/bin/env bash
# Frame capture: F12 in the red part of a 320x240 red/green/blue clip shown
# in a smaller panel writes a 320x240 red BMP, asking for the capture folder
# first when none is set (the folder is written back at exit); F11 puts a DIB
# of the same size on the clipboard, and for a song its cover at the cover's
# size (F12 writes it to a file); a folder that takes no file is reported and
# the program runs on (the text panel menu's item, as F12).
. "$(dirname "$0")/lib.sh"

media="$work/media"
captures="$work/captures"
mkdir -p "$media" "$captures"
# Wine's folder dialog selects a given path only when it is a drive's root:
# the captures folder becomes drive Y:.
ln -s "$captures" "$WINEPREFIX/dosdevices/y:"
capture_dir='Y:\'
ini="$app/Zav2.ini"
title="移動するフォルダを選択してください。"
segment() { echo "color=c=$1:s=320x240:r=25:d=$2"; }
# Red long enough to pause in it whatever the start-up takes: with both
# cores kept busy the first frames came after 5 s of it had passed.
ffmpeg -nostdin -hide_banner -loglevel error -y \
  -f lavfi -i "$(segment red 60)" -f lavfi -i "$(segment lime 1)" -f lavfi -i "$(segment blue 1)" \
  -f lavfi -i "sine=frequency=660:sample_rate=44100:duration=62" \
  -filter_complex "[0:v][1:v][2:v]concat=n=3:v=1:a=0,format=yuv420p[v]" \
  -map "[v]" -map 3:a -c:v libx264 -preset veryfast -g 25 -c:a aac -b:a 96k "$media/colours.mp4"
clip=$(winpath "$media/colours.mp4")

value_of() {  # value_of <key>: the first value of the key in the settings file
  tr -d '\r' < "$ini" | sed -n "s/^$1=[[:space:]]*//p" | head -n 1
}
u32() {  # u32 <file> <offset>
  od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '
}
# "r g b" of the centre pixel of a bottom-up 32-bit BMP.
bmp_centre() {
  local width height
  width=$(u32 "$1" 18)
  height=$(u32 "$1" 22)
  od -An -tu1 -j $((54 + ((height / 2) * width + width / 2) * 4)) -N3 "$1" |
    awk '{ print $3, $2, $1 }'
}
is_red() {  # is_red r g b
  [ "$1" -gt 200 ] && [ "$2" -lt 60 ] && [ "$3" -lt 60 ]
}

# Paused in the red part of the clip.
start_paused_in_red() {
  start_zav2 zav2_pid "$clip"
  check "the program runs" driver --timeout "$start_limit_ms" wait-window
  check "the clip plays" quietly driver --timeout 20000 caption --contains colours
  idle  # the start is over: its selection and panel are in place
  # Paused only once a frame is on the screen: under load the first frame
  # can come a second after the sound starts.
  check "a red frame is shown" wait_for_video_colour r 20
  driver send WM_COMMAND 1004 0 > /dev/null
}

# clipboard_dib_of <w h> [key]: the clipboard's "w h r g b" once its DIB has
# that size, pressing the key again while it has not (within 10 s).
clipboard_dib_of() {
  local reading="" until=$((SECONDS + 10))
  while [ "$SECONDS" -lt "$until" ]; do
    [ -n "${2:-}" ] && driver key "$2" > /dev/null
    reading=$(driver clipboard-dib 2> /dev/null | tr -d '\r')
    case "$reading" in "$1 "*) break ;; esac
    sleep 0.2
  done
  echo "$reading"
}

# --- No capture folder yet: asked for, then kept and written back -----------
start_paused_in_red
driver key F12 > /dev/null
expect_eq "F12 asks for the capture folder" "$title" \
  "$(driver --timeout 20000 browse-folder "$capture_dir" | tr -d '\r')"
check "a capture file is written" \
  timeout 20 sh -c "until ls '$captures'/*.bmp > /dev/null 2>&1; do sleep 0.2; done"
bmp=$(ls "$captures"/*.bmp 2> /dev/null | head -n 1)
if [ -n "$bmp" ]; then
  name=$(basename "$bmp")
  check "named by the clip and the position: $name" \
    quietly grep -qE '^colours_00[0-4]_[0-5][0-9]_[0-9]{2}\.bmp$' <<< "$name"
  expect_eq "320x240, 32 bits, 54 + 4 x 320 x 240 bytes" "320 240 32 $((54 + 4 * 320 * 240))" \
    "$(u32 "$bmp" 18) $(u32 "$bmp" 22) $(u32 "$bmp" 28) $(stat -c %s "$bmp")"
  check "its pixels are red ($(bmp_centre "$bmp"))" is_red $(bmp_centre "$bmp")
fi

driver key F11 > /dev/null
read -r cw ch cr cg cb <<< "$(clipboard_dib_of "320 240")"
expect_eq "F11 puts a 320x240 DIB on the clipboard" "320 240" "${cw:-} ${ch:-}"
check "the clipboard's pixels are red (${cr:-} ${cg:-} ${cb:-})" is_red "${cr:-0}" "${cg:-0}" "${cb:-0}"

driver key F12 > /dev/null
check_not "a second capture asks no more" \
  quietly driver --timeout 2000 browse-folder "$capture_dir"
screenshot_window paused-in-red
check "the program closes" driver close
wait_exit "$zav2_pid" 30
expect_eq "exit code" 0 "$exit_code"
expect_eq "the chosen folder is written back at exit" "$capture_dir" \
  "$(value_of CaptureDir)"

# --- A song with a cover: the capture is the cover at its own size ----------
ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "color=c=blue:s=64x48:d=1" \
  -frames:v 1 "$media/cover.png"
ffmpeg -nostdin -hide_banner -loglevel error -y \
  -f lavfi -i "sine=frequency=550:sample_rate=44100:duration=20" -i "$media/cover.png" \
  -map 0:a -map 1:v -c:a libmp3lame -b:a 96k -c:v png -id3v2_version 3 \
  -metadata title="Covered" -metadata:s:v comment="Cover (front)" "$media/covered.mp3"
start_zav2 zav2_pid "$(winpath "$media/covered.mp3")"
check "the song plays" quietly driver --timeout 30000 caption --contains Covered
idle  # the start is over: its selection and panel are in place
# F11 again until the cover is on the clipboard: the panel shows it once the
# entry has started.
read -r cw ch cr cg cb <<< "$(clipboard_dib_of "64 48" F11)"
expect_eq "F11 on a song puts its 64x48 cover on the clipboard" "64 48" "${cw:-} ${ch:-}"
check "the cover's pixels are blue ($cr $cg $cb)" \
  test "${cb:-0}" -gt 200 -a "${cr:-255}" -lt 60 -a "${cg:-255}" -lt 60
# F12 writes that picture to the capture folder kept from the first run.
driver key F12 > /dev/null
check "F12 on a song writes its cover" \
  timeout 20 sh -c "until ls '$captures'/covered_*.bmp > /dev/null 2>&1; do sleep 0.2; done"
cover_bmp=$(ls "$captures"/covered_*.bmp 2> /dev/null | head -n 1)
if [ -n "$cover_bmp" ]; then
  read -r fr fg fb <<< "$(bmp_centre "$cover_bmp")"
  expect_eq "the cover's file is 64x48" "64 48" "$(u32 "$cover_bmp" 18) $(u32 "$cover_bmp" 22)"
  check "the cover's file is blue ($fr $fg $fb)" test "$fb" -gt 200 -a "$fr" -lt 60 -a "$fg" -lt 60
fi
check "the program closes" driver close
wait_exit "$zav2_pid" 30

# --- A folder that takes no file (even for root): reported, no crash --------
sed -i 's/^CaptureDir=.*/CaptureDir=Z:\\proc\r/' "$ini"
start_paused_in_red
driver post WM_COMMAND 40019 0  # as the text panel's menu item sends it
expect_eq "the failed capture is reported" "キャプチャを保存できませんでした。" \
  "$(driver --timeout 20000 message-box --press ok | tr -d '\r')"
check "the program runs on" quietly driver caption
check "the program closes" driver close
wait_exit "$zav2_pid" 30
expect_eq "exit code" 0 "$exit_code"

finish
