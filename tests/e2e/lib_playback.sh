# Shared steps of the playback scenarios, sourced after lib.sh: three short
# clips in a folder, the INI of the next start, the null sink's monitor
# recorded while the program runs, and the read-out, caption and selection
# waited for.

clips="$work/clips"
mkdir -p "$clips"
# 5.9 s of sound: the encoder's padding makes the file a little longer, which
# the engine reports (6.03 s for a 6 s clip) and the read-out rounds up, so a
# clip that should read 00:06 must stay short of 6 s.
for n in 1 2 3; do
  ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=$((220 * n + 220)):sample_rate=44100:duration=5.9" \
    -ac 2 -metadata title="Clip $n" -c:a libmp3lame -b:a 96k "$clips/0$n clip.mp3" || fail "ffmpeg made clip $n"
done
folder_arg=$(winpath "$clips")

# settings <key=value...>: the INI the next start reads.
settings() {
  printf '%s\r\n' "[SystemSetting]" "MasterVolume=OFF" "Volume=100" "$@" > "$app/Zav2.ini"
}

# The null sink's monitor, recorded while the program runs: 16-bit mono.
recording="$work/sink.raw"
start_recording() {
  : > "$recording"
  parec -d zav2_null.monitor --format=s16le --rate=8000 --channels=1 --raw > "$recording" 2> /dev/null &
  parec_pid=$!
  recording_started=$(date +%s.%N)
}
stop_recording() {
  kill "$parec_pid" 2> /dev/null
  wait "$parec_pid" 2> /dev/null
}
# level <seconds>: the loudness of the last <seconds> recorded, 0 ... 32767:
# the 90th percentile of the samples' size. Near the peak, not an average, so
# a pause between two clips does not lower it; not the peak, so the few
# milliseconds where the next clip starts over the end of the last (it is
# started early, to leave no gap) do not raise it.
level() {
  python3 - "$recording" "$1" << 'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
count = int(float(sys.argv[2]) * 8000) * 2
tail = data[-count:] if len(data) >= count else data
samples = struct.unpack('<%dh' % (len(tail) // 2), tail[:len(tail) // 2 * 2])
sizes = sorted(abs(s) for s in samples)
print(sizes[len(sizes) * 9 // 10] if sizes else 0)
PY
}
# first_sound [byte offset]: seconds from that point of the recording (its
# start by default) to the first loud tenth of a second, or nothing.
first_sound() {
  python3 - "$recording" "${1:-0}" << 'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
begin = int(sys.argv[2]) // 2 * 2
block = 800 * 2
for start in range(begin, len(data) - block + 1, block):
    samples = struct.unpack('<800h', data[start:start + block])
    if max(abs(s) for s in samples) > 1000:
        print('%.2f' % ((start - begin) / 2 / 8000))
        break
PY
}
recorded_bytes() {
  stat -c %s "$recording"
}
# Sound within 15 s; silence within 5 s.
wait_for_sound() { until_true 15 eval '[ "$(level 0.3)" -gt 1000 ]'; }
wait_for_silence() { until_true 5 eval '[ "$(level 0.5)" -lt 100 ]'; }
time_text() {
  driver control-text -1 | tr -d '\r'
}
selected() {
  driver list-selected | tr -d '\r' | head -n 1
}
# wait_selected <row>: the list's (first) selection becomes that row; the
# list follows once the engine has taken the entry, after the caption.
wait_selected() {
  local want=$1
  until_true 8 eval '[ "$(selected)" = "$want" ]' && return 0
  echo "selected: [$(selected)]"
  return 1
}
# The caption changes as a start begins; the start is over, and the next
# command comes after it, once the window answers again.
caption_is() {
  quietly driver --timeout "${2:-10000}" caption "$1" && idle && return 0
  # The read-out tells a start that has not come from a caption left behind.
  echo "caption: [$(driver caption | tr -d '\r')], read-out: [$(time_text)]"
  return 1
}
# The clip after / before the one playing now, by its caption.
clip_number() {
  driver caption | tr -d '\r' | sed -n 's/^Clip \([1-3]\)$/\1/p'
}
next_clip() {
  local n
  n=$(clip_number)
  echo "Clip $((n % 3 + 1))"
}
previous_clip() {
  local n
  n=$(clip_number)
  echo "Clip $(((n + 1) % 3 + 1))"
}

# wait_time <prefix>: the read-out's position comes to start with the prefix.
wait_time() {
  local want=$1
  until_true 10 eval 'case "$(time_text)" in "$want"*) true ;; *) false ;; esac' && return 0
  echo "read-out: [$(time_text)]"
  return 1
}
# The read-out's position in seconds.
seconds_shown() {
  local shown
  shown=$(time_text)
  shown=${shown%% *}
  echo $((10#${shown%%:*} * 60 + 10#${shown##*:}))
}

# Two read-outs a second apart: "moving" or "still".
read_out_motion() {
  local before after
  before=$(time_text)
  sleep 1.3
  after=$(time_text)
  if [ "$before" != "$after" ]; then echo moving; else echo still; fi
}

