#!/usr/bin/env bash
# Keys given to the list box reach the accelerator table first: Down posted
# to it plays the next entry (command 1008) instead of moving the list box's
# selection; Escape typed for real (X events through Wine) into the focused
# list box closes the program, exit code 0.
. "$(dirname "$0")/lib.sh"

music=$(demo_library)/music
launch zav2_pid "$(winpath "$music")"
check "the list holds the folder's six media files" quietly driver --timeout 20000 list-count 6
check "the first entry plays" quietly driver --timeout 20000 caption --contains "朝の歌"
idle  # the start is over: its selection and panel are in place
check "Down is posted to the list box" driver key DOWN --control 1001
check "Down reached the next command: the second entry plays" \
  quietly driver --timeout 20000 caption --contains "夕べの調べ"
read -r lx ly lw lh <<< "$(driver control-rect 1001 --screen)"
# No window manager: focus the program's X window, then click into the list.
x_window=$(xdotool search --onlyvisible --classname 'zav2.exe' | head -n 1)
check "the X window is found" test -n "$x_window"
xdotool windowfocus --sync "$x_window" 2> /dev/null || xdotool windowfocus "$x_window"
cx=$((lx + lw / 2))
cy=$((ly + lh / 2))
xdotool mousemove --sync "$cx" "$cy" click 1
sleep 1
xdotool key Escape
wait_exit "$zav2_pid" 30
expect_eq "a typed Escape closes the program with exit code 0" 0 "$exit_code"
check "the marker is gone" no_instance

finish
