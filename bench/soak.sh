#!/usr/bin/env bash
# Soak under Wine: 300 one-second clips (mostly sound, every 30th a video)
# play through twice in ORDER mode; the probe prints the program's threads
# and handles at the start and after each pass, and how many entries played;
# the resident and anonymous memory of its process come from /proc. Not part
# of CTest; about 15 minutes (ZAV2_SOAK_CLIPS=300, ZAV2_SOAK_VIDEO_EVERY=30,
# 0 for sound alone):
#   tools/wine-run -- bench/soak.sh build/windows/src/app/Zav2.exe \
#       build/windows/bench/zav2-soak-probe.exe
set -u
[ $# -eq 2 ] || { echo "usage: soak.sh Zav2.exe zav2-soak-probe.exe (through tools/wine-run)" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/zav2-soak.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/app" "$work/clips"
cp "$1" "$work/app/Zav2.exe"
cp "$2" "$work/app/probe.exe"

# One clip of each kind, copied under 300 names (the titles are the names).
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=1" -c:a libmp3lame "$work/tone.mp3"
ffmpeg -loglevel error -f lavfi -i "testsrc=size=160x120:rate=25:duration=1" \
  -f lavfi -i "sine=frequency=660:duration=1" -c:v libx264 -pix_fmt yuv420p -c:a aac \
  -shortest "$work/video.mp4"
clips=${ZAV2_SOAK_CLIPS:-300}
every=${ZAV2_SOAK_VIDEO_EVERY:-30}
for i in $(seq -f '%03g' 1 "$clips"); do
  if [ "$every" -gt 0 ] && [ $((10#$i % every)) -eq 0 ]; then cp "$work/video.mp4" "$work/clips/clip-$i.mp4"
  else cp "$work/tone.mp3" "$work/clips/clip-$i.mp3"; fi
done

folder=$(realpath "$work/clips")
(cd "$work/app" && exec wine Zav2.exe "Z:${folder//\//\\}") > "$work/zav2.log" 2>&1 &
zav2_pid=$!
memory() {  # resident and anonymous memory of the program's process, kB
  local pid
  for pid in $(pgrep -f "^Zav2.exe Z:.*$(basename "$work")"); do
    awk '/^VmRSS|^RssAnon/ {printf "%s %s ", $1, $2}' "/proc/$pid/status"
  done
}
(cd "$work/app" && wine probe.exe 2 3000) | while IFS= read -r line; do
  echo "${line%$'\r'} $(memory)"
done
status=${PIPESTATUS[0]}
kill "$zav2_pid" 2> /dev/null
wait "$zav2_pid" 2> /dev/null
exit "$status"
