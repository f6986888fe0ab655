#!/usr/bin/env bash
# The silence between entries under Wine: four 4-second WAV tones of
# different pitch in one folder play through in ORDER mode while the null
# sink's monitor is recorded; prints the gap between each two entries in ms
# and how much of each tone was heard. The floor, in the same run, is the
# same four tones joined in one file played straight into the sink (paplay):
# its gaps are the recording's own error, its lengths what "whole" reads as.
# With "mp3" the tones are LAME-encoded MP3 files, each with the encoder's
# delay and padding around it (the floor joins them as decoded, trimmed).
# With "mixed" they are WAV files at 44.1 and 48 kHz in turn, which the
# stream converts to its device's rate (the floor joins them at 44.1 kHz).
# Not part of CTest; about 45 s:
#   tools/wine-run -- bench/gaps.sh build/windows/src/app/Zav2.exe [wav|mp3]
set -u
[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: gaps.sh Zav2.exe [wav|mp3|mixed] (through tools/wine-run)" >&2; exit 2; }
kind=${2:-wav}
rates=(44100 44100 44100 44100)
case "$kind" in
  wav) codec=(-c:a pcm_s16le) ;;
  mp3) codec=(-c:a libmp3lame -b:a 192k) ;;
  mixed) codec=(-c:a pcm_s16le) rates=(44100 48000 44100 48000) kind=wav ;;
  *) echo "gaps.sh: wav or mp3, not $kind" >&2; exit 2 ;;
esac
here=$(cd "$(dirname "$0")" && pwd)
runs="$here/../tools/tone-runs"
work=$(mktemp -d "${TMPDIR:-/tmp}/zav2-gaps.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/app" "$work/tones"
cp "$1" "$work/app/Zav2.exe"
printf '%s\r\n' "[SystemSetting]" "MasterVolume=OFF" "Volume=1000" "Mode=ORDER" > "$work/app/Zav2.ini"

pitches=(500 750 1000 1250)
n=1
for hz in "${pitches[@]}"; do
  ffmpeg -loglevel error -y -f lavfi -i "aevalsrc=0.5*sin(2*PI*$hz*t):s=${rates[$((n - 1))]}:d=4" \
    -ac 2 "${codec[@]}" "$work/tones/0$n tone $hz.$kind" || exit 1
  n=$((n + 1))
done
ffmpeg -loglevel error -y -i "$work/tones/01 tone 500.$kind" -i "$work/tones/02 tone 750.$kind" \
  -i "$work/tones/03 tone 1000.$kind" -i "$work/tones/04 tone 1250.$kind" \
  -filter_complex concat=n=4:v=0:a=1 -c:a pcm_s16le "$work/joined.wav" || exit 1

# record <file> <seconds>: the monitor, 16-bit mono at 44.1 kHz.
record() {
  timeout "$2" parec -d zav2_null.monitor --format=s16le --rate=44100 --channels=1 --raw \
    --latency-msec=10 > "$1" 2> /dev/null
}
report() {
  local name=$1 raw=$2
  "$runs" "$raw" 44100 "${pitches[@]}" > "$work/$name.txt"
  echo "$name: tones heard (Hz: s) $(awk '$1 == "run" {printf "%s: %s  ", $2, $4}' "$work/$name.txt")"
  echo "$name: gaps (ms) $(awk '$1 == "gap" {printf "%s>%s: %s  ", $2, $3, $4}' "$work/$name.txt")"
}

# The floor: the joined file straight into the sink.
record "$work/floor.raw" 19 &
recorder=$!
sleep 1
paplay -d zav2_null "$work/joined.wav"
wait "$recorder"
report floor "$work/floor.raw"

# The program: from the start on the folder until the fourth tone is over and
# the first has begun again.
record "$work/zav2.raw" 24 &
recorder=$!
folder=$(realpath "$work/tones")
(cd "$work/app" && exec wine Zav2.exe "Z:${folder//\//\\}") > "$work/zav2.log" 2>&1 &
wait "$recorder"
wineserver -k 2> /dev/null
report Zav2 "$work/zav2.raw"
awk '$1 == "gap" && n < 3 {sum += $4; if ($4 > max) max = $4; n++}
     END {if (n) printf "Zav2: the three gaps 1>2, 2>3, 3>4: mean %.1f ms, max %.1f ms\n", sum / n, max}' \
  "$work/Zav2.txt"
