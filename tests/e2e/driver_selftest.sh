#!/usr/bin/env bash
# The driver against its own stand-in windows: finding a window by its
# marker, captions, sent and posted messages as the receiver sees them,
# time-outs and usage errors.
. "$(dirname "$0")/lib.sh"

check_not "no instance: wait-window times out" quietly driver --timeout 300 wait-window
driver --timeout 1 caption > /dev/null 2>&1
expect_eq "no instance: caption fails" 1 $?
driver frobnicate > /dev/null 2>&1
expect_eq "unknown subcommand is a usage error" 2 $?
driver control-rect > /dev/null 2>&1
expect_eq "missing argument is a usage error" 2 $?

driver fake-instance --title "テスト窓" > "$work/fake.log" 2>&1 &
fake_pid=$!
driver --name busy fake-instance --title "プレイリスト保存中... (1/2)" > /dev/null 2>&1 &
busy_pid=$!
# As long as a start of the program is given: the first Wine process of a
# fresh prefix, beside busy cores, has taken over 10 s.
check "the stand-in appears" driver --timeout "$start_limit_ms" wait-window
expect_eq "its caption, in UTF-8" "テスト窓" "$(driver caption)"
expect_eq "one marked window" 1 "$(driver marker-count)"
expect_eq "markers are told apart by name" 0 "$(driver --name -work marker-count)"
expect_eq "find-window finds part of a title" "プレイリスト保存中... (1/2)" \
  "$(driver find-window "プレイリスト保存中..." | head -n 1)"

expect_eq "a sent command answers" 0 "$(driver send WM_COMMAND 1008 0)"
check "a posted command" driver post WM_COMMAND 1006 0
expect_eq "send WM_APP+2" 0 "$(driver send WM_APP+2 0 0)"
expect_eq "copydata without a terminator" 1 "$(driver copydata abc --no-terminator)"
expect_eq "copydata padded to a size" 1 "$(driver copydata 朝 --size 6)"
check "close waits until the window is gone" driver close
wait_exit "$fake_pid" 10
expect_eq "the stand-in exits 0" 0 "$exit_code"
check "no marked window after close" no_instance

expected_log="WM_COMMAND sent=1 id=1008 code=0 lParam=0
WM_COMMAND sent=0 id=1006 code=0 lParam=0
WM_APP+2 sent=1 wParam=0 lParam=0
WM_COPYDATA sent=1 dwData=0 cbData=3 terminated=0 text=abc
WM_COPYDATA sent=1 dwData=0 cbData=6 terminated=1 text=朝"
expect_eq "the stand-in logged each message and how it came" "$expected_log" "$(cat "$work/fake.log")"

check "a second marked window closes by its name" driver --name busy close
wait_exit "$busy_pid" 10
finish
