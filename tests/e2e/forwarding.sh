#!/usr/bin/env bash
# A second start while an instance runs hands its command line over and exits
# 0 without a window: first seen from a stand-in that logs what arrives
# (WM_COPYDATA with the ANSI bytes, then WM_APP+2, both sent), then with the
# real program, whose list a second start without arguments empties.
. "$(dirname "$0")/lib.sh"

library=$(demo_library)
song="$library/music/01 朝の歌.mp3"
clip="$library/video/clip.mp4"
song_arg=$(winpath "$song")
clip_arg=$(winpath "$clip")

# The bytes a second start forwards: its arguments in code page 932, as the
# command line holds them (a path with a space arrives quoted).
cp932_length() {
  printf '%s' "$1" | iconv -f UTF-8 -t CP932 | wc -c
}
copydata_line() {
  echo "WM_COPYDATA sent=1 dwData=0 cbData=$(($(cp932_length "$1") + 1)) terminated=1 text=$1"
}
app2_line="WM_APP+2 sent=1 wParam=0 lParam=0"

driver fake-instance > "$work/fake.log" 2>&1 &
fake_pid=$!
check "the stand-in instance runs" driver wait-window
run_zav2 60 "$song_arg"
expect_eq "a second start with a quoted path exits 0" 0 "$exit_code"
run_zav2 60 "$clip_arg"
expect_eq "a second start with a plain path exits 0" 0 "$exit_code"
run_zav2 60
expect_eq "a second start without arguments exits 0" 0 "$exit_code"
expect_eq "no second instance appeared" 1 "$(driver marker-count)"

# Over 259 bytes would not fit the receiver's buffer: refused with a message,
# nothing forwarded.
long_arg="Z:\\$(printf 'x%.0s' $(seq 1 300)).mp3"
start_zav2 long_pid "$long_arg"
check "a command line over 259 bytes is refused with a message" \
  quietly driver --timeout 30000 message-box --press ok
wait_exit "$long_pid" 30
check "the refused start ends" test "$exit_code" != running

driver close
wait_exit "$fake_pid" 10
expected_log="$(copydata_line "\"$song_arg\"")
$app2_line
$(copydata_line "$clip_arg")
$app2_line
WM_COPYDATA sent=1 dwData=0 cbData=1 terminated=1 text=
$app2_line"
expect_eq "the stand-in received each command line, then WM_APP+2" "$expected_log" \
  "$(cat "$work/fake.log")"

# The real program receives a path: its list becomes the file's folder (six
# media files; the picture and the text beside them are not media).
launch zav2_pid
run_zav2 60 "$song_arg"
expect_eq "forwarding a path to the program exits 0" 0 "$exit_code"
expect_eq "still one instance" 1 "$(driver marker-count)"
check "the list holds the song's folder" quietly driver --timeout 20000 list-count 6
screenshot_window forwarded-path
run_zav2 60
expect_eq "forwarding no arguments exits 0" 0 "$exit_code"
check "the list is emptied" quietly driver list-count 0
check "the caption is Zav2 again" quietly driver caption Zav2
close_zav2 "$zav2_pid"

finish
