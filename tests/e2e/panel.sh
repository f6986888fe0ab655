#!/usr/bin/env bash
# The text panel over one folder: a companion UTF-8 text over a pale yellow
# companion picture (and the picture behind the list rows), the same text as
# Shift_JIS and as UTF-16 with a mark, lyrics over a pale embedded cover and
# the cover at full strength with text off, a video fitted into the panel in
# the three sizes, no video host for the audio after it, and a file dropped
# onto the video opened. Hostile companions (a PNG claiming 30000 x 30000
# pixels, a binary .txt, an empty .txt) leave the panel empty.
. "$(dirname "$0")/lib.sh"

media="$work/media"
mkdir -p "$media" "$work/other"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
# Long enough that no entry ends and advances while it is checked.
tone() { ff -f lavfi -i "sine=frequency=440:duration=30" -c:a libmp3lame -b:a 64k -id3v2_version 0 "$1"; }
for name in a_text b_sjis c_utf16 e_bad f_empty h_after; do tone "$media/$name.mp3"; done
tone "$work/other/dropped.mp3"
tone "$work/plain.mp3"
ff -f lavfi -i "color=c=yellow:s=100x400" -frames:v 1 "$media/a_text.png"
ff -f lavfi -i "color=c=red:s=64x64" -frames:v 1 "$work/red.png"
words=$'日本語の歌詞\nsecond line'
printf '%s\n' "$words" > "$media/a_text.txt"
printf '%s\r\n' "$words" | iconv -f UTF-8 -t SHIFT_JIS > "$media/b_sjis.txt"
{ printf '\xFF\xFE'; printf '%s\r\n' "$words" | iconv -f UTF-8 -t UTF-16LE; } > "$media/c_utf16.txt"
printf '\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x75\x30\0\0\x75\x30\x08\x06\0\0\0junk' > "$media/e_bad.png"
printf 'MZ\x90\0\x03\0\0\0' > "$media/e_bad.txt"
: > "$media/f_empty.txt"
lyrics=$'歌う言葉\nla la'
printf '%s' "$lyrics" > "$work/lyrics.txt"
"$repo_dir/tools/id3-tag" --v2 3 --title lyrics --lyrics "$work/lyrics.txt" --cover "$work/red.png" \
  "$work/plain.mp3" "$media/d_lyrics.mp3"
ff -f lavfi -i "testsrc=size=160x120:rate=25:duration=30" -f lavfi -i "sine=duration=30" \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -shortest "$media/g_video.mp4"
printf '[SystemSetting]\r\nx=0\r\ny=0\r\nwidth=720\r\nheight=560\r\nListWidth=150\r\n' > "$app/Zav2.ini"

rect() { driver control-rect "$1" | tr -d '\r'; }
panel_text() { driver control-text 1014 | tr -d '\r'; }

# near <description> <r g b> <x y of the screenshot> <shot>: the pixel is that
# colour, within a little rounding; the shot is taken again (up to 10 s) while
# it is not, as the window paints in its own time.
near() {
  local description=$1 want=($2) got tries=40
  while :; do
    got=($(convert "$artifacts/$4.png" -crop "1x1+${3% *}+${3#* }" +repage \
      -format '%[fx:int(255*r+0.5)] %[fx:int(255*g+0.5)] %[fx:int(255*b+0.5)]' info:))
    local i ok=0
    for i in 0 1 2; do
      local d=$((${got[i]:-999} - ${want[i]}))
      [ "${d#-}" -le 12 ] || ok=1
    done
    tries=$((tries - 1))
    [ $ok -eq 0 ] || [ $tries -le 0 ] && break
    sleep 0.25
    screenshot "$4" > /dev/null
  done
  if [ $ok -eq 0 ]; then pass "$description"; else fail "$description: want ${want[*]}, got ${got[*]}"; fi
}

# Screen points: the panel's middle (below the text) and the list's bottom.
points() {
  local cx cy px py pw ph lx ly lw lh
  read -r cx cy _ _ <<< "$(driver window-rect --client | tr -d '\r')"
  read -r px py pw ph <<< "$(rect 1014)"
  read -r lx ly lw lh <<< "$(rect 1001)"
  panel_point="$((cx + px + pw / 2)) $((cy + py + ph * 2 / 3))"
  list_point="$((cx + lx + lw / 2)) $((cy + ly + lh - 8))"
}

# wait_visible <id>: up to 10 s for the control to show (a loaded machine
# makes the engine slow to report the video).
wait_visible() {
  local tries=20
  until visible "$1"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.5
  done
}

# next_entry: plays the next entry and returns once its name is in the
# caption (the panel is loaded as it starts).
next_entry() {
  local before
  before=$(driver caption | tr -d '\r')
  quietly driver send WM_COMMAND 1008 0
  until_true 20 test "$(driver caption | tr -d '\r')" != "$before"
}

start_zav2 zav2_pid "$(winpath "$media")"
check "the program runs" driver --timeout "$start_limit_ms" wait-window
check "the list fills" quietly driver --timeout 30000 list-count 8
expect_soon "UTF-8 companion text" "$words" panel_text
points
screenshot text-over-picture
near "text over pale yellow" "255 255 204" "$panel_point" text-over-picture
near "yellow behind the list rows" "255 255 0" "$list_point" text-over-picture

next_entry
expect_soon "Shift_JIS companion text" "$words" panel_text
next_entry
expect_soon "UTF-16 companion text" "$words" panel_text

next_entry
expect_soon "embedded lyrics" "$lyrics" panel_text
screenshot lyrics
near "lyrics over the pale cover" "255 204 204" "$panel_point" lyrics
quietly driver send WM_COMMAND 40026 0
expect_soon "text off: no text" "" panel_text
screenshot cover
near "text off: the cover at full strength" "255 0 0" "$panel_point" cover
quietly driver send WM_COMMAND 40028 0
idle
screenshot cover-dark
near "dark mode repaints around the cover, not over it" "255 0 0" "$panel_point" cover-dark
quietly driver send WM_COMMAND 40028 0
quietly driver send WM_COMMAND 40026 0

next_entry
expect_eq "hostile picture and binary text: an empty panel" "" "$(panel_text)"
next_entry
expect_eq "empty .txt: an empty panel" "" "$(panel_text)"

next_entry
check "video: the host shows" wait_visible 1017
read -r px py pw ph <<< "$(rect 1014)"
cw=$((pw - 4)) ch=$((ph - 4))  # inside the sunken edge; no scroll bar with video
video_box() {  # the host in the panel's client coordinates
  local x y w h
  read -r x y w h <<< "$(rect 1017)"
  echo "$((x - px - 2)) $((y - py - 2)) $w $h"
}
if [ $((ch * 160)) -ge $((cw * 120)) ]; then
  fw=$cw fh=$(((120 * cw * 2 + 160) / 320))
else
  fw=$(((160 * ch * 2 + 120) / 240)) fh=$ch
fi
expect_eq "ZOOM fits the video into the panel" "$(((cw - fw) / 2)) $(((ch - fh) / 2)) $fw $fh" "$(video_box)"
read -r cx cy _ _ <<< "$(driver window-rect --client | tr -d '\r')"
screenshot video-zoom
if wine --version | grep -q 'wine-[1-9][0-9]'; then
  # testsrc's top-left bar is white-ish; the panel around the video is not.
  read -r vx vy vw vh <<< "$(rect 1017)"
  check_not "the video reaches the screen" \
    test "$(convert "$artifacts/video-zoom.png" -crop "${vw}x${vh}+$((cx + vx))+$((cy + vy))" +repage \
      -format '%[fx:standard_deviation>0.05]' info:)" = 0
fi
quietly driver send WM_COMMAND 40014 0
expect_eq "F5: ORIGINAL" "$(((cw - 160) / 2)) $(((ch - 120) / 2)) 160 120" "$(video_box)"
quietly driver send WM_COMMAND 40014 0
k=$((cw / 160 < ch / 120 ? cw / 160 : ch / 120))
[ "$k" -ge 1 ] || k=1
expect_eq "F5: MULTIPLE" "$(((cw - 160 * k) / 2)) $(((ch - 120 * k) / 2)) $((160 * k)) $((120 * k))" "$(video_box)"
quietly driver send WM_COMMAND 40014 0

next_entry
check_not "audio after video: no video host" visible 1017
quietly driver send WM_COMMAND 1007 0  # back to the video
check "video again: the host shows" wait_visible 1017
quietly driver --control 1017 drop "$(winpath "$work/other/dropped.mp3")"
check "a file dropped on the video is opened" quietly driver --timeout 15000 list-count 1
expect_eq "the dropped file is the list" "dropped.mp3" "$(driver list-items | tr -d '\r')"

check "Escape closes it" driver key ESCAPE --control 1001
wait_exit "$zav2_pid" 30
expect_eq "exit code" 0 "$exit_code"
finish
