#!/usr/bin/env bash
# The taskbar button: the program starts, plays and exits cleanly with
# whatever taskbar and jump-list objects this Wine offers; a thumbnail
# button's click (its id with THBN_CLICKED above it) acts as the button; the
# jump list's "/Next" task advances the running instance; opened paths are
# kept as recent items in the settings file.
. "$(dirname "$0")/lib.sh"

# Without the FLAC: this Wine's decoder refuses it, and the program's message
# about it would hold the forwarded /Next until it is answered.
music="$work/music"
mkdir -p "$music"
cp "$(demo_library)/music/"* "$music/"
rm "$music/03 night.flac"
ini="$app/Zav2.ini"
recent_of() {  # recent_of <key>: the value in section JumpRecent
  tr -d '\r' < "$ini" | sed -n '/^\[JumpRecent\]/,/^\[/p' | sed -n "s/^$1=//p"
}

start_zav2 zav2_pid "$(winpath "$music")"
check "the program runs" driver --timeout "$start_limit_ms" wait-window
check "the first entry plays" quietly driver --timeout 20000 caption --contains "朝の歌"
idle  # the start is over: its selection and panel are in place

# As when the shell shows the taskbar button: buttons added, list rebuilt
# with what this Wine offers, failures passed over.
check "the taskbar button's creation is taken" driver send TaskbarButtonCreated 0 0
check "the program runs on" quietly driver caption

thbn_clicked=$((0x1800 << 16))
driver send WM_COMMAND $((thbn_clicked | 1008)) 0 > /dev/null
check "the next button's click plays the second entry" \
  quietly driver --timeout 20000 caption --contains "夕べの調べ"

run_zav2 60 /Next
expect_eq "the /Next task's start exits 0" 0 "$exit_code"
check "/Next advanced the running instance" \
  quietly driver --timeout 20000 caption --contains "雨の音"
expect_eq "no second instance appeared" 1 "$(driver marker-count)"

check "the program closes" driver close
wait_exit "$zav2_pid" 30
expect_eq "exit code" 0 "$exit_code"
expect_eq "the opened folder is the one recent item" "1 $(winpath "$music")" \
  "$(recent_of Count) $(recent_of 0)"

finish
