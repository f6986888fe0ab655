#!/usr/bin/env bash
# While an instance saves its play list its caption says so; a second start
# then shows the busy message (caption "Zav2"), forwards nothing and exits 0.
. "$(dirname "$0")/lib.sh"

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

finish
