#!/usr/bin/env bash
# The program's own audio stream against the media engine, heard from the
# null sink: one slider position sounds equally loud through both (a WAV
# tone through the stream, the same tone in an MP4 with video through the
# engine), a next entry deleted from disk while the one before plays is
# never heard (the message says it is missing), and a stream whose device
# is taken away and brought back goes on from where it was heard.
# With ReplayGain=TRACK, two MP3 tones whose tags (ID3v2 TXXX) say they are
# 6 dB apart, and two untagged WAV tones 12 dB apart (measured as they come,
# the first entry too), are each heard at one level. (Wine's sources open no
# FLAC file, so the Vorbis comments' gains are read by the native tag tests.)
# A rate that changes inside a file is followed by the stream (the engine's
# Wine tests, with a reader that changes format); Wine's own MP3 source
# cannot show it: it ends such a file where its first rate ends.
. "$(dirname "$0")/lib.sh"

media="$work/stream"
mkdir -p "$media/gone"
tone="sine=frequency=660:sample_rate=44100:duration=6"
ffmpeg -loglevel error -y -f lavfi -i "$tone" -ac 2 -c:a pcm_s16le "$media/tone.wav" ||
  fail "ffmpeg made the WAV tone"
ffmpeg -loglevel error -y -f lavfi -i "testsrc2=s=320x240:r=25:d=6" -f lavfi -i "$tone" \
  -ac 2 -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 192k "$media/tone.mp4" ||
  fail "ffmpeg made the MP4 tone"
for n in 1 2; do
  hz=$((500 * n))
  ffmpeg -loglevel error -y -f lavfi -i "aevalsrc=0.5*sin(2*PI*$hz*t):s=44100:d=3" -ac 2 \
    -c:a pcm_s16le "$media/gone/0$n tone $hz.wav" || fail "ffmpeg made the $hz Hz tone"
done

ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=500:sample_rate=44100:duration=60" -ac 2 \
  -c:a pcm_s16le "$media/long.wav" || fail "ffmpeg made the long tone"

settings() {
  printf '%s\r\n' "[SystemSetting]" "MasterVolume=OFF" "$@" > "$app/Zav2.ini"
}
rate=16000
recording="$work/sink.raw"
start_recording() {
  parec -d zav2_null.monitor --format=s16le --rate=$rate --channels=1 --raw --latency-msec=10 \
    > "$recording" 2> /dev/null &
  parec_pid=$!
}
stop_recording() {
  kill "$parec_pid" 2> /dev/null
  wait "$parec_pid" 2> /dev/null
}
# loudness [seconds]: the level of the recording (or of its last <seconds>),
# dBFS: the RMS of its 20 ms blocks, near the loudest (the 98th percentile).
# A busy machine drops parts of the sound, the engine's more than the
# stream's; a steady tone is as loud in every block it fills whole.
loudness() {
  python3 - "$recording" "${1:-0}" $rate << 'PY'
import math, struct, sys
data = open(sys.argv[1], 'rb').read()
rate = int(sys.argv[3])
count = int(float(sys.argv[2]) * rate) * 2
tail = data[-count:] if count else data
samples = struct.unpack('<%dh' % (len(tail) // 2), tail[:len(tail) // 2 * 2])
block = rate // 50
levels = sorted(sum(s * s for s in samples[i:i + block]) / block
                for i in range(0, len(samples) - block + 1, block))
level = levels[len(levels) * 98 // 100] if levels else 0
print('%.1f' % (10 * math.log10(level / 32768 ** 2) if level > 0 else -200))
PY
}
sounding() {
  [ "$(loudness 0.3 | cut -d. -f1)" -gt -45 ]
}
silent() {
  [ "$(loudness 0.3 | cut -d. -f1)" -lt -60 ]
}
wait_for_sound() {
  until_true 15 sounding
}

# --- One loudness for one slider position --------------------------------------
settings "Volume=30" "Mode=SINGLE"
declare -A heard
for file in tone.wav tone.mp4; do
  start_recording
  launch zav2_pid "$(winpath "$media/$file")"
  check "$file sounds" wait_for_sound
  sleep 2
  quietly driver close
  wait_exit "$zav2_pid" 20
  stop_recording
  heard[$file]=$(loudness)
done
echo "at Volume=30: the stream ${heard[tone.wav]} dBFS, the engine ${heard[tone.mp4]} dBFS"
check "the stream and the engine sound within 1 dB" python3 -c "
import sys; sys.exit(abs(${heard[tone.wav]} - (${heard[tone.mp4]})) > 1.0)"

# --- One loudness for every track ------------------------------------------------
# levels_by_pitch HZ...: each tone's level in the recording, dBFS: the median
# RMS of the 20 ms blocks whose pitch (read from their zero crossings) is
# nearest to it.
levels_by_pitch() {
  python3 - "$recording" $rate "$@" << 'PY'
import math, statistics, struct, sys
data = open(sys.argv[1], 'rb').read()
rate = int(sys.argv[2])
pitches = [int(p) for p in sys.argv[3:]]
samples = struct.unpack('<%dh' % (len(data) // 2), data[:len(data) // 2 * 2])
block = rate // 50
found = {p: [] for p in pitches}
for i in range(0, len(samples) - block + 1, block):
    part = samples[i:i + block]
    power = sum(s * s for s in part) / block
    if power < 32768 ** 2 * 1e-6:
        continue
    hz = sum(1 for a, b in zip(part, part[1:]) if (a < 0) != (b < 0)) * 25
    nearest = min(pitches, key=lambda p: abs(p - hz))
    if abs(nearest - hz) < nearest * 0.15:
        found[nearest].append(power)
print(' '.join('%.1f' % (10 * math.log10(statistics.median(found[p]) / 32768 ** 2))
               if found[p] else '-200' for p in pitches))
PY
}
mkdir -p "$media/tagged" "$media/plain"
ffmpeg -loglevel error -y -f lavfi -i "aevalsrc=0.5*sin(2*PI*500*t):s=44100:d=3" -ac 2 \
  -metadata REPLAYGAIN_TRACK_GAIN="-6.00 dB" -metadata REPLAYGAIN_TRACK_PEAK=0.5 \
  -c:a libmp3lame -b:a 192k "$media/tagged/01 tone 500.mp3" || fail "ffmpeg made the louder tagged tone"
ffmpeg -loglevel error -y -f lavfi -i "aevalsrc=0.25*sin(2*PI*1000*t):s=44100:d=3" -ac 2 \
  -metadata REPLAYGAIN_TRACK_GAIN="+0.00 dB" -metadata REPLAYGAIN_TRACK_PEAK=0.25 \
  -c:a libmp3lame -b:a 192k "$media/tagged/02 tone 1000.mp3" || fail "ffmpeg made the quieter tagged tone"
ffmpeg -loglevel error -y -f lavfi -i "aevalsrc=0.5*sin(2*PI*500*t):s=44100:d=3" -ac 2 \
  -c:a pcm_s16le "$media/plain/01 tone 500.wav" || fail "ffmpeg made the louder WAV tone"
ffmpeg -loglevel error -y -f lavfi -i "aevalsrc=0.125*sin(2*PI*1000*t):s=44100:d=3" -ac 2 \
  -c:a pcm_s16le "$media/plain/02 tone 1000.wav" || fail "ffmpeg made the quieter WAV tone"
settings "Volume=100" "Mode=ONE" "ReplayGain=TRACK"
rm -f "$app/Zav2.loudness"
for kind in tagged plain; do
  start_recording
  launch zav2_pid "$(winpath "$media/$kind")"
  check "$kind: the second tone plays" quietly driver --timeout 30000 caption "02 tone 1000" --contains
  # Whether it was heard is read from the recording below: looking for its
  # sound now could come after its three seconds (beside busy cores a driver
  # call and a level each take a second).
  check "$kind: to its end" until_true 10 silent
  quietly driver close
  wait_exit "$zav2_pid" 20
  stop_recording
  read -r louder quieter <<< "$(levels_by_pitch 500 1000)"
  echo "ReplayGain=TRACK, $kind: the louder file at $louder dBFS, the quieter at $quieter dBFS"
  allowed=$([ "$kind" = tagged ] && echo 0.5 || echo 1.0)
  check "$kind: both are heard at one level (within $allowed dB)" python3 -c "
import sys; sys.exit(abs($louder - ($quieter)) > $allowed or min($louder, $quieter) < -100)"
done
check "the measurements are kept beside the program" test -s "$app/Zav2.loudness"

# --- A next entry deleted while the one before plays -----------------------------
settings "Volume=100" "Mode=ORDER" "IgnoreError=OFF"
start_recording
launch zav2_pid "$(winpath "$media/gone")"
check "the first tone plays" quietly driver --timeout 20000 caption "01 tone 500.wav"
# The next entry is held ready half a second in; the file goes after that.
sleep 1
rm "$media/gone/02 tone 1000.wav"
expect_eq "the deleted entry is reported missing" "ファイルが見つかりません。" \
  "$(driver --timeout 10000 message-box --press ok | tr -d '\r')"
sleep 0.5
quietly driver close
wait_exit "$zav2_pid" 20
stop_recording
runs=$("$repo_dir/tools/tone-runs" "$recording" $rate 500 1000)
echo "$runs"
check "the first tone is heard" grep -q "^run 500 " <<< "$runs"
check_not "the deleted tone is never heard" grep -q "^run 1000 " <<< "$runs"

# --- The output device taken away under a playing stream, then brought back ---
# The read-out's position in seconds ("mm:ss / mm:ss").
position() {
  driver control-text -1 | tr -d '\r' | awk -F'[ :/]+' '{print $1 * 60 + $2}'
}
# still: the read-out once two readings over a second apart agree.
still() {
  local until=$((SECONDS + 20)) before now
  now=$(position)
  while [ "$SECONDS" -lt "$until" ]; do
    before=$now
    sleep 1.2
    now=$(position)
    [ "$now" = "$before" ] && break
  done
  echo "$now"
}
settings "Volume=100" "Mode=SINGLE"
start_recording
launch zav2_pid "$(winpath "$media/long.wav")"
check "the long tone sounds" wait_for_sound
stop_recording
sink_module=$(pactl list short modules | awk '$2 == "module-null-sink" { print $1; exit }')
pactl unload-module "$sink_module"
gone_at=$(still)
sleep 2 # the device stays away a while
away_at=$(position)
check "the read-out waits while no device plays" test "$away_at" -le $((gone_at + 1))
pactl load-module module-null-sink sink_name=zav2_null sink_properties=device.description=Zav2Null \
  > /dev/null
pactl set-default-sink zav2_null
# The sink renders only while something plays into it: a silent stream keeps
# the recording whole, as the runner's did for the sink it made.
pacat --playback -d zav2_null --latency-msec=10 --format=s16le --rate=44100 --channels=2 --raw \
  < /dev/zero > /dev/null 2>&1 &
keeper_pid=$!
start_recording
check "the sound comes back on the new device" wait_for_sound
back_at=$(position)
echo "the read-out stopped at ${gone_at} s with the device gone (${away_at} s two seconds on)," \
  "and was at ${back_at} s once heard again"
check "it goes on from where it was heard" test "$back_at" -ge "$gone_at" -a "$back_at" -lt 30
quietly driver close
wait_exit "$zav2_pid" 20
stop_recording
kill "$keeper_pid" 2> /dev/null
wait "$keeper_pid" 2> /dev/null

finish
