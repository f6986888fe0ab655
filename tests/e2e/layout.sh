#!/usr/bin/env bash
# Window layout after a start with a folder: the list pane beside the text
# panel, both from the panes' top to the bottom margin, with the gap between
# them and the right margin kept; the top-most and list buttons at the right
# edge. A second start with the list on the right and wider mirrors it.
# A third start with no arguments and nothing to resume lays the panes out as
# the settings say, shows its caption, controls in their template places and
# icons on the buttons, and holds the instance marker and the media hot keys
# while it runs; Escape pressed in the list box closes it in order: exit code
# 0, marker and hot keys gone, settings written, no resume list.
. "$(dirname "$0")/lib.sh"

library=$(demo_library)
media="$work/media"
mkdir -p "$media"
cp "$library/music/"* "$media/"

# check_panes <list on the left: 1/0> <list width>
check_panes() {
  local left=$1 width=$2 lx ly lw lh px py pw ph cx cy cw ch m
  read -r lx ly lw lh <<< "$(driver control-rect 1001 | tr -d '\r')"
  read -r px py pw ph <<< "$(driver control-rect 1014 | tr -d '\r')"
  read -r cx cy cw ch <<< "$(driver window-rect --client | tr -d '\r')"
  expect_eq "list width" "$width" "$lw"
  expect_eq "panes share top and height" "$ly $lh" "$py $ph"
  if [ "$left" = 1 ]; then
    m=$lx
    expect_eq "text panel right of the list after the gap" $((lx + lw + 4)) "$px"
    expect_eq "text panel ends at the right margin" $((cw - m)) $((px + pw))
  else
    m=$px
    expect_eq "list right of the text panel after the gap" $((px + pw + 4)) "$lx"
    expect_eq "list ends at the right margin" $((cw - m)) $((lx + lw))
  fi
  expect_eq "panes end at the bottom margin" $((ch - m)) $((ly + lh))
  local bx by bw bh
  read -r bx by bw bh <<< "$(driver control-rect 1013 | tr -d '\r')"
  expect_eq "list button at the right margin" $((cw - m)) $((bx + bw))
  read -r bx by bw bh <<< "$(driver control-rect 1012 | tr -d '\r')"
  expect_eq "top-most button at the top right" "$((cw - m)) $m" "$((bx + bw)) $by"
}

launch zav2_pid "$(winpath "$media")"
check "the list fills" quietly driver --timeout 30000 list-count 6
sleep 1  # the first timer tick lays the window out once more
check_panes 1 120
screenshot_window layout-left

# The boundary: the pointer resting on the text panel's left edge, then a
# double-click there hides the list; another brings it back at its width.
hover=673 dblclk=515  # WM_MOUSEHOVER, WM_LBUTTONDBLCLK
read -r px py _ _ <<< "$(driver control-rect 1014 | tr -d '\r')"
at=$(((py + 20) * 65536 + px))
quietly driver send $hover 0 $at
quietly driver send $dblclk 0 $at
read -r _ _ lw _ <<< "$(driver control-rect 1001 | tr -d '\r')"
expect_eq "a double-click on the boundary hides the list" 0 "$lw"
read -r px py _ _ <<< "$(driver control-rect 1014 | tr -d '\r')"
at=$(((py + 20) * 65536 + px))
quietly driver send $hover 0 $at
quietly driver send $dblclk 0 $at
read -r _ _ lw _ <<< "$(driver control-rect 1001 | tr -d '\r')"
expect_eq "another brings it back at its width" 120 "$lw"

# Double-clicks away from the boundary: maximised, full screen, normal.
normal=$(driver window-rect | tr -d '\r')
away=$((3 * 65536 + 3))
quietly driver send 512 0 $away  # WM_MOUSEMOVE: the pointer leaves the boundary
quietly driver send $dblclk 0 $away
check_not "maximised: the window is larger" test "$(driver window-rect | tr -d '\r')" = "$normal"
quietly driver send $dblclk 0 $away
read -r sw sh <<< "$(xdpyinfo -display "$DISPLAY" | awk '/dimensions:/ {print $2}' | tr x ' ')"
expect_eq "full screen: the window covers the screen" "0 0 $sw $sh" \
  "$(driver window-rect | tr -d '\r')"
expect_eq "full screen: the text panel covers the window" "0 0 $sw $sh" \
  "$(driver control-rect 1014 | tr -d '\r')"
check_not "full screen: the list is hidden" visible 1001
check_not "full screen: the seek bar is hidden" visible 1009
quietly driver send $dblclk 0 $away
expect_eq "normal again: the window's old place" "$normal" "$(driver window-rect | tr -d '\r')"
check "normal again: the list shows" visible 1001
check_panes 1 120
check "Escape closes it" driver key ESCAPE --control 1001
wait_exit "$zav2_pid" 30
expect_eq "exit code" 0 "$exit_code"

rm -f "$app/Zav2.m3u8"
printf '[SystemSetting]\r\nListWidth=150\r\nDefaultListWidth=150\r\nLeftList=OFF\r\n' > "$app/Zav2.ini"
launch zav2_pid "$(winpath "$media")"
check "the list fills again" quietly driver --timeout 30000 list-count 6
sleep 1
check_panes 0 150
screenshot_window layout-right
check "Escape closes it again" driver key ESCAPE --control 1001
wait_exit "$zav2_pid" 30

# A start with nothing to open (no path, no resume list) still lays the
# panes out as the settings say; the keys the program adds show it wrote them.
rm -f "$app/Zav2.m3u8"
printf '[SystemSetting]\r\nListWidth=150\r\nDefaultListWidth=150\r\nLeftList=OFF\r\n' > "$app/Zav2.ini"
launch zav2_pid
check_panes 0 150
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
check "the settings file is written beside the program" grep -q "^Volume=" "$app/Zav2.ini"
check_not "an empty list writes no resume list" test -e "$app/Zav2.m3u8"


finish
