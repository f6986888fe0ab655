#!/usr/bin/env bash
# Instance names and the control switches: "/Next", "/Play" and "/Stop" reach
# the running instance of their name as WM_COMMAND and never start one;
# differently named instances run side by side.
. "$(dirname "$0")/lib.sh"

for switch in /Next /Play /Stop; do
  started=$SECONDS
  run_zav2 60 "$switch"
  expect_eq "$switch with no instance exits 0" 0 "$exit_code"
  check "$switch with no instance ends at once" test $((SECONDS - started)) -lt 15
done
check "the switches left no instance" no_instance

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

# Two real instances side by side.
start_zav2 unnamed_pid
check "the unnamed program runs" driver --timeout 30000 wait-window
start_zav2 work_pid -work
check "the program named -work runs beside it" driver --name -work --timeout 30000 wait-window
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
