#!/usr/bin/env bash
# Makes the media the engine tests play, with ffmpeg, into the folder given:
#   tone440.wav / tone440.mp3  5 s of a 440 Hz sine
#   colours.mp4   320x240, 25 fps H.264 + AAC, one solid colour per second:
#                 red, lime, blue, yellow (then the last frame until 4 s)
#   hd720.mp4     1280x720, 30 fps H.264 test pattern, 12 s, with sound
#   "with space/日本語 テスト.mp3"  a copy of tone440.mp3
#   clicks.mp3    2 s at 44.1 kHz, silent but for a click on its first and
#                 on its last sample, LAME-encoded (delay and padding around)
# Runs once per folder: an existing complete set is kept, and files added to
# it since are made where missing.
set -eu
out=${1:?usage: make_test_media.sh OUTDIR}
mkdir -p "$out"

ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }

if [ ! -f "$out/clicks.mp3" ]; then
  ff -f lavfi -i "aevalsrc='0.9*(eq(n,0)+eq(n,88199))':s=44100:d=2" -ac 2 -c:a libmp3lame -b:a 192k \
    "$out/clicks.mp3"
fi
[ -f "$out/.complete" ] && exit 0

ff -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=5" -ac 2 -c:a pcm_s16le "$out/tone440.wav"
ff -i "$out/tone440.wav" -c:a libmp3lame -b:a 128k "$out/tone440.mp3"

segment() { echo "color=c=$1:s=320x240:r=25:d=1"; }
ff -f lavfi -i "$(segment red)" -f lavfi -i "$(segment lime)" \
   -f lavfi -i "$(segment blue)" -f lavfi -i "$(segment yellow)" \
   -f lavfi -i "sine=frequency=660:sample_rate=44100:duration=4" \
   -filter_complex "[0:v][1:v][2:v][3:v]concat=n=4:v=1:a=0,format=yuv420p[v]" \
   -map "[v]" -map 4:a -c:v libx264 -preset veryfast -g 25 -c:a aac -b:a 96k \
   "$out/colours.mp4"

ff -f lavfi -i "testsrc2=s=1280x720:r=30:d=12" \
   -f lavfi -i "sine=frequency=330:sample_rate=44100:duration=12" \
   -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 96k "$out/hd720.mp4"

mkdir -p "$out/with space"
cp "$out/tone440.mp3" "$out/with space/日本語 テスト.mp3"
touch "$out/.complete"
