#!/usr/bin/env bash
# Started with no arguments: the main window with its caption, controls in
# their template places and icons on the buttons; the instance marker and the
# media hot keys while it runs. Escape pressed in the list box closes it in
# order: exit code 0, marker and hot keys gone, settings written.
. "$(dirname "$0")/lib.sh"

start_zav2 zav2_pid
check "the main window appears with the instance marker" driver --timeout 30000 wait-window
expect_eq "caption" "Zav2" "$(driver caption)"
expect_eq "exactly one marked window" 1 "$(driver marker-count)"
expect_eq "no marker under another name" 0 "$(driver --name -work marker-count)"

# Controls the layout never moves: their template rectangle (dialog units)
# converted with the dialog's font.
while read -r id x y w h; do
  expect_eq "control $id at its template place" "$(driver dlu-rect "$x" "$y" "$w" "$h")" \
    "$(driver control-rect "$id")"
done << 'EOF'
1005 7 7 14 14
1004 22 7 14 14
1006 37 7 14 14
1007 52 7 14 14
1008 67 7 14 14
1011 82 7 14 14
1010 100 10 55 9
EOF
# The seek bar keeps its left, top and height; the layout may stretch it.
read -r x y _ h <<< "$(driver dlu-rect 7 23 91 12)"
read -r ax ay _ ah <<< "$(driver control-rect 1009)"
expect_eq "seek bar left, top and height" "$x $y $h" "$ax $ay $ah"
for id in 1001 -1 1012 1013 1014 1017; do
  check "control $id exists" quietly driver control-rect "$id"
done
expect_eq "time read-out" "00:00 / 00:00" "$(driver control-text -1)"
expect_eq "the list starts empty" 0 "$(driver list-count)"
for id in 1005 1004 1006 1007 1008 1011 1012 1013; do
  # BM_GETIMAGE of IMAGE_ICON
  check "button $id shows an icon" test "$(driver send 0xF6 1 0 --control "$id" | tr -d '\r')" != 0
done
# What a screen reader reads (MSAA, as NVDA and Narrator ask): every icon
# button and both sliders are named, and no two buttons alike; the state
# buttons name their state and follow it.
names=""
for id in 1005 1004 1006 1007 1008 1011 1012 1013; do
  name=$(driver accessible-name "$id" | tr -d '\r')
  check "button $id has an accessible name [$name]" test -n "$name"
  names+="$name"$'\n'
done
expect_eq "no two buttons are called alike" 8 "$(printf '%s' "$names" | sort -u | grep -c .)"
expect_eq "the play-mode button names its mode" "再生モード: 順番" "$(driver accessible-name 1011 | tr -d '\r')"
expect_eq "the seek bar is named" "再生位置" "$(driver accessible-name 1009 | tr -d '\r')"
expect_eq "the volume slider is named" "音量" "$(driver accessible-name 1010 | tr -d '\r')"
quietly driver send WM_COMMAND 1012 0
expect_eq "the top-most button follows its state" "最前面表示: オン" \
  "$(driver accessible-name 1012 | tr -d '\r')"
quietly driver send WM_COMMAND 1012 0
# Resting the pointer on the play button shows its tooltip: what it does and
# its key.
read -r bx by bw bh <<< "$(driver control-rect 1004 --screen)"
xdotool mousemove $((bx + bw / 2)) $((by + bh / 2))
tip=$(driver --timeout 10000 find-window "再生 / 一時停止" --class tooltips_class32 | tr -d '\r')
expect_eq "the play button's tooltip" "再生 / 一時停止 (Space)" "$(head -n 1 <<< "$tip")"
# Xvfb shows the tooltip's X window black on the screen although the window
# holds its picture: the picture is read from the window itself and laid over
# the screen at its place.
read -r wx wy ww wh <<< "$(driver window-rect --client)"
read -r tx ty tw th <<< "$(sed -n 2p <<< "$tip")"
window=$(xwininfo -root -children -display "$DISPLAY" |
  awk -v place="${tw}x${th}+${tx}+${ty} " 'index($0, "\"zav2.exe\"") && index($0, place) {print $1; exit}')
if [ -n "$window" ] && xwd -id "$window" -silent -display "$DISPLAY" > "$work/tooltip.xwd"; then
  right=$((tx + tw > wx + ww ? tx + tw : wx + ww))
  bottom=$((ty + th > wy + wh ? ty + th : wy + wh))
  xwd -root -silent -display "$DISPLAY" |
    convert xwd:- "$work/tooltip.xwd" -geometry "+$tx+$ty" -composite \
      -crop "$((right - wx))x$((bottom - wy))+$wx+$wy" +repage "png:$artifacts/play-button-tooltip.png" &&
    echo "screenshot: $artifacts/play-button-tooltip.png"
fi
xdotool mousemove 0 0

# Wine keeps only the last of several hot keys registered under one window
# and id, so only the last of the six media keys can be seen held.
check "the volume-down media key is held" quietly driver hotkey-taken VOLUME_DOWN
screenshot_window startup-window

# Escape reaches the accelerator table before the list box: it closes.
check "Escape is posted to the list box" driver key ESCAPE --control 1001
wait_exit "$zav2_pid" 30
expect_eq "exit code after Escape" 0 "$exit_code"
check "the marker is gone" no_instance
check_not "the media key is released" quietly driver hotkey-taken VOLUME_DOWN
check "the settings file is written beside the program" test -s "$app/Zav2.ini"
check_not "an empty list writes no resume list" test -e "$app/Zav2.m3u8"

finish
