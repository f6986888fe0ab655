#!/usr/bin/env bash
# A folder of three short clips plays through under Wine: sound reaches the
# null sink, the caption and the list selection follow the entries, the
# read-out advances, and the buttons, keys, media keys and forwarded switches
# move playback as they should; the volume keys change the recorded level,
# with the master volume linked too. What is heard is measured, so this runs
# alone (play_modes.sh has the rest of playback).
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/lib_playback.sh"

# --- ORDER: plays through and round -----------------------------------------
settings "Mode=ORDER"
start_recording
opened_at=$(date +%s.%N)
launch zav2_pid "$folder_arg"
check "the first clip plays: its title is the caption" caption_is "Clip 1" 20000
check "the first entry is selected" wait_selected 0
check "sound reaches the null sink" wait_for_sound
sound_at=$(first_sound)
if [ -n "$sound_at" ]; then
  latency=$(python3 -c "print('%.2f' % ($recording_started + $sound_at - $opened_at))")
  echo "time from the start on the folder to recorded sound: ${latency} s"
fi
check "the read-out shows the clip's length" grep -q ' / 00:06$' <<< "$(time_text)"
expect_eq "the read-out advances while playing" moving "$(read_out_motion)"
check "the end of clip 1 moves to clip 2" caption_is "Clip 2"
check "the list selection follows" wait_selected 1
quietly driver send WM_COMMAND 1008 0
check "next (1008) plays clip 3" caption_is "Clip 3" 5000
check "after the last, ORDER goes round to the first" caption_is "Clip 1"

# Buttons and keys.
quietly driver send WM_COMMAND 1008 0
check "next plays clip 2" caption_is "Clip 2" 5000
quietly driver send WM_COMMAND 1007 0
check "previous (1007) plays clip 1" caption_is "Clip 1" 5000
quietly driver key SPACE --control 1001
check "Space pauses: the read-out stands still" until_true 10 eval '[ "$(read_out_motion)" = still ]'
check "nothing is heard while paused" wait_for_silence
quietly driver key SPACE --control 1001
check "Space again resumes" until_true 10 eval '[ "$(read_out_motion)" = moving ]'
quietly driver key RETURN --control 1001
stopped() { grep -q '^00:00 / ' <<< "$(time_text)"; }
check "Enter while playing stops: the read-out is back at 00:00" until_true 10 stopped
check "and the sound stops" wait_for_silence
# The clips are short: the one stopped is the selected row, whichever it was.
stopped_on=$(driver list-items | tr -d '\r' | sed -n "$(($(selected) + 1))p")
quietly driver key RETURN --control 1001
check "Enter while stopped plays the selected entry" caption_is "$stopped_on" 5000
check "sound again" wait_for_sound
# Paused, with another row selected: Enter plays that row, not the paused one.
quietly driver key SPACE --control 1001
other=$(next_clip)
quietly driver send 0x0185 0 -1 --control 1001                     # LB_SETSEL: none
quietly driver send 0x0185 1 $((${other#Clip } - 1)) --control 1001 # the next clip's row
quietly driver key RETURN --control 1001
check "Enter while paused plays the selected row" caption_is "$other" 5000
check "and its sound is heard" wait_for_sound

# Media keys (posted: Wine does not turn posted keys into hot keys).
expected=$(next_clip)
media_key 0xB0  # VK_MEDIA_NEXT_TRACK
check "media key next plays the next clip" caption_is "$expected" 5000
expected=$(previous_clip)
media_key 0xB1  # VK_MEDIA_PREV_TRACK
check "media key previous plays the previous clip" caption_is "$expected" 5000
media_key 0xB2  # VK_MEDIA_STOP
check "media key stop resets the read-out" until_true 10 stopped
check "and silences the sink" wait_for_silence
media_key 0xB3  # VK_MEDIA_PLAY_PAUSE
check "media key play/pause starts again" wait_for_sound

# Switches forwarded by a second start.
expected=$(next_clip)
run_zav2 30 /Next
check "a forwarded /Next plays the next clip" caption_is "$expected" 5000
run_zav2 30 /Stop
check "a forwarded /Stop stops" wait_for_silence
run_zav2 30 /Play
check "a forwarded /Play plays again" wait_for_sound

# A double-click on the selected entry (LBN_DBLCLK from list 1001) starts it.
media_key 0xB2  # VK_MEDIA_STOP
check "stopped before the double-click" wait_for_silence
clicked_at=$(recorded_bytes)
quietly driver post WM_COMMAND $(((2 << 16) | 1001)) 0
check "a double-click on an entry plays it" wait_for_sound
echo "time from the double-click to recorded sound: $(first_sound "$clicked_at") s"

# Volume keys: ten steps of 50 halve the program volume.
loud=$(level 1)
for _ in 1 2 3 4 5 6 7 8 9 10; do media_key 0xAE; done  # VK_VOLUME_DOWN
sleep 1.2
quiet=$(level 1)
echo "recorded level at volume 1000: $loud, after ten volume-down keys: $quiet"
check "volume down lowers the recorded level" test "$quiet" -gt 100 -a "$quiet" -lt $((loud * 7 / 10))
check "the slider shows the volume: 50" test "$(driver send 0x0400 0 0 --control 1010 | tr -d '\r')" = 50
screenshot_window playing
check "the program closes" quietly driver close
wait_exit "$zav2_pid" 20
stop_recording
# Closing stops the player: no entry's length is known at that point, so none
# is written, rather than the last one's on every line.
expect_eq "the resume list carries no stale lengths" "3 3" \
  "$(grep -c '^#EXTINF:' "$app/Zav2.m3u8") $(grep -c '^#EXTINF:0,' "$app/Zav2.m3u8")"

# --- Master volume -------------------------------------------------------------
# Wine keeps the endpoint's master volume to itself: the PulseAudio sink's
# volume is reported, not required to change. The program volume must still
# follow the keys with the link on.
settings "Mode=ORDER" "MasterVolume=ON"
start_recording
start_zav2 zav2_pid "$folder_arg"
check "master volume: the first clip plays" caption_is "Clip 1" 20000
check "master volume: sound" wait_for_sound
sleep 0.5
sink_before=$(pactl get-sink-volume zav2_null | head -n 1)
loud=$(level 1)
for _ in 1 2 3 4 5 6 7 8 9 10; do media_key 0xAE; done  # VK_VOLUME_DOWN
sleep 1.2
quiet=$(level 1)
sink_after=$(pactl get-sink-volume zav2_null | head -n 1)
echo "master volume on: recorded level $loud, after ten volume-down keys $quiet"
echo "note: sink volume before [$sink_before], after [$sink_after]"
check "master volume: volume down lowers the recorded level" \
  test "$quiet" -gt 100 -a "$quiet" -lt $((loud * 7 / 10))
quietly driver close
wait_exit "$zav2_pid" 20
stop_recording

finish
