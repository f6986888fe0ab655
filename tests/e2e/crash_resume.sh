#!/usr/bin/env bash
# A killed program keeps its list: a folder opened, the next entry played and
# two rows removed are in the resume list a few seconds later, with the
# playing entry in the settings file. After a kill (no orderly exit) the next
# start without arguments restores that list, selects that entry and does
# not play. Keys given to the list box reach the accelerator table first:
# Down posted to it plays the next entry (command 1008) instead of moving the
# list box's selection; Escape typed for real (X events through Wine) into
# the focused list box closes the program, exit code 0.
. "$(dirname "$0")/lib.sh"

media="$work/media"
mkdir -p "$media"
cp "$(demo_library)/music/"* "$media/"

# SINGLE: the entry played stays the playing one (the clips are short).
printf '%s\r\n' "[SystemSetting]" "Mode=SINGLE" > "$app/Zav2.ini"
launch zav2_pid "$(winpath "$media")"
check "the list holds the folder's six media files" quietly driver --timeout 30000 list-count 6
check "the first entry plays" quietly driver --timeout 20000 caption --contains "朝の歌"
idle  # the start is over: its selection and panel are in place
# Every file here has a tag title: a row still showing its file name is
# waiting for its title.
titles_read() { ! driver list-items | grep -q -E '\.(mp3|flac|ogg|m4a)'; }
check "the rows show their titles" until_true 20 titles_read
check "Down is posted to the list box" driver key DOWN --control 1001
before=$(driver list-items | tr -d '\r')
playing=$(printf '%s\n' "$before" | sed -n 2p)
check "Down reached the next command: the second entry plays" \
  quietly driver --timeout 20000 caption --contains "$playing"
idle  # its start is over
# Its time moves once it has loaded: the window takes messages again (a
# read-out not answered while it waits for the engine is no time at all).
moved() { [[ "$(driver control-text 65535)" =~ ^([0-9]+):([0-9]+)\  ]] && [ "${BASH_REMATCH[0]}" != "00:00 " ]; }
check "the second entry's time moves" until_true 20 moved
# Paused, so that the entry is still the current one however long the steps
# below take: the clips last 8 s, and under load the steps took 20 s.
quietly driver send WM_COMMAND 1004 0
# The start may still move the selection to the playing row.
check "rows 3 and 5 are selected" until_true 10 set_selection 2 4
check "Delete is posted to the list box" driver key DELETE --control 1001
check "two rows are removed" quietly driver --timeout 20000 list-count 4
expected=$(printf '%s\n' "$before" | sed '3d;5d')
expect_eq "the other rows stay in order" "$expected" "$(driver list-items | tr -d '\r')"

# Written a couple of seconds after the list last changed: the list, and the
# playing entry's key beside it.
saved() {
  [ "$(grep -c '^Z:' "$app/Zav2.m3u8" 2> /dev/null)" = 4 ] &&
    grep -a "^nowPlaying=" "$app/Zav2.ini" 2> /dev/null | grep -q .
}
check "the list and the playing entry are saved while it runs" until_true 20 saved
kill -9 "$zav2_pid"
wait_exit "$zav2_pid" 10
check "the program is killed" test "$exit_code" != running
check "its window is gone" no_instance
check "the resume list was written while it ran" test -s "$app/Zav2.m3u8"
check "the settings name the playing entry" grep -q "^nowPlaying=.*02 Evening Tone" "$app/Zav2.ini"

launch zav2_pid
check "the list is restored" quietly driver --timeout 30000 list-count 4
expect_soon "without the removed rows" "$expected" list_items
expect_eq "the playing entry is selected" 1 "$(driver list-selected | tr -d '\r')"
# The read-out shows where the entry was left, and stays there.
shown=$(driver control-text 65535 | tr -d '\r')
sleep 2
expect_eq "nothing plays after the resume" "$shown" "$(driver control-text 65535 | tr -d '\r')"

read -r lx ly lw lh <<< "$(driver control-rect 1001 --screen)"
# No window manager: focus the program's X window, then click into the list.
x_window=$(xdotool search --onlyvisible --classname 'zav2.exe' | head -n 1)
check "the X window is found" test -n "$x_window"
xdotool windowfocus --sync "$x_window" 2> /dev/null || xdotool windowfocus "$x_window"
xdotool mousemove --sync $((lx + lw / 2)) $((ly + lh / 2)) click 1
sleep 1
xdotool key Escape
wait_exit "$zav2_pid" 30
expect_eq "a typed Escape closes the program with exit code 0" 0 "$exit_code"
check "the marker is gone" no_instance

finish
