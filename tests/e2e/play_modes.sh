#!/usr/bin/env bash
# The play modes and where playback goes on from: ONE stops after the last
# entry, SINGLE repeats one; a missing or unplayable file is reported, or
# skipped when errors are ignored. A long entry left partway goes on from
# there, across starts and from a forwarded command line.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/lib_playback.sh"

# --- ONE: stops after the last entry -----------------------------------------
settings "Mode=ONE"
start_recording
start_zav2 zav2_pid "$folder_arg"
check "ONE: the first clip plays" caption_is "Clip 1" 20000
quietly driver send WM_COMMAND 1008 0
quietly driver send WM_COMMAND 1008 0
check "ONE: next twice reaches clip 3" caption_is "Clip 3" 5000
check "ONE: clip 3 sounds" wait_for_sound
# Going round would join clip 1 on without a gap: silence is the stop.
check "ONE: after the last clip the sound stops" until_true 15 eval '[ "$(level 0.5)" -lt 100 ]'
expect_eq "ONE: the read-out stands still" still "$(read_out_motion)"
expect_eq "ONE: the caption stays on the last entry" "Clip 3" "$(driver caption | tr -d '\r')"
check "ONE: the selection stays on the last entry" wait_selected 2
quietly driver close
wait_exit "$zav2_pid" 20
stop_recording

# --- SINGLE: repeats the entry -------------------------------------------------
settings "Mode=SINGLE"
start_recording
start_zav2 zav2_pid "$folder_arg"
check "SINGLE: the first clip plays" caption_is "Clip 1" 20000
check "SINGLE: the clip nears its end" until_true 15 eval '[ "$(seconds_shown)" -ge 4 ]'
check "SINGLE: and starts over" until_true 10 eval '[ "$(seconds_shown)" -le 2 ]'
expect_eq "SINGLE: the same clip plays again after its end" "Clip 1" "$(driver caption | tr -d '\r')"
check "SINGLE: still sounding" wait_for_sound
quietly driver send WM_COMMAND 1008 0
check "SINGLE: next still moves on" caption_is "Clip 2" 5000
quietly driver close
wait_exit "$zav2_pid" 20
stop_recording

# --- Missing and unplayable files ---------------------------------------------
settings "Mode=ORDER" "IgnoreError=OFF"
start_zav2 zav2_pid "$folder_arg"
check "the first clip plays" caption_is "Clip 1" 20000
mv "$clips/02 clip.mp3" "$work/moved.mp3"
printf 'not a sound\n' > "$clips/02 clip.mp3"
mv "$clips/03 clip.mp3" "$work/moved3.mp3"
quietly driver post WM_COMMAND 1008 0
expect_eq "a file that plays nothing is reported" "対応していないファイルです。" \
  "$(driver --timeout 10000 message-box --press ok | tr -d '\r')"
quietly driver post WM_COMMAND 1008 0
expect_eq "a missing file is reported" "ファイルが見つかりません。" \
  "$(driver --timeout 10000 message-box --press ok | tr -d '\r')"
quietly driver close
wait_exit "$zav2_pid" 20
mv "$work/moved.mp3" "$clips/02 clip.mp3"
mv "$work/moved3.mp3" "$clips/03 clip.mp3"

settings "Mode=ORDER" "IgnoreError=ON"
start_zav2 zav2_pid "$folder_arg"
check "IgnoreError: the first clip plays" caption_is "Clip 1" 20000
mv "$clips/02 clip.mp3" "$work/moved.mp3"
quietly driver post WM_COMMAND 1008 0
check "IgnoreError: the missing clip is skipped" caption_is "Clip 3" 5000
check_not "IgnoreError: no message" quietly driver --timeout 1500 message-box --press ok
quietly driver close
wait_exit "$zav2_pid" 20
mv "$work/moved.mp3" "$clips/02 clip.mp3"

# --- Where playback goes on from -------------------------------------------------
# A one-minute entry closed at 0:24 shows 0:24 at the next start and plays on
# from there. An eleven-minute one left at 5:30 for another entry goes on from
# 5:30 when it is played again (from the list or a forwarded command line);
# keypad 0 still takes it to its start, and once heard into its last minute
# it starts over.
places="$work/places"
mkdir -p "$places"
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=59.9" \
  -ac 1 -metadata title="Minute" -c:a libmp3lame -b:a 32k "$places/1 minute.mp3" ||
  fail "ffmpeg made the minute"
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=330:sample_rate=22050:duration=660" \
  -ac 1 -metadata title="Lecture" -c:a libmp3lame -b:a 32k "$places/2 lecture.mp3" ||
  fail "ffmpeg made the lecture"
settings "Mode=ORDER"
rm -f "$app/Zav2.m3u8" "$app/Zav2.places"
start_recording
start_zav2 zav2_pid "$(winpath "$places")"
check "places: the minute plays" caption_is "Minute" 20000
quietly driver send WM_COMMAND 1004 0   # pause
quietly driver send WM_COMMAND 41004 0  # keypad 4: 40 %, 0:24
check "places: paused at 0:24" wait_time "00:24 / 01:00"
close_zav2 "$zav2_pid"
check "places: the settings keep the position" grep -qE "^nowPosition= ?24"$'\r'"?$" "$app/Zav2.ini"

start_zav2 zav2_pid
check "places: the list is resumed" quietly driver --timeout 30000 list-count 2
check "places: the resumed entry shows where it was closed" wait_time "00:24 / 01:00"
check "places: the seek bar stands there too" \
  test "$(driver send 0x0400 0 0 --control 1009 | tr -d '\r')" = 240  # TBM_GETPOS, tenths
expect_eq "places: and nothing plays" still "$(read_out_motion)"
screenshot_window resumed-at-place
quietly driver send WM_COMMAND 1004 0
check "places: Play sounds" wait_for_sound
played_from=$(seconds_shown)
check "places: Play goes on from 0:24 ($played_from s)" test "$played_from" -ge 24 -a "$played_from" -le 32

quietly driver send WM_COMMAND 1008 0
check "places: next plays the lecture" caption_is "Lecture" 10000
quietly driver send WM_COMMAND 41005 0  # keypad 5: 50 %, 5:30
check "places: the lecture at 5:30" wait_time "05:3"
quietly driver send WM_COMMAND 1007 0   # another entry: the lecture is left at 5:30
check "places: the minute again" caption_is "Minute" 10000
check "places: a short entry starts over" wait_time "00:0"
check "places: the lecture's place is kept beside the program" \
  grep -q "lecture.mp3" <(iconv -f UTF-16 -t UTF-8 "$app/Zav2.places")
quietly driver send WM_COMMAND 1008 0
check "places: the lecture from the list" caption_is "Lecture" 10000
check "places: goes on from 5:30" wait_time "05:3"
quietly driver send WM_COMMAND 1007 0
check "places: the minute once more" caption_is "Minute" 10000
run_zav2 30 "$(winpath "$places/2 lecture.mp3")"
check "places: the lecture by a forwarded command line" caption_is "Lecture" 10000
check "places: goes on from 5:30 as well" wait_time "05:3"
quietly driver send WM_COMMAND 41000 0  # keypad 0
check "places: keypad 0 still goes to the start" wait_time "00:0"
quietly driver send WM_COMMAND 41009 0  # keypad 9: 90 %, 9:54
quietly driver send WM_COMMAND 4200 0   # ten seconds on: its last minute
check "places: the lecture in its last minute" wait_time "10:0"
quietly driver send WM_COMMAND 1007 0
check "places: the minute after the lecture" caption_is "Minute" 10000
quietly driver send WM_COMMAND 1008 0
check "places: the lecture" caption_is "Lecture" 10000
check "places: heard into its last minute, it starts over" wait_time "00:0"
close_zav2 "$zav2_pid"
stop_recording

finish
