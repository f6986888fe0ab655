#!/usr/bin/env bash
# How soon a started entry is heard, Zav2.exe beside the engine alone, in
# one run: the engine probe's open + play of an MP3, then a double-click on
# the stopped entry of the program (twice). Each figure is the time from the
# request to the first loud tenth of a second recorded from the null sink.
# Both are printed; only a generous sanity bound is checked.
. "$(dirname "$0")/lib.sh"

probe=${ZAV2_ENGINE_PROBE:-}
[ -n "$probe" ] && [ -f "$probe" ] || { fail "the engine probe is given (ZAV2_ENGINE_PROBE)"; finish; exit; }

clips="$work/clips"
mkdir -p "$clips"
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=8" \
  -ac 2 -metadata title="Tone" -c:a libmp3lame -b:a 96k "$clips/tone.mp3" || fail "ffmpeg made the clip"
printf '%s\r\n' "[SystemSetting]" "MasterVolume=OFF" "Volume=1000" "Mode=SINGLE" > "$app/Zav2.ini"

# The null sink's monitor, 16-bit mono at 8 kHz, logged as one line per
# tenth of a second: the wall-clock time it arrived and its peak. The sink
# records nothing while it is idle, so times come from the clock, not from
# the amount recorded.
levels="$work/levels.txt"
: > "$levels"
parec -d zav2_null.monitor --format=s16le --rate=8000 --channels=1 --raw --latency-msec=20 \
  2> /dev/null | python3 -u -c '
import struct, sys, time
out = open(sys.argv[1], "w", buffering=1)
while True:
    block = sys.stdin.buffer.read(1600)
    if len(block) < 1600:
        break
    peak = max(abs(s) for s in struct.unpack("<800h", block))
    out.write("%.3f %d\n" % (time.time(), peak))
' "$levels" &
recorder_pid=$!
sleep 0.5

now() {
  date +%s.%N
}
# seconds_to_sound <time>: from then to the start of the first second of
# unbroken sound (a short burst, such as the tail of a stopped stream, does
# not count), waiting up to 12 s for it; nothing when none came.
seconds_to_sound() {
  python3 - "$levels" "$1" << 'PY'
import sys, time
mark = float(sys.argv[2])
deadline = time.time() + 12
while time.time() < deadline:
    loud_from, count = None, 0
    for line in open(sys.argv[1]):
        arrived, peak = line.split()
        arrived = float(arrived)
        if arrived < mark:
            continue
        if int(peak) > 1000:
            # A block arrives when its tenth of a second is over.
            loud_from = arrived - 0.1 if loud_from is None else loud_from
            count += 1
            if count >= 10:
                print('%.2f' % max(loud_from - mark, 0))
                sys.exit(0)
        else:
            loud_from, count = None, 0
    time.sleep(0.1)
PY
}
# Quiet: the last half second logged is silent, or nothing came for that long.
silence() {
  python3 - "$levels" << 'PY'
import sys, time
recent = [line.split() for line in open(sys.argv[1])][-5:]
fresh = [int(peak) for arrived, peak in recent if float(arrived) > time.time() - 0.5]
sys.exit(0 if max(fresh, default=0) < 100 else 1)
PY
}
wait_for_silence() {
  local tenths=50
  while [ "$tenths" -gt 0 ]; do
    silence && return 0
    sleep 0.1
    tenths=$((tenths - 1))
  done
  return 1
}

# --- The engine alone: open + play, the first of the process and a later one --
coproc PROBE { wine "$probe" 2> /dev/null; }
read -r -t 60 answer <&"${PROBE[0]}"
expect_eq "the engine probe starts" "ok ready" "${answer%$'\r'}"
probe_says() {
  echo "$1" >&"${PROBE[1]}"
  read -r -t 30 answer <&"${PROBE[0]}"
}
engine_seconds=()
for try in 1 2; do
  mark=$(now)
  probe_says "open $(winpath "$clips/tone.mp3")"
  probe_says "play"
  heard=$(seconds_to_sound "$mark")
  check "the engine alone is heard ($try)" test -n "$heard"
  engine_seconds+=("${heard:-none}")
  probe_says "stop"
  check "the engine alone stops ($try)" wait_for_silence
done
echo "quit" >&"${PROBE[1]}"
read -r -t 30 answer <&"${PROBE[0]}"
wait "$PROBE_PID" 2> /dev/null

# --- Zav2.exe: a double-click on the stopped entry ------------------------------
start_zav2 zav2_pid "$(winpath "$clips/tone.mp3")"
check "the program runs" driver --timeout 30000 wait-window
check "it plays the clip given" quietly driver --timeout 20000 wait-caption "Tone"
program_seconds=()
for try in 1 2; do
  quietly driver hotkey MEDIA_STOP
  check "stopped before double-click $try" wait_for_silence
  mark=$(now)
  quietly driver post WM_COMMAND $(((2 << 16) | 1001)) 0
  heard=$(seconds_to_sound "$mark")
  check "double-click $try is heard" test -n "$heard"
  program_seconds+=("${heard:-none}")
done
quietly driver close
wait_exit "$zav2_pid" 20
# parec follows its reader out on the next write.
kill "$recorder_pid" 2> /dev/null
wait "$recorder_pid" 2> /dev/null

echo "time to recorded sound: engine alone (open + play) ${engine_seconds[*]} s;" \
  "Zav2.exe double-click ${program_seconds[*]} s"
for seconds in "${program_seconds[@]}"; do
  check "a double-click is heard within 5 s ($seconds s)" \
    python3 -c "import sys; sys.exit(0 if '$seconds' != 'none' and float('$seconds') < 5 else 1)"
done

finish
