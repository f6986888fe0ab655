#!/usr/bin/env bash
# File operations on real files: copy (with the overwrite question and into
# the file's own folder), move (the playing entry too), delete to the recycle
# bin, the trash folder with numbered names, the clipboard, rename of the
# playing file, and the failures: a file removed behind the program's back, a
# read-only folder, a drive root without room for the trash folder, a
# clipboard held by another program. Every file the scenario starts with is
# still somewhere at the end, by content.
driver_serve=later
. "$(dirname "$0")/lib.sh"

# D: is a scratch folder, so the trash folder lands there and not in /.
drive="$work/drive"
music="$drive/music"
mkdir -p "$music" "$drive/target" "$drive/readonly" "$drive/Zav2_DUST" "$work/aside"
ln -s "$drive" "$WINEPREFIX/dosdevices/d:"
# Wine's recycle bin is the desktop's trash: keep it in the scratch folder.
export XDG_DATA_HOME="$work/xdg"
mkdir -p "$XDG_DATA_HOME"

# Read-only folders need a read-only mount (root writes anywhere else).
mounts=()
read_only_mount() {
  mount -t tmpfs -o size=4m tmpfs "$1" 2> /dev/null || return 1
  mounts+=("$1")
}
trap 'driver_serve_stop; for m in "${mounts[@]}"; do umount "$m"; done
[ -n "${ZAV2_E2E_KEEP:-}" ] || rm -rf "$work"' EXIT
edrive="$work/edrive"
mkdir -p "$edrive"
have_mounts=no
if read_only_mount "$drive/readonly" && mount -o remount,ro "$drive/readonly" &&
  read_only_mount "$edrive"; then
  have_mounts=yes
fi

n=0
# Long enough that no entry ends while the scenario works on a busy machine
# (the rename checks that playback goes on where it was).
for name in "01 alpha" "02 beta" "03 gamma" "04 曲☃" "05 delta" "06 epsilon" "07 zeta" "08 eta" "09 theta"; do
  n=$((n + 1))
  ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=$((200 + 50 * n)):sample_rate=22050:duration=180" \
    -ac 1 -c:a libmp3lame -b:a 32k "$music/$name.mp3" || fail "ffmpeg made $name"
done
echo "decoy" > "$drive/Zav2_DUST/02 beta.mp3"
if [ "$have_mounts" = yes ]; then
  mkdir -p "$edrive/w"
  cp "$music/09 theta.mp3" "$edrive/w/x.mp3"
  mount -o remount,ro "$edrive"
  ln -s "$edrive" "$WINEPREFIX/dosdevices/e:"
fi
driver_serve_start
# The content of every file there is at the start.
find "$drive" "$edrive" -type f -exec sha256sum {} + | cut -d' ' -f1 | sort > "$work/start.sha"

row_count() { driver list-count | tr -d '\r'; }
# select <row...>: exactly these rows.
select_rows() {
  until_true 10 set_selection "$@" || echo "select_rows $*: the selection does not hold" >&2
}
# box <button>: answers the next message box, prints its text.
box() { driver --timeout 15000 message-box --press "$1" | tr -d '\r'; }
no_box() { ! quietly driver --timeout 2000 message-box; }
# to_folder <command> <folder>: runs the copy or move command and answers the
# browser with the folder, printing its title line. Wine's browser now and
# then keeps its first selection against every request: the driver then
# cancels it, and the command (which a cancel leaves without effect) is
# given again.
to_folder() {
  local attempt title
  for attempt in 1 2 3; do
    quietly driver post WM_COMMAND "$1" 0
    # Long enough for a browser that comes late: a retry while the first is
    # still on its way gives the command twice.
    if title=$(driver --timeout 20000 browse-folder "$2" 2> /dev/null); then
      printf '%s\n' "${title//$'\r'/}"
      return 0
    fi
    echo "the browser kept its start folder (attempt $attempt)" >&2
  done
  return 1
}
seconds_shown() {
  driver control-text -1 | tr -d '\r' | sed -n 's/^\([0-9]*\):\([0-9]*\) .*/\1 \2/p' |
    awk '{ print $1 * 60 + $2 }'
}
moving() {
  local before
  before=$(seconds_shown)
  until_true 10 eval '[ "$(seconds_shown)" -gt "$before" ]'
}

start_zav2 zav2_pid 'D:\music'
check "the program runs" driver --timeout "$start_limit_ms" wait-window
check "the list holds the nine files" quietly driver --timeout 30000 list-count 9
check "the first file plays" quietly driver --timeout 20000 caption "01 alpha" --contains
idle  # the start selects its row once the engine is ready: not in the copy below
check "its read-out moves" moving

# --- Copy ------------------------------------------------------------------
select_rows 1 3
expect_eq "the copy browser asks for the folder" "コピーするフォルダを選択してください。" "$(to_folder 1100 'D:\target')"
eventually "beta is copied" cmp -s "$music/02 beta.mp3" "$drive/target/02 beta.mp3"
eventually "a name the ANSI page cannot spell is copied" cmp -s "$music/04 曲☃.mp3" "$drive/target/04 曲☃.mp3"
expect_eq "copying leaves the list alone" 9 "$(row_count)"

echo "other" > "$drive/target/02 beta.mp3"
select_rows 1 3 4
to_folder 1100 'D:\target' > /dev/null
expect_eq "a clash asks" "02 beta.mp3
指定されたフォルダには同じ名前のファイルが存在します。
置き換えますか？" "$(box no)"
box cancel > /dev/null
idle
check "No keeps the target's file" grep -q other "$drive/target/02 beta.mp3"
check_not "Cancel ends the copy: delta is not copied" test -e "$drive/target/05 delta.mp3"
select_rows 1
to_folder 1100 'D:\target' > /dev/null
box yes > /dev/null
eventually "Yes replaces" cmp -s "$music/02 beta.mp3" "$drive/target/02 beta.mp3"

select_rows 4
to_folder 1100 'D:\music' > /dev/null
check "copying into the file's own folder says nothing" no_box
expect_eq "and adds no file" 9 "$(ls "$music" | wc -l)"

if [ "$have_mounts" = yes ]; then
  select_rows 4
  to_folder 1100 'D:\readonly' > /dev/null
  expect_eq "a read-only folder refuses the copy" "05 delta.mp3 のコピーに失敗しました。" "$(box ok)"
fi

# --- Move ------------------------------------------------------------------
select_rows 5
expect_eq "the move browser asks for the folder" "移動するフォルダを選択してください。" "$(to_folder 1200 'D:\target')"
check "epsilon leaves the list" quietly driver --timeout 30000 list-count 8
check "and is in the target" test -e "$drive/target/06 epsilon.mp3"
check_not "and not in its folder" test -e "$music/06 epsilon.mp3"

select_rows 0
to_folder 1200 'D:\target' > /dev/null
check "the playing entry moves" quietly driver --timeout 30000 list-count 7
check "its file is in the target" test -e "$drive/target/01 alpha.mp3"
check "playback goes on with the next entry" quietly driver --timeout 20000 caption "02 beta" --contains
idle  # the start is over: its selection and panel are in place
check "and the read-out moves" moving

if [ "$have_mounts" = yes ]; then
  select_rows 3
  to_folder 1200 'D:\readonly' > /dev/null
  expect_eq "a read-only folder refuses the move" "05 delta.mp3 の移動に失敗しました。" "$(box ok)"
  expect_eq "and the row stays" 7 "$(row_count)"
  check "and the file" test -e "$music/05 delta.mp3"
fi

# --- Delete ----------------------------------------------------------------
mv "$music/07 zeta.mp3" "$work/aside/"
select_rows 4
quietly driver post WM_COMMAND 1400 0
expect_eq "delete asks first" "選択されたファイルを削除します。" "$(box ok)"
expect_eq "a file removed behind the program's back is reported" "07 zeta.mp3 は削除されています。" "$(box ok)"
expect_eq "and its row stays" 7 "$(row_count)"

select_rows 6
quietly driver post WM_COMMAND 1400 0
box ok > /dev/null
check "the deleted entry leaves the list" quietly driver --timeout 30000 list-count 6
check_not "the file leaves its folder" test -e "$music/09 theta.mp3"
check "Wine's recycle bin holds it" quietly find "$XDG_DATA_HOME" -name "09 theta.mp3*"

# --- Trash (Backspace) -----------------------------------------------------
select_rows 5
quietly driver key BACK --control 1001
check "Backspace removes the row" quietly driver --timeout 30000 list-count 5
check "the file is in D:\\Zav2_DUST" test -e "$drive/Zav2_DUST/08 eta.mp3"

select_rows 0
quietly driver key BACK --control 1001
check "the playing entry goes to the trash" quietly driver --timeout 30000 list-count 4
check "with _01 beside the name it clashed with" cmp -s "$drive/Zav2_DUST/02 beta_01.mp3" "$drive/target/02 beta.mp3"
check "playback goes on with the next entry" quietly driver --timeout 20000 caption "03 gamma" --contains
idle  # the start is over: its selection and panel are in place

# --- Clipboard -------------------------------------------------------------
select_rows 0 1
# Sent, not posted: the window takes a sent message (idle's) before the
# posted ones, so a posted copy still held by a start could come after the
# look at the clipboard.
quietly driver send WM_COMMAND 40023 0
expect_eq "Ctrl+C puts the paths and the copy effect on the clipboard" 'D:\music\03 gamma.mp3
D:\music\04 曲☃.mp3
effect 1' "$(driver clipboard-files | tr -d '\r')"
expect_eq "and leaves the list alone" 4 "$(row_count)"

driver hold-clipboard 8000 > "$work/held" &
holder=$!
until_true 20 grep -q held "$work/held"
select_rows 2
quietly driver post WM_COMMAND 40024 0
expect_eq "a clipboard held elsewhere is reported" "クリップボードを開けませんでした。" "$(box ok)"
expect_eq "and the cut removes nothing" 4 "$(row_count)"
wait "$holder"

select_rows 2
quietly driver post WM_COMMAND 40024 0
check "Ctrl+X removes the row" quietly driver --timeout 30000 list-count 3
expect_eq "and puts the path with the move effect" 'D:\music\05 delta.mp3
effect 2' "$(driver clipboard-files | tr -d '\r')"
check "the file stays" test -e "$music/05 delta.mp3"

# --- Rename (R) ------------------------------------------------------------
until_true 20 eval '[ "$(seconds_shown)" -ge 3 ]'
before=$(seconds_shown)
select_rows 0
quietly driver key R --control 1001
expect_eq "the dialog offers the name with its base selected" "03 gamma.mp3 [0,8]" \
  "$(driver fill-dialog ファイル名 1014 'a:b.mp3' | tr -d '\r')"
expect_eq "a colon is refused" "使えない文字が含まれています。" "$(box ok)"
driver fill-dialog ファイル名 1014 '04 曲☃.mp3' > /dev/null
expect_eq "an existing name is refused" "既に存在するファイル名です。" "$(box ok)"
driver fill-dialog ファイル名 1014 '03 γ renamed.mp3' > /dev/null
eventually "the playing file has its new name" test -e "$music/03 γ renamed.mp3"
expect_eq "the row shows it" "03 γ renamed.mp3" "$(list_items | head -n 1)"
after=$(seconds_shown)
echo "read-out before the rename ${before} s, after ${after} s"
check "playback goes on at about the same time" test "$after" -ge "$before"
check "and moves" moving

select_rows 1
quietly driver key R --control 1001
driver fill-dialog ファイル名 1014 '曲☃ 改.mp3' > /dev/null
eventually "a name the ANSI page cannot spell is given" test -e "$music/曲☃ 改.mp3"

# --- A drive root that cannot take the trash folder -----------------------
if [ "$have_mounts" = yes ]; then
  run_zav2 30 'E:\w'
  check "the list is E:\\w" quietly driver --timeout 20000 list-count 1
  select_rows 0
  quietly driver key BACK --control 1001
  expect_eq "the trash move is refused" "x.mp3 の移動に失敗しました。" "$(box ok)"
  expect_eq "and the row stays" 1 "$(row_count)"
else
  echo "skipped: read-only folders (mounting is not allowed here)"
fi

screenshot_window fileops
check "the program closes" driver close
wait_exit "$zav2_pid" 30

# Every file of the start is somewhere: its folder, a target, the trash, the
# recycle bin or the place it was moved to behind the program's back.
find "$drive" "$edrive" "$work/aside" "$XDG_DATA_HOME" -type f -exec sha256sum {} + |
  cut -d' ' -f1 | sort -u > "$work/end.sha"
expect_eq "no file was lost" "" "$(comm -23 <(sort -u "$work/start.sha") "$work/end.sha")"
finish
