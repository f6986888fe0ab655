#!/usr/bin/env bash
# Second starts and instance names. The control switches "/Next", "/Play" and
# "/Stop" reach the running instance of their name as WM_COMMAND and never
# start one. A second start while an instance runs hands its command line
# over and exits 0 without a window: first seen from stand-ins that log what
# arrives (WM_COPYDATA with the ANSI bytes, then WM_APP+2, both sent), then
# with the real program, whose list a second start without arguments empties.
# While an instance saves its play list its caption says so; a second start
# then shows the busy message (caption "Zav2"), forwards nothing and exits 0.
# WM_COPYDATA may come from any process: the program takes at most cbData
# bytes, needs no terminator, ignores what follows one, and keeps running
# when the text is too long, empty or names nothing. Differently named
# instances run side by side.
. "$(dirname "$0")/lib.sh"

# --- Busy: a stand-in saving its list -----------------------------------------
driver fake-instance --title "プレイリスト保存中... (2/5)" > "$work/fake.log" 2>&1 &
fake_pid=$!
check "the saving stand-in runs" driver wait-window
start_zav2 second_pid "$(winpath "$work")"
expect_eq "the busy message" "現在処理中です。
しばらく待ってから再実行してください。" "$(driver --timeout 30000 message-box)"
screenshot busy-message
check "OK closes the message" quietly driver message-box --press ok
wait_exit "$second_pid" 30
expect_eq "the second start exits 0" 0 "$exit_code"
driver close
wait_exit "$fake_pid" 10
expect_eq "nothing was forwarded" "" "$(cat "$work/fake.log")"

# --- Switches with no instance ---------------------------------------------------
# After the busy start: the program's first start in a fresh prefix loads
# slowly on a busy machine, and these are timed.
for switch in /Next /Play /Stop; do
  started=$SECONDS
  run_zav2 60 "$switch"
  expect_eq "$switch with no instance exits 0" 0 "$exit_code"
  check "$switch with no instance ends at once" test $((SECONDS - started)) -lt 15
done
check "the switches left no instance" no_instance

# --- Forwarding to a stand-in ----------------------------------------------------
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

# --- Stand-ins by name ----------------------------------------------------------
driver fake-instance > "$work/unnamed.log" 2>&1 &
unnamed_pid=$!
driver --name -work fake-instance > "$work/work.log" 2>&1 &
work_pid=$!
check "a stand-in without a name runs" driver wait-window
check "a stand-in named -work runs" driver --name -work wait-window
run_zav2 60 -work /Stop
expect_eq "-work /Stop exits 0" 0 "$exit_code"
run_zav2 60 /Next
expect_eq "/Next exits 0" 0 "$exit_code"
run_zav2 60 /Play /Stop
expect_eq "/Play /Stop exits 0" 0 "$exit_code"
driver close
driver --name -work close
wait_exit "$unnamed_pid" 10
wait_exit "$work_pid" 10
expect_eq "-work received only its stop" "WM_COMMAND sent=1 id=1006 code=0 lParam=0" \
  "$(cat "$work/work.log")"
# "/Play" is looked for before "/Stop".
expect_eq "the unnamed instance received next, then play" \
  "WM_COMMAND sent=1 id=1008 code=0 lParam=0
WM_COMMAND sent=1 id=1004 code=0 lParam=0" "$(cat "$work/unnamed.log")"

# --- The real program --------------------------------------------------------------
# The real program receives a path: its list becomes the file's folder (six
# media files; the picture and the text beside them are not media).
launch unnamed_pid
run_zav2 60 "$song_arg"
expect_eq "forwarding a path to the program exits 0" 0 "$exit_code"
expect_eq "still one instance" 1 "$(driver marker-count)"
check "the list holds the song's folder" quietly driver --timeout 20000 list-count 6
screenshot_window forwarded-path
run_zav2 60
expect_eq "forwarding no arguments exits 0" 0 "$exit_code"
check "the list is emptied" quietly driver list-count 0
check "the caption is Zav2 again" quietly driver caption Zav2

# forward <copydata arguments...>: the two messages of a second start.
forward() {
  driver copydata "$@" > /dev/null && driver send WM_APP+2 0 0 > /dev/null
}

music_arg=$(winpath "$library/music")
check "a path without a terminator is taken whole" forward "$music_arg" --no-terminator
check "...and opened" quietly driver --timeout 20000 list-count 6
check "no bytes at all" forward "" --size 0
check "...empty the list" quietly driver --timeout 20000 list-count 0
check "a path followed by a terminator and 4000 more bytes" forward "$music_arg" --size 4000
check "...opens the path" quietly driver --timeout 20000 list-count 6
long=$(printf 'A%.0s' $(seq 1 400))
check "400 bytes without a terminator" forward "$long" --no-terminator
check "...name no file: the list is emptied" quietly driver --timeout 20000 list-count 0
check "the program still answers" quietly driver send WM_COMMAND 0 0
expect_eq "caption" "Zav2" "$(driver caption)"

# A second real instance, named, beside it.
start_zav2 work_pid -work
check "the program named -work runs beside it" driver --name -work --timeout "$start_limit_ms" wait-window
expect_eq "one window of each name" "1 1" "$(driver marker-count) $(driver --name -work marker-count)"
check "two different windows" test "$(driver window-rect)" != "" -a \
  "$(driver --name -work caption)" = "Zav2"
run_zav2 60 -work /Stop
expect_eq "-work /Stop to the real program exits 0" 0 "$exit_code"
run_zav2 60 -work
expect_eq "-work alone is forwarded to -work and exits 0" 0 "$exit_code"
expect_eq "still one window of each name" "1 1" \
  "$(driver marker-count) $(driver --name -work marker-count)"
screenshot side-by-side
check "-work closes" driver --name -work close
wait_exit "$work_pid" 30
expect_eq "-work exit code" 0 "$exit_code"
expect_eq "the unnamed program keeps running" 1 "$(driver marker-count)"
check "the unnamed program closes" driver close
wait_exit "$unnamed_pid" 30
expect_eq "unnamed exit code" 0 "$exit_code"

finish
