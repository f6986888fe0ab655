#!/usr/bin/env bash
# Opening paths: a folder on the command line fills the list sorted, with tag
# titles and file names otherwise, without entering sub-folders; a second
# start with a quoted file path replaces the list by that file's folder, and
# one without arguments empties it; the next start without arguments restores
# the list written at exit, selects the stored entry and does not play.
. "$(dirname "$0")/lib.sh"

library=$(demo_library)
media="$work/media folder"
mkdir -p "$media/sub"
cp "$library/music/"* "$media/"
cp "$library/video/clip.mp4" "$media/"
cp "$library/video/clip.mp4" "$media/sub/hidden.mp4"
cp "$library/songs.zav" "$media/"  # lists inside a folder are not entries

launch zav2_pid "$(winpath "$media")"
check "the list holds the folder's seven media files" \
  quietly driver --timeout 30000 list-count 7
expected="朝の歌
夕べの調べ
夜想曲 Nocturne
雨の音 Rain
日の出 Sunrise
Plain Tone
clip.mp4"
expect_soon "rows show tag titles in name order, else the file name" "$expected" \
  list_items
expect_eq "the first entry is selected" 0 "$(driver list-selected | tr -d '\r')"
screenshot_window folder-opened

# A second start hands over a quoted file path: the list becomes that file's
# folder, with the file selected.
run_zav2 60 "$(winpath "$library/music/04 rain.ogg")"
expect_eq "the second start exits 0" 0 "$exit_code"
check "the list is the file's folder" quietly driver --timeout 30000 list-count 6
expect_eq "the forwarded file is selected" 3 "$(driver list-selected | tr -d '\r')"

run_zav2 60
expect_eq "a second start without arguments exits 0" 0 "$exit_code"
check "the list is emptied" quietly driver --timeout 20000 list-count 0

# The folder again, then the third entry current: that is what exit stores.
run_zav2 60 "$(winpath "$media/03 night.flac")"
check "the list is the folder again" quietly driver --timeout 30000 list-count 7
close_zav2 "$zav2_pid"
check "the resume list is written" test -s "$app/Zav2.m3u8"

launch zav2_pid
check "the list is restored" quietly driver --timeout 30000 list-count 7
expect_eq "the stored entry is selected" 2 "$(driver list-selected | tr -d '\r')"
# The read-out shows where the entry was left, and stays there.
shown=$(driver control-text 65535 | tr -d '\r')
sleep 2
expect_eq "nothing plays after the resume" "$shown" "$(driver control-text 65535 | tr -d '\r')"
screenshot_window resumed
close_zav2 "$zav2_pid"

finish
