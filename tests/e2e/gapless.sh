#!/usr/bin/env bash
# Entries that follow one another: WAV tones of different pitch (and rate) play through
# in ORDER mode and are heard from the null sink whole, in order and joined
# (the next entry is opened while one plays and follows its last sample),
# also while rows are clicked up to a join. While the fourth plays, the fifth, which was
# to come next and is held ready, is removed from the list: the first one
# follows, never the removed one.
. "$(dirname "$0")/lib.sh"

tones="$work/tones"
mkdir -p "$tones"
# The fourth lasts long enough for the list edit to be made while it plays:
# beside busy cores a driver call takes a second or more, and the clicks
# below saw its caption five seconds late (with 8 s, the fifth had begun).
pitches=(500 750 1000 1250 1500)
lengths=(2 2 2 12 2)
# The second is at 48 kHz: the stream takes every rate, so the joins into
# and out of it are as close as the others.
rates=(44100 48000 44100 44100 44100)
for n in 0 1 2 3 4; do
  hz=${pitches[$n]}
  ffmpeg -loglevel error -y -f lavfi -i "aevalsrc=0.5*sin(2*PI*$hz*t):s=${rates[$n]}:d=${lengths[$n]}" \
    -ac 2 -c:a pcm_s16le "$tones/0$((n + 1)) tone $hz.wav" || fail "ffmpeg made the $hz Hz tone"
done
printf '%s\r\n' "[SystemSetting]" "MasterVolume=OFF" "Volume=1000" "Mode=ORDER" > "$app/Zav2.ini"

rate=16000
recording="$work/sink.raw"
parec -d zav2_null.monitor --format=s16le --rate=$rate --channels=1 --raw --latency-msec=10 \
  > "$recording" 2> /dev/null &
parec_pid=$!
caption_is() {
  quietly driver --timeout "${2:-10000}" caption "$1" && return 0
  echo "caption: [$(driver caption | tr -d '\r')]"
  return 1
}

# The program's own lines on its stream (when the next entry was opened, when
# the stream had nothing queued), from its standard error, are printed with
# the runs below: beside busy cores a join came late now and then, and they
# tell whose step was late.
launch zav2_pid "$(winpath "$tones")"
check "the first tone plays" caption_is "01 tone 500.wav" 20000
check "then the second" caption_is "02 tone 750.wav" 6000
check "the third" caption_is "03 tone 1000.wav" 6000
# Clicks on rows while the third plays out, up to its join, keep the fourth
# held ready: a click once threw it away, and a piece of it sounded before
# the third's end.
row_height=$(driver send 0x1A1 0 0 --control 1001 | tr -d '\r')  # LB_GETITEMHEIGHT
read -r lx ly lw _ <<< "$(driver control-rect 1001 --screen | tr -d '\r')"
clicks=0
until [ "$(driver caption | tr -d '\r')" = "04 tone 1250.wav" ] || [ "$clicks" -ge 200 ]; do
  xdotool mousemove --sync $((lx + lw / 2)) $((ly + 2 + row_height * (clicks % 2) + row_height / 2)) \
    click 1
  clicks=$((clicks + 1))
done
echo "clicks on rows while the third played: $clicks"
check "the fourth" caption_is "04 tone 1250.wav" 6000

# A second into the fourth tone the fifth is held ready; removing it from
# the list must let the first follow.
sleep 1
edited_at=$(($(stat -c %s "$recording") / 2 * 2))
quietly driver send 0x0185 0 -1 --control 1001  # LB_SETSEL: none
quietly driver send 0x0185 1 4 --control 1001   # the fifth row
quietly driver key DELETE --control 1001
check "the removed entry leaves the list" quietly driver --timeout 5000 list-count 4
check "the entry after the removed one follows" caption_is "01 tone 500.wav" 12000
sleep 1

# tones_heard <recording part>: the runs and gaps tools/tone-runs finds.
tones_heard() {
  "$repo_dir/tools/tone-runs" "$1" $rate "${pitches[@]}"
}
head -c "$edited_at" "$recording" > "$work/before.raw"
tail -c +$((edited_at + 1)) "$recording" > "$work/after.raw"
runs="$(tones_heard "$work/before.raw")
$(tones_heard "$work/after.raw")"
echo "$runs"
grep -a '^zav2: ' "$work/zav2.log" | sed 's/^/program: /'
# Runs of one tone on both sides of the edit are one run.
heard=$(awk '$1 == "run" {
    if (n && $2 == hz[n]) { length_of[n] += $4 } else { n++; hz[n] = $2; length_of[n] = $4 } }
  END { for (i = 1; i <= n; i++) printf "%s %.2f\n", hz[i], length_of[i] }' <<< "$runs")
expect_eq "the tones are heard in order, the removed one never" "500 750 1000 1250 500" \
  "$(awk '{printf "%s%s", (NR > 1 ? " " : ""), $1}' <<< "$heard" | cut -d' ' -f1-5)"
# Audio entries sound through the program's own stream, written sample after
# sample from one entry into the next: each tone is heard whole and every
# join is within 20 ms (the recording's own error is a tenth of a ms; the
# allowance is for a stall of Wine's sound server, which drops a period).
expect_eq "each is heard whole" "ok ok ok ok" \
  "$(awk -v lengths="${lengths[*]}" 'BEGIN { split(lengths, want, " ") }
     NR <= 4 { printf "%s%s", (NR > 1 ? " " : ""), ($2 >= want[NR] - 0.1 ? "ok" : $0) }' <<< "$heard")"
gaps=$(awk '$1 == "gap" {printf "%s>%s %s  ", $2, $3, $4}' <<< "$runs")
echo "gaps (ms): $gaps"
expect_eq "every join is within 20 ms" "" \
  "$(awk '$1 == "gap" && ($4 > 20 || $4 < -20) {print}' <<< "$runs")"

close_zav2 "$zav2_pid"
kill "$parec_pid" 2> /dev/null
wait "$parec_pid" 2> /dev/null
finish
