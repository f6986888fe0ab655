#!/usr/bin/env bash
# The commands and the subclassed controls with real input: seek keys and
# keypad jumps, the rate keys and their caption marker, the volume keys, the
# display-mode cycle, clicks and double-clicks on the panel, single-click
# play, a Shift-drag of selected rows, the wheel over the seek bar and the
# volume slider, the panel's own menu, the font keys and the top-most button.
. "$(dirname "$0")/lib.sh"

clips="$work/clips"
mkdir -p "$clips"
# One long clip for the seek keys, two short ones for the list.
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=150" \
  -ac 2 -metadata title="Long" -c:a libmp3lame -b:a 64k "$clips/1 long.mp3" || fail "ffmpeg made the long clip"
for n in 2 3; do
  ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=$((220 * n)):sample_rate=44100:duration=60" \
    -ac 2 -metadata title="Clip $n" -c:a libmp3lame -b:a 64k "$clips/$n clip.mp3" || fail "ffmpeg made clip $n"
done
printf '%s\r\n' "[SystemSetting]" "MasterVolume=OFF" "Volume=50" > "$app/Zav2.ini"

start_zav2 zav2_pid "$(winpath "$clips")"
check "the program runs" driver --timeout 30000 wait-window
check "the list holds the three clips" quietly driver --timeout 20000 wait-list-count 3
check "the long clip plays" quietly driver --timeout 20000 wait-caption --contains "Long"

x_window=$(xdotool search --onlyvisible --classname 'zav2.exe' | head -n 1)
focus_program() { xdotool windowfocus --sync "$x_window" 2> /dev/null || xdotool windowfocus "$x_window"; }
focus_program

# The read-out's position in seconds ("mm:ss / mm:ss").
position() {
  driver control-text -1 | tr -d '\r' | awk -F'[ :/]+' '{print $1 * 60 + $2}'
}
# in_range <description> <value> <low> <high>
in_range() {
  if [ "$2" -ge "$3" ] && [ "$2" -le "$4" ]; then pass "$1"; else fail "$1: $2 not in $3 ... $4"; fi
}
trackbar() { driver send 0x400 0 0 --control "$1" | tr -d '\r'; }  # TBM_GETPOS
key() { driver key "$@" > /dev/null; sleep 0.6; }
center() {
  local x y w h
  read -r x y w h <<< "$(driver control-rect "$1" --screen)"
  echo "$((x + w / 2)) $((y + h / 2))"
}

# --- Seeking: a moving position, so each check allows the second it plays on.
sleep 2
if wine --version | grep -q 'wine-[1-9][0-9]'; then
  key 0x65  # keypad 5
  in_range "keypad 5 jumps to 50 %" "$(position)" 75 77
  before=$(position); key RIGHT
  in_range "Right moves on 1 s" "$(($(position) - before))" 1 2
  before=$(position); xdotool key shift+Right; sleep 0.6
  in_range "Shift+Right moves on 10 s" "$(($(position) - before))" 10 11
  before=$(position); xdotool key ctrl+Right; sleep 0.6
  in_range "Ctrl+Right moves on 60 s" "$(($(position) - before))" 60 61
  before=$(position); xdotool key ctrl+Right; sleep 0.6
  in_range "Ctrl+Right stops short of the end" "$(($(position) - before))" 0 1
  xdotool key ctrl+Left ctrl+Left ctrl+Left; sleep 0.6
  in_range "Ctrl+Left stops at the start" "$(position)" 0 1
else
  echo "skipped: seeking needs Wine 10 (this is $(wine --version))"
fi

# --- Rate: F8 twice is x3, F9 back to normal.
key F8
key F8
check "F8 twice shows the x3 marker" quietly driver --timeout 5000 wait-caption --contains "【×3】"
key F9
caption=$(driver caption | tr -d '\r')
check_not "F9 removes the marker" grep -q "【×" <<< "$caption"

# --- Volume keys on the slider (the main window has the focus).
volume=$(trackbar 1010)
expect_eq "the slider shows the saved volume" 50 "$volume"
key PRIOR
expect_eq "Page Up moves the slider up by 5" 55 "$(trackbar 1010)"
key NEXT
key NEXT
expect_eq "Page Down moves it down by 5" 45 "$(trackbar 1010)"

# --- Wheel, sent to the controls (Wine gives real wheel events to the focused
# window): over the seek bar nothing moves, over the slider three steps the
# other way. 7864320 is one notch up (120 in the high word), 4287102976 one down.
seek_before=$(trackbar 1009)
driver send WM_MOUSEWHEEL 7864320 0 --control 1009 > /dev/null
driver send WM_MOUSEWHEEL 4287102976 0 --control 1009 > /dev/null
in_range "the wheel over the seek bar leaves the position to the clock" \
  "$(($(trackbar 1009) - seek_before))" 0 6
driver send WM_MOUSEWHEEL 7864320 0 --control 1010 > /dev/null; sleep 0.3
up=$(trackbar 1010)
driver send WM_MOUSEWHEEL 4287102976 0 --control 1010 > /dev/null; sleep 0.3
# A plain trackbar takes a notch up as one line up, towards 0.
expect_eq "a notch up moves the slider three steps towards 100" 48 "$up"
expect_eq "a notch down moves it back" 45 "$(trackbar 1010)"

# --- Clicks on the panel: one pauses, the next resumes; a double-click
# changes the display mode and playback runs on.
read -r px py <<< "$(center 1014)"
xdotool mousemove --sync "$px" "$py" click 1; sleep 1.5
paused_at=$(position); sleep 1.5
expect_eq "a click on the panel pauses" "$paused_at" "$(position)"
xdotool click 1; sleep 2
in_range "a second click resumes" "$(($(position) - paused_at))" 1 3
read -r _ _ normal_w _ <<< "$(driver window-rect)"
xdotool click --repeat 2 --delay 80 1; sleep 1.5
read -r _ _ wide_w _ <<< "$(driver window-rect)"
check "a double-click on the panel maximises" test "$wide_w" -gt "$normal_w"
running_at=$(position); sleep 1.5
in_range "and playback runs on" "$(($(position) - running_at))" 1 2
# Home: maximised -> full screen -> normal.
key HOME
read -r fx fy fw fh <<< "$(driver window-rect)"
expect_eq "Home goes on to full screen" "0 0" "$fx $fy"
key HOME
read -r _ _ back_w _ <<< "$(driver window-rect)"
expect_eq "Home comes back to the normal window" "$normal_w" "$back_w"
screenshot_window commands-normal

# --- The panel's own menu on a right-click: its third item is "中央寄せ".
read -r px py <<< "$(center 1014)"
xdotool mousemove --sync "$px" "$py" click 3
check "a right-click on the panel shows a menu" quietly driver --timeout 5000 popup-menu
xdotool key Down Down Down Return; sleep 0.5
expect_eq "it is the text menu: its third item centres the text" 1 $(($(driver window-style --control 1014 | tr -d '\r') & 1))
driver command 40010 > /dev/null

# --- Single-click mode: releasing over an entry plays it.
driver command 40012 > /dev/null
row_height=$(driver send 0x1A1 0 0 --control 1001 | tr -d '\r')  # LB_GETITEMHEIGHT
read -r lx ly lw lh <<< "$(driver control-rect 1001 --screen)"
row_y() { echo $((ly + 2 + row_height * $1 + row_height / 2)); }
xdotool mousemove --sync $((lx + lw / 2)) "$(row_y 2)" click 1
check "single-click mode plays the clicked entry" quietly driver --timeout 20000 wait-caption --contains "Clip 3"
driver command 40012 > /dev/null

# --- Shift-drag: rows 0 and 1 selected move down by one.
xdotool mousemove --sync $((lx + lw / 2)) "$(row_y 0)" click 1
xdotool keydown ctrl mousemove --sync $((lx + lw / 2)) "$(row_y 1)" click 1 keyup ctrl
sleep 0.3
xdotool keydown shift mousedown 1
xdotool mousemove --sync $((lx + lw / 2)) $(($(row_y 1) + row_height / 2)) mousemove --sync $((lx + lw / 2)) "$(row_y 2)"
xdotool mouseup 1 keyup shift
sleep 0.5
order=$(driver list-items | tr -d '\r' | tr '\n' '|')
expect_eq "a Shift-drag moves the two selected rows down" "3 clip|1 long|2 clip|" "$order"

# --- Font keys on the focused list: + and - change the row height, * is 9 points.
xdotool mousemove --sync $((lx + lw / 2)) "$(row_y 0)" click 1
sleep 0.3
h10=$(driver send 0x1A1 0 0 --control 1001 | tr -d '\r')
key 0x6B --control 1001  # keypad +
h11=$(driver send 0x1A1 0 0 --control 1001 | tr -d '\r')
check "keypad + makes the rows taller" test "$h11" -gt "$h10"
key 0x6D --control 1001  # keypad -
expect_eq "keypad - brings them back" "$h10" "$(driver send 0x1A1 0 0 --control 1001 | tr -d '\r')"
key 0x6A --control 1001  # keypad *
h9=$(driver send 0x1A1 0 0 --control 1001 | tr -d '\r')
check "keypad * sets 9 points: lower than 10" test "$h9" -lt "$h10"

# --- The top-most button: the style and the icon follow.
icon_before=$(driver send 0xF6 1 0 --control 1012 | tr -d '\r')  # BM_GETIMAGE
style_before=$(driver window-style --ex | tr -d '\r')
driver command 1012 > /dev/null
style_after=$(driver window-style --ex | tr -d '\r')
expect_eq "the window was not top-most" 0 $((style_before & 8))
expect_eq "the top-most button makes it top-most" 8 $((style_after & 8))
check_not "and changes its icon" test "$icon_before" = "$(driver send 0xF6 1 0 --control 1012 | tr -d '\r')"
driver command 1012 > /dev/null
expect_eq "a second click ends it" 0 $(($(driver window-style --ex | tr -d '\r') & 8))

check "the program closes" quietly driver close
wait_exit "$zav2_pid" 30
finish
