#!/usr/bin/env bash
# Window layout after a start with a folder: the list pane beside the text
# panel, both from the panes' top to the bottom margin, with the gap between
# them and the right margin kept; the top-most and list buttons at the right
# edge. A second start with the list on the right and wider mirrors it.
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
# panes out as the settings say.
rm -f "$app/Zav2.m3u8"
launch zav2_pid
check_panes 0 150
check "Escape closes the empty window" driver key ESCAPE --control 1001
wait_exit "$zav2_pid" 30

finish
