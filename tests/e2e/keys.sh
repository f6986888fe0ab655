#!/usr/bin/env bash
# Keys typed for real (X events through Wine) into the focused list box reach
# the accelerator table first: Escape closes the program, exit code 0.
. "$(dirname "$0")/lib.sh"

start_zav2 zav2_pid
check "the program runs" driver --timeout 30000 wait-window
read -r lx ly lw lh <<< "$(driver control-rect 1001 --screen)"
# No window manager: focus the program's X window, then click into the list.
x_window=$(xdotool search --name '^Zav2$' | head -n 1)
check "the X window is found" test -n "$x_window"
xdotool windowfocus --sync "$x_window" 2> /dev/null || xdotool windowfocus "$x_window"
cx=$((lx + lw / 2))
cy=$((ly + lh / 2))
xdotool mousemove --sync "$cx" "$cy" click 1
sleep 1
xdotool key Escape
wait_exit "$zav2_pid" 30
expect_eq "a typed Escape closes the program with exit code 0" 0 "$exit_code"
check_not "the marker is gone" quietly driver has-marker

finish
