#!/usr/bin/env bash
# A library of tagged MP3s opened by Zav2.exe under Wine, beside the platform
# floors of the same run (see big_lists_bench_win.cpp). Not part of CTest:
#   tools/wine-run -- bench/big_lists.sh build/windows/src/app/Zav2.exe \
#       build/windows/bench/zav2-big-lists-bench.exe [files, default 10000]
# The files (100 folders, real MP3s behind an ID3v2.3 title, so the first
# entry starts as a library's would: it plays a minute, the others a short
# tone) are made once per count in ${ZAV2_CACHE:-~/.cache/zav2}/big-lists-mp3-<files>.
set -u
[ $# -ge 2 ] || { echo "usage: big_lists.sh Zav2.exe zav2-big-lists-bench.exe [files]" >&2; exit 2; }
files=${3:-10000}
cache=${ZAV2_CACHE:-$HOME/.cache/zav2}
media="$cache/big-lists-mp3-$files"
if [ ! -f "$media.complete" ]; then
  rm -rf "$media"
  mkdir -p "$media"
  for clip in short:0.3 long:60; do
    ffmpeg -y -v error -f lavfi -i "sine=frequency=440:duration=${clip#*:}" -ac 1 -ar 8000 -b:a 8k \
      -map_metadata -1 -id3v2_version 0 -write_xing 0 "$media.${clip%:*}.mp3" || exit 1
  done
  python3 - "$media" "$files" "$media.short.mp3" "$media.long.mp3" << 'PY'
import os, struct, sys
root, files = sys.argv[1], int(sys.argv[2])
short, long = open(sys.argv[3], "rb").read(), open(sys.argv[4], "rb").read()
per = files // 100
def syncsafe(n):
    return bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127])
for d in range(100):
    folder = os.path.join(root, "d%02d" % d)
    os.mkdir(folder)
    for f in range(per):
        title = ("Title %02d-%05d" % (d, f)).encode()
        frame = b"TIT2" + struct.pack(">I", len(title) + 1) + b"\0\0" + b"\0" + title
        tag = b"ID3\x03\x00\x00" + syncsafe(len(frame)) + frame
        with open(os.path.join(folder, "t%05d.mp3" % f), "wb") as out:
            out.write(tag + (long if d == 0 and f == 0 else short))
open(root + ".complete", "w").close()
PY
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/zav2-big-lists.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/Zav2.exe"
# SINGLE: the first entry repeats rather than the list playing on.
printf '%s\r\n' "[SystemSetting]" "SearchSubFolder=ON" "MasterVolume=OFF" "Volume=0" "Mode=SINGLE" \
  > "$work/Zav2.ini"
winpath() { echo "Z:${1//\//\\}"; }
memory() {  # anonymous memory of the running Zav2.exe, kB
  local pid
  for pid in $(pgrep -f "Zav2.exe"); do
    grep -q "big-lists" "/proc/$pid/cmdline" 2> /dev/null || continue
    awk '/^RssAnon/ {print $2}' "/proc/$pid/status"
  done | sort -n | tail -n 1
}
declare -A rss
wine "$2" "$(winpath "$work")" "$(winpath "$(realpath "$media")")" "$files" | while IFS= read -r line; do
  line=${line%$'\r'}
  case "$line" in
    "phase "*)
      rss[${line#phase }]=$(memory)
      if [ "${line#phase }" = opened ] && [ -n "${rss[empty]:-}" ] && [ -n "${rss[opened]:-}" ]; then
        echo "memory: $(( (rss[opened] - rss[empty]) * 1024 / files )) bytes per entry beyond the empty start" \
          "(RssAnon ${rss[empty]} kB empty, ${rss[opened]} kB with the list)"
      fi ;;
    *) echo "$line" ;;
  esac
done
