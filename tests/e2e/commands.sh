#!/usr/bin/env bash
# The commands and the subclassed controls with real input: seek keys and
# keypad jumps, the rate keys and their caption marker, the volume keys, the
# display-mode cycle, clicks and double-clicks on the panel, single-click
# play, a Shift-drag of selected rows, the panel's own menu, the font keys,
# the top-most button, and Insert on a list that fills the window.
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
check "the program runs" driver --timeout "$start_limit_ms" wait-window
check "the list holds the three clips" quietly driver --timeout 20000 list-count 3
check "the long clip plays" quietly driver --timeout 20000 caption --contains "Long"
idle  # the start is over: its selection and panel are in place

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
# key <key> [--control id]: posts the key; what it does is awaited by the check.
key() { driver key "$@" > /dev/null; }
width_of() { driver control-rect "$1" | tr -d '\r' | cut -d' ' -f3; }
row_height_now() { driver send 0x1A1 0 0 --control 1001 | tr -d '\r'; }  # LB_GETITEMHEIGHT
window_origin() { driver window-rect | tr -d '\r' | cut -d' ' -f1-2; }
no_rate_marker() { ! driver caption | grep -q "【×"; }
center() {
  local x y w h
  read -r x y w h <<< "$(driver control-rect "$1" --screen)"
  echo "$((x + w / 2)) $((y + h / 2))"
}

# --- Seeking: the position moves on meanwhile. Each check waits for the
# read-out to reach the target and allows on top only the seconds that
# passed since the keys (two more: the read-out shows whole seconds, both the
# one the target is counted from and the one checked, and it follows the
# player on a timer), so a loaded machine takes longer but never fails a
# good seek.
# wait_position <low> <high> <seconds>: the read-out once it is in range.
wait_position() {
  local until=$((SECONDS + $3)) now
  now=$(position)
  while { [ "$now" -lt "$1" ] || [ "$now" -gt "$2" ]; } && [ "$SECONDS" -lt "$until" ]; do
    sleep 0.1
    now=$(position)
  done
  echo "$now"
}
# seek_to <description> <target> <command...>: runs the command (the keys),
# then checks the read-out lands on the target plus the time since.
seek_to() {
  local description=$1 target=$2 start=$SECONDS
  shift 2
  "$@" > /dev/null
  in_range "$description" "$(wait_position "$target" $((target + SECONDS - start + 3)) 10)" \
    "$target" $((target + SECONDS - start + 2))
}
wait_position 1 1000 10 > /dev/null
if wine --version | grep -q 'wine-[1-9][0-9]'; then
  seek_to "keypad 5 jumps to 50 %" 75 driver key 0x65
  seek_to "keypad 2 jumps to 20 %" 30 driver key 0x62
  seek_to "Right moves on 1 s" $(($(position) + 1)) driver key RIGHT
  seek_to "Shift+Right moves on 10 s" $(($(position) + 10)) xdotool key shift+Right
  seek_to "Ctrl+Right moves on 60 s" $(($(position) + 60)) xdotool key ctrl+Right
  seek_to "Ctrl+Right stops short of the end" "$(position)" xdotool key ctrl+Right
  seek_to "Ctrl+Left stops at the start" 0 xdotool key ctrl+Left ctrl+Left ctrl+Left
else
  echo "skipped: seeking needs Wine 10 (this is $(wine --version))"
fi

# --- Rate: F8 twice is x3, F9 back to normal.
key F8
key F8
check "F8 twice shows the x3 marker" quietly driver --timeout 5000 caption --contains "【×3】"
idle  # the start is over: its selection and panel are in place
key F9
check "F9 removes the marker" until_true 10 no_rate_marker

# --- Volume keys on the slider (the main window has the focus).
volume=$(trackbar 1010)
expect_eq "the slider shows the saved volume" 50 "$volume"
key PRIOR
expect_soon "Page Up moves the slider up by 5" 55 trackbar 1010
key NEXT
key NEXT
expect_soon "Page Down moves it down by 5" 45 trackbar 1010

# (The wheel over the two trackbars cannot be shown here: Wine's trackbar
# hands every wheel message to its parent, subclassed or not.)

# --- Clicks on the panel: one pauses, the next resumes; a double-click
# changes the display mode and playback runs on.
read -r px py <<< "$(center 1014)"
# still: the read-out once two readings a second apart agree (within 10 s).
still() {
  local until=$((SECONDS + 10)) last now
  last=$(position)
  sleep 1.1
  now=$(position)
  while [ "$now" != "$last" ] && [ "$SECONDS" -lt "$until" ]; do
    last=$now
    sleep 1.1
    now=$(position)
  done
  echo "$now"
}
xdotool mousemove --sync "$px" "$py" click 1
paused_at=$(still)
sleep 1.5  # a pause is shown by nothing moving for a while
expect_eq "a click on the panel pauses" "$paused_at" "$(position)"
xdotool click 1
# Two whole seconds on: the read-out's next second can come 0.1 s after the
# resume, and a click that close to the double-click's first makes a
# double-click of its own (the system's double-click time is 0.5 s).
in_range "a second click resumes" "$(wait_position $((paused_at + 2)) 100000 10)" \
  $((paused_at + 2)) 100000
read -r _ _ normal_w _ <<< "$(driver window-rect)"
xdotool click --repeat 2 --delay 80 1
wide_w=$normal_w
for _ in $(seq 1 50); do
  read -r _ _ wide_w _ <<< "$(driver window-rect)"
  [ "$wide_w" -gt "$normal_w" ] && break
  sleep 0.2
done
check "a double-click on the panel maximises" test "$wide_w" -gt "$normal_w"
running_at=$(position)
in_range "and playback runs on" "$(wait_position $((running_at + 1)) 100000 10)" \
  $((running_at + 1)) 100000
# Home: maximised -> full screen -> normal.
key HOME
expect_soon "Home goes on to full screen" "0 0" window_origin
key HOME
expect_soon "Home comes back to the normal window" "$normal_w" \
  eval "driver window-rect | tr -d '\r' | cut -d' ' -f3"
screenshot_window commands-normal

# --- The panel's own menu on a right-click: its third item is "中央寄せ".
read -r px py <<< "$(center 1014)"
xdotool mousemove --sync "$px" "$py" click 3
# "#32768": the class of a shown popup menu.
check "a right-click on the panel shows a menu" quietly driver --timeout 5000 find-window --class "#32768"
xdotool key Down Down Down Return
for _ in $(seq 1 50); do
  [ $(($(driver window-style --control 1014 | tr -d '\r') & 1)) -eq 1 ] && break
  sleep 0.1
done
expect_eq "it is the text menu: its third item centres the text" 1 $(($(driver window-style --control 1014 | tr -d '\r') & 1))
driver send WM_COMMAND 40010 0 > /dev/null

# --- Single-click mode: releasing over an entry plays it.
driver send WM_COMMAND 40012 0 > /dev/null
row_height=$(driver send 0x1A1 0 0 --control 1001 | tr -d '\r')  # LB_GETITEMHEIGHT
read -r lx ly lw lh <<< "$(driver control-rect 1001 --screen)"
row_y() { echo $((ly + 2 + row_height * $1 + row_height / 2)); }
xdotool mousemove --sync $((lx + lw / 2)) "$(row_y 2)" click 1
check "single-click mode plays the clicked entry" quietly driver --timeout 20000 caption --contains "Clip 3"
idle  # the start is over: its selection and panel are in place
driver send WM_COMMAND 40012 0 > /dev/null

# --- Shift-drag: rows 0 and 1 selected move down by one.
xdotool mousemove --sync $((lx + lw / 2)) "$(row_y 0)" click 1
xdotool keydown ctrl mousemove --sync $((lx + lw / 2)) "$(row_y 1)" click 1 keyup ctrl
selected_rows() { driver list-selected | tr -d '\r' | tr '\n' ' '; }
expect_soon "a click and a Ctrl-click select rows 0 and 1" "0 1 " selected_rows
xdotool keydown shift mousedown 1
xdotool mousemove --sync $((lx + lw / 2)) $(($(row_y 1) + row_height / 2)) mousemove --sync $((lx + lw / 2)) "$(row_y 2)"
xdotool mouseup 1 keyup shift
rows_in_a_line() { list_items | tr '\n' '|'; }
expect_soon "a Shift-drag moves the two selected rows down" "Clip 3|Long|Clip 2|" rows_in_a_line

# --- Sort while stopped: the next tick selects the current entry again.
driver send WM_COMMAND 1006 0 > /dev/null
driver send 0x185 0 -1 --control 1001 > /dev/null
driver send 0x185 1 0 --control 1001 > /dev/null
driver send WM_COMMAND 2900 0 > /dev/null
expect_soon "sorting while stopped reselects the current entry" "Long|Clip 2|Clip 3|" rows_in_a_line
expect_soon "which is Clip 3, now the third row" 2 eval "driver list-selected | tr -d '\r'"

# --- Font keys on the focused list: + and - change the row height, * is 9 points.
xdotool mousemove --sync $((lx + lw / 2)) "$(row_y 0)" click 1
sleep 0.3
h10=$(driver send 0x1A1 0 0 --control 1001 | tr -d '\r')
key 0x6B --control 1001  # keypad +
check "keypad + makes the rows taller" until_true 10 eval '[ "$(row_height_now)" -gt "$h10" ]'
key 0x6D --control 1001  # keypad -
expect_soon "keypad - brings them back" "$h10" row_height_now
key 0x6A --control 1001  # keypad *
check "keypad * sets 9 points: lower than 10" until_true 10 eval '[ "$(row_height_now)" -lt "$h10" ]'

# --- The top-most button: its icon follows. (Wine 10 without a window
# manager answers the top-most request but leaves WS_EX_TOPMOST unset.)
# Icons are loaded for the window's DPI on every change, so the button's
# pixels tell them apart, not their handles.
button_shot() {
  local cx cy x y w h
  read -r cx cy _ _ <<< "$(driver window-rect --client | tr -d '\r')"
  read -r x y w h <<< "$(driver control-rect 1012 | tr -d '\r')"
  sleep 0.3
  screenshot "$1" $((cx + x)) $((cy + y)) "$w" "$h" > /dev/null
}
differing_pixels() {
  compare -metric AE "$artifacts/$1.png" "$artifacts/$2.png" null: 2>&1 | cut -d' ' -f1
}
button_shot topmost-off
driver send WM_COMMAND 1012 0 > /dev/null
button_shot topmost-on
check_not "the top-most button changes its icon" test "$(differing_pixels topmost-off topmost-on)" = 0
driver send WM_COMMAND 1012 0 > /dev/null
button_shot topmost-off-again
expect_eq "a second click brings the first icon back" 0 "$(differing_pixels topmost-off topmost-off-again)"

# --- A hidden list comes back filling the window by the list button; Insert
# still hides it then.
read -r _ _ normal_list_w _ <<< "$(driver control-rect 1001)"
key INSERT
until_true 10 eval '[ "$(width_of 1001)" = 0 ]'
driver send WM_COMMAND 1013 0 > /dev/null
check "the list button makes a hidden list fill the window" \
  until_true 10 eval '[ "$(width_of 1001)" -gt "$normal_list_w" ]'
key INSERT
expect_soon "Insert hides a list that fills the window" 0 width_of 1001
key INSERT
expect_soon "Insert shows it again at its default width" "$normal_list_w" width_of 1001

# --- The filter and the jump share one expression: F3 after a filter looks
# for the filter's text; a cancelled filter dialog empties it.
driver post WM_COMMAND 4700 0 > /dev/null
check "the filter dialog opens" quietly driver --timeout 5000 find-window "絞り込み"
dialog=$(xdotool search --sync --name "絞り込み" | head -n 1)
xdotool windowfocus --sync "$dialog" 2> /dev/null || xdotool windowfocus "$dialog"
xdotool type --delay 50 "Clip"
quietly driver message-box --caption "Zav2絞り込み" --press ok
check "the filter keeps the two clips" quietly driver --timeout 5000 list-count 2
key 0x72  # F3
check "F3 jumps to the next entry matching the filter's text" \
  quietly driver --timeout 20000 caption --contains "Clip 2"
driver post WM_COMMAND 4700 0 > /dev/null
quietly driver --timeout 5000 message-box --caption "Zav2絞り込み" --press cancel
key 0x72
# Keys are handled in order: once the Insert after it has hidden the list,
# F3 has been handled.
key INSERT
until_true 10 eval '[ "$(width_of 1001)" = 0 ]'
expect_eq "after a cancelled filter F3 has nothing to look for" "Clip 2" "$(driver caption | tr -d '\r')"

check "the program closes" quietly driver close
wait_exit "$zav2_pid" 30
finish
