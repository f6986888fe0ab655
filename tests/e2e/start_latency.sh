#!/usr/bin/env bash
# How soon a started entry is heard, Zav2.exe beside the engine alone, in
# one run: the engine probe's open + play of an MP3, then a double-click on
# the stopped entry's row of the program (twice). Each figure is the time from the
# request to the first loud tenth of a second recorded from the null sink.
# Both are printed; only a generous sanity bound is checked.
. "$(dirname "$0")/lib.sh"

probe=${ZAV2_ENGINE_PROBE:-}
[ -n "$probe" ] && [ -f "$probe" ] || { fail "the engine probe is given (ZAV2_ENGINE_PROBE)"; finish; exit; }

clips="$work/clips"
mkdir -p "$clips"
# Two tones told apart by pitch, so that only the entry asked for counts
# (not what an engine let go of may still send).
for hz in 440 660; do
  ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=$hz:sample_rate=44100:duration=8" \
    -ac 2 -c:a libmp3lame -b:a 96k "$clips/tone$hz.mp3" || fail "ffmpeg made the $hz Hz clip"
done
printf '%s\r\n' "[SystemSetting]" "MasterVolume=OFF" "Volume=1000" "Mode=SINGLE" > "$app/Zav2.ini"

# The null sink's monitor, 16-bit mono at 8 kHz, logged as one line per
# 50 ms: the wall-clock time it arrived, its peak and its zero crossings. The sink
# records nothing while it is idle, so times come from the clock, not from
# the amount recorded.
levels="$work/levels.txt"
: > "$levels"
parec -d zav2_null.monitor --format=s16le --rate=8000 --channels=1 --raw --latency-msec=20 \
  2> /dev/null | python3 -u -c '
import struct, sys, time
out = open(sys.argv[1], "w", buffering=1)
while True:
    block = sys.stdin.buffer.read(800)
    if len(block) < 800:
        break
    samples = struct.unpack("<400h", block)
    peak = max(abs(s) for s in samples)
    crossings = sum(1 for a, b in zip(samples, samples[1:]) if (a < 0) != (b < 0))
    out.write("%.3f %d %d\n" % (time.time(), peak, crossings))
' "$levels" &
recorder_pid=$!
sleep 0.5

now() {
  date +%s.%N
}
# seconds_to_sound <time> <hz>: from then to the start of the first second
# mostly (80 %) of sound of that pitch, so that a dropout on a busy machine
# does not restart the count; waits up to 12 s for it; nothing when none came.
seconds_to_sound() {
  python3 - "$levels" "$1" "$2" << 'PY'
import sys, time
mark = float(sys.argv[2])
expected = 2 * float(sys.argv[3]) / 20
deadline = time.time() + 12
while time.time() < deadline:
    blocks = []
    for line in open(sys.argv[1]):
        arrived, peak, crossings = line.split()
        if float(arrived) >= mark:
            blocks.append((float(arrived), int(peak) > 1000 and abs(int(crossings) - expected) < 0.1 * expected))
    for i in range(len(blocks) - 19):
        if blocks[i][1] and sum(ok for _, ok in blocks[i:i + 20]) >= 16:
            # A block arrives when its 50 ms are over.
            print('%.2f' % max(blocks[i][0] - 0.05 - mark, 0))
            sys.exit(0)
    time.sleep(0.1)
PY
}
# Quiet: the last half second logged is silent, or nothing came for that long.
silence() {
  python3 - "$levels" << 'PY'
import sys, time
recent = [line.split() for line in open(sys.argv[1])][-10:]
fresh = [int(peak) for arrived, peak, _ in recent if float(arrived) > time.time() - 0.5]
sys.exit(0 if max(fresh, default=0) < 100 else 1)
PY
}
wait_for_silence() { until_true 5 silence; }

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
  hz=$((try == 1 ? 440 : 660))
  mark=$(now)
  probe_says "open $(winpath "$clips/tone$hz.mp3")"
  probe_says "play"
  heard=$(seconds_to_sound "$mark" "$hz")
  check "the engine alone is heard ($try)" test -n "$heard"
  engine_seconds+=("${heard:-none}")
  probe_says "stop"
  check "the engine alone stops ($try)" wait_for_silence
done
echo "quit" >&"${PROBE[1]}"
read -r -t 30 answer <&"${PROBE[0]}"
wait "$PROBE_PID" 2> /dev/null

# --- Zav2.exe: a double-click on the stopped entry ------------------------------
start_zav2 zav2_pid "$(winpath "$clips")"
check "the program runs" driver --timeout "$start_limit_ms" wait-window
check "it plays the folder given" quietly driver --timeout 20000 caption "tone440.mp3"
read -r lx ly lw _ <<< "$(driver control-rect 1001 --screen | tr -d '\r')"
row_x=$((lx + lw / 3))
row_height=$(driver send 0x01A1 0 0 --control 1001 | tr -d '\r')  # LB_GETITEMHEIGHT
x_window=$(xdotool search --onlyvisible --classname 'zav2.exe' | head -n 1)
check "the X window is found" test -n "$x_window"
xdotool windowfocus --sync "$x_window" 2> /dev/null || xdotool windowfocus "$x_window"
program_seconds=()
for try in 1 2; do
  # Rows: 440 Hz, then 660 Hz; each try starts the other one.
  hz=$((try == 1 ? 660 : 440))
  row_y=$((ly + row_height * (try == 1 ? 1 : 0) + row_height / 2))
  media_key 0xB2  # VK_MEDIA_STOP
  check "stopped before double-click $try" wait_for_silence
  # A real double-click on the first row through the X server: a posted one
  # would count the start-up of the driver, a Windows program too.
  xdotool mousemove --sync "$row_x" "$row_y" click --repeat 2 --delay 60 1
  mark=$(now)
  heard=$(seconds_to_sound "$mark" "$hz")
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
