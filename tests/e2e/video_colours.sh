#!/usr/bin/env bash
# A 3-second clip that is red, then green, then blue plays in the program;
# screenshots of the whole virtual display taken while it plays show each
# colour inside the text panel (1014), where the video is placed, and the
# picture fills the host it is fitted into (1017): the colour is at points
# near its four corners, not only at native size in its top-left corner.
. "$(dirname "$0")/lib.sh"

clip="$work/colours.mp4"
segment() { echo "color=c=$1:s=320x240:r=25:d=1"; }
ffmpeg -hide_banner -loglevel error -y -f lavfi -i "$(segment red)" -f lavfi -i "$(segment lime)" \
  -f lavfi -i "$(segment blue)" -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=3" \
  -filter_complex "[0:v][1:v][2:v]concat=n=3:v=1:a=0,format=yuv420p[v]" \
  -map "[v]" -map 3:a -c:v libx264 -preset veryfast -g 25 \
  -c:a aac -b:a 96k "$clip" || fail "ffmpeg made the clip"
# SINGLE repeats the clip, so a colour missed on the first pass comes again.
# A wide panel, so that the video is fitted larger than its native size.
printf '%s\r\n' "[SystemSetting]" "MasterVolume=OFF" "Volume=300" "Mode=SINGLE" x=0 y=0 width=720 \
  height=560 ListWidth=150 > "$app/Zav2.ini"

# colours_in <png> <x> <y> <w> <h>: the letters r, g, b for each colour that
# fills at least 400 pixels of that rectangle.
colours_in() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage ppm:- | python3 -c '
import sys
data = sys.stdin.buffer.read()
# P6 header: magic, width, height, maximum, then the pixels.
fields, at = [], 0
while len(fields) < 4:
    while data[at:at + 1].isspace():
        at += 1
    end = at
    while not data[end:end + 1].isspace():
        end += 1
    fields.append(data[at:end])
    at = end
pixels = data[at + 1:]
counts = {"r": 0, "g": 0, "b": 0}
for i in range(0, len(pixels) - 2, 3):
    r, g, b = pixels[i], pixels[i + 1], pixels[i + 2]
    if r > 180 and g < 80 and b < 80:
        counts["r"] += 1
    elif g > 180 and r < 80 and b < 80:
        counts["g"] += 1
    elif b > 180 and r < 80 and g < 80:
        counts["b"] += 1
print("".join(c for c in "rgb" if counts[c] >= 400))
'
}

start_zav2 zav2_pid "$(winpath "$clip")"
check "the program runs" driver --timeout "$start_limit_ms" wait-window
check "the clip is started" quietly driver --timeout 20000 caption "colours.mp4"
read -r px py pw ph <<< "$(driver control-rect 1014 --screen | tr -d '\r')"
check "the panel has a rectangle" test -n "${ph:-}"
echo "panel on the screen: $px $py ${pw}x${ph}"
# The caption comes first; the host is placed once the engine has the video.
fitted() {
  read -r vx vy vw vh <<< "$(driver control-rect 1017 --screen | tr -d '\r')"
  [ "${vw:-0}" -gt 330 ] && [ "${vh:-0}" -gt 250 ]
}
check "the video is fitted larger than its native 320 x 240" until_true 20 fitted
echo "video host on the screen: $vx $vy ${vw}x${vh}"

# corners_of <png>: one letter per corner point of the host (6 pixels in),
# r, g, b or - for anything else.
corners_of() {
  local x y out="" rgb
  for x in $((vx + 6)) $((vx + vw - 7)); do
    for y in $((vy + 6)) $((vy + vh - 7)); do
      rgb=($(convert "$1" -crop "1x1+$x+$y" +repage \
        -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:))
      if [ "${rgb[0]}" -gt 180 ] && [ "${rgb[1]}" -lt 80 ] && [ "${rgb[2]}" -lt 80 ]; then out+=r
      elif [ "${rgb[1]}" -gt 180 ] && [ "${rgb[0]}" -lt 80 ] && [ "${rgb[2]}" -lt 80 ]; then out+=g
      elif [ "${rgb[2]}" -gt 180 ] && [ "${rgb[0]}" -lt 80 ] && [ "${rgb[1]}" -lt 80 ]; then out+=b
      else out+=-; fi
    done
  done
  echo "$out"
}

# Screenshots while the clip repeats, until every colour was seen and filled
# the host, or 60 s. They are taken by a loop of their own and read behind
# it: on a loaded machine a reading takes seconds, and screenshots taken one
# reading apart came once a round of the clip, at the same place in it (red
# and blue seen 19 times, green never).
mkdir -p "$work/shots"
(
  for n in $(seq 1 150); do
    [ -e "$work/shots/stop" ] && break
    import -window root -display "$DISPLAY" "$work/shots/$n.tmp.png" 2> /dev/null &&
      mv "$work/shots/$n.tmp.png" "$work/shots/$n.png"
  done
) &
shooter=$!
seen=""
filled=""
shots=0
next=1
end=$((SECONDS + 60))
while [ "$SECONDS" -lt "$end" ] && [ "${#seen}${#filled}" != 33 ]; do
  shot="$work/shots/$next.png"
  if [ ! -e "$shot" ]; then
    kill -0 "$shooter" 2> /dev/null || break
    sleep 0.1
    continue
  fi
  next=$((next + 1))
  shots=$((shots + 1))
  found=$(colours_in "$shot" "$px" "$py" "$pw" "$ph")
  corners=$(corners_of "$shot")
  case $corners in rrrr | gggg | bbbb) [[ "$filled" == *"${corners:0:1}"* ]] || filled+=${corners:0:1} ;; esac
  for c in r g b; do
    if [[ "$found" == *"$c"* && "$seen" != *"$c"* ]]; then
      seen="$seen$c"
      cp "$shot" "$artifacts/colour-$c.png"
      echo "screenshot: $artifacts/colour-$c.png"
    fi
  done
  rm -f "$shot"
done
touch "$work/shots/stop"
wait "$shooter"
echo "$shots screenshots; colours seen in the panel: [$seen]; filling the host: [$filled]"
cp "$shot" "$artifacts/last.png" 2> /dev/null
for c in r g b; do
  name=$(case $c in r) echo red ;; g) echo green ;; b) echo blue ;; esac)
  check "the panel shows $name on a screenshot of the display" test "${seen/$c/}" != "$seen"
  check "$name fills the fitted video to its four corners" test "${filled/$c/}" != "$filled"
done
quietly driver close
wait_exit "$zav2_pid" 20

finish
