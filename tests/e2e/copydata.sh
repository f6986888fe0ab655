#!/usr/bin/env bash
# WM_COPYDATA may come from any process: the program takes at most cbData
# bytes, needs no terminator, ignores what follows one, and keeps running
# when the text is too long, empty or names nothing.
. "$(dirname "$0")/lib.sh"

music_arg=$(winpath "$(demo_library)/music")

launch zav2_pid

# forward <copydata arguments...>: the two messages of a second start.
forward() {
  driver copydata "$@" > /dev/null && driver send WM_APP+2 0 0 > /dev/null
}

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
close_zav2 "$zav2_pid"

finish
