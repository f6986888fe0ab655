#!/usr/bin/env bash
# The settings file end to end: a first orderly exit writes every key beside
# the program; edited keys come back at the next start (placement, icons,
# check marks, centred text, list font, volume); a named instance uses its
# own file only when one exists; the master volume overrides the Volume key.
#   settings_e2e.sh Zav2.exe zav2-driver.exe artifact-dir
. "$(dirname "$0")/../e2e/lib.sh"

# What the screen shows: icons and menu check marks.
probe() { driver "$@" 2> /dev/null | tr -d '\r'; }
# button_icon [--name N] <control id> <icon id>...: which of the icons (their
# 14-pixel images, on the button's face colour) the button shows on the
# screen: the one whose best place in it differs least.
declare -A icon_file=([111]=topmost_on [112]=list_hidden [113]=list_full [114]=mode_order
  [115]=mode_random [116]=mode_single [117]=topmost_off [126]=mode_once [127]=list_left
  [128]=list_right)
button_icon() {
  local who=() x y w h face icon score best="" best_score=""
  [ "$1" = --name ] && { who=(--name "$2"); shift 2; }
  read -r x y w h <<< "$(probe "${who[@]}" control-rect "$1" --screen)"
  shift
  xwd -root -silent -display "$DISPLAY" | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage "$work/button.png"
  face=$(convert "$work/button.png" -format %c histogram:info: | sort -rn | head -n 1 | grep -o '#[0-9A-Fa-f]\{6\}')
  for icon in "$@"; do
    convert "$repo_dir/src/resources/icons/${icon_file[$icon]}.ico[0]" -background "$face" -flatten "$work/icon.png"
    score=$(compare -metric RMSE -subimage-search "$work/button.png" "$work/icon.png" null: 2>&1 | cut -d' ' -f1)
    if [ -z "$best" ] || awk -v a="$score" -v b="$best_score" 'BEGIN { exit !(a < b) }'; then
      best=$icon best_score=$score
    fi
  done
  echo "$best"
}
ini="$app/Zav2.ini"

# The keys of the file in order, sections in brackets.
keys_of() {
  tr -d '\r' < "$1" | sed -n -e 's/^\(\[[^]]*\]\)$/\1/p' -e 's/^\([^=;[]*\)=.*/\1/p' | tr '\n' ' '
}
value_of() {  # value_of <file> <key>: the first value of the key, blanks trimmed
  tr -d '\r' < "$1" | sed -n "s/^$2=[[:space:]]*//p" | head -n 1
}
run_and_close() {  # run_and_close <instance-name or ""> <check commands run while it is up>
  local name=$1 pid
  shift
  if [ -n "$name" ]; then start_zav2 pid "$name"; else start_zav2 pid; fi
  local named=()
  [ -n "$name" ] && named=(--name "$name")
  if driver "${named[@]}" --timeout 30000 wait-window; then
    "$@"
    driver "${named[@]}" close > /dev/null
  else
    fail "the window of '${name:-unnamed}' appears"
  fi
  wait_exit "$pid" 30
  expect_eq "exit code of '${name:-unnamed}'" 0 "$exit_code"
}

# menu_checks <pattern> [row height]: "row-height N", then "checked" and the
# checked items (from 0) of the open popup menu, whose items (i) and
# separators (-) the pattern lists; then closes it. Its picture is read from
# its own X window: on the virtual display a popup menu is not composed onto
# the screen. A check mark is ink in an item's left margin, left of where the
# unchecked items' text begins; the picture is read again while the menu has
# not painted its text yet.
menu_checks() {
  local x y w h window tries=50 answer
  read -r x y w h <<< "$(probe --timeout 10000 find-window --class "#32768" | sed -n 2p)"
  window=$(xwininfo -root -children -display "$DISPLAY" |
    awk -v place="${w}x${h}+${x}+${y} " 'index($0, "\"zav2.exe\"") && index($0, place) {print $1; exit}')
  while [ -n "$window" ] && [ "$tries" -gt 0 ]; do
    xwd -id "$window" -silent -display "$DISPLAY" | convert xwd:- -depth 8 "rgb:$work/menu.rgb"
    answer=$(python3 - "$work/menu.rgb" "$w" "$h" "$@" << 'PY'
import sys
from collections import Counter
path, width, height, pattern = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
pixels = open(path, 'rb').read()
at = lambda x, y: pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]
background = Counter(pixels[i:i + 3] for i in range(0, len(pixels), 3)).most_common(1)[0][0]
ink = lambda x, y: sum(abs(a - b) for a, b in zip(at(x, y), background)) > 96
items, separators = pattern.count('i'), pattern.count('-')
row = int(sys.argv[5]) if len(sys.argv) > 5 else (height // items if separators == 0 else 0)
separator = (height - items * row) // separators if separators else 0
frame = 2  # the frame line the menu draws along its edge
rows, top = [], 0
for c in pattern:
    step = separator if c == '-' else row
    if c != '-':
        rows.append([x for x in range(frame, width - frame)
                     if any(ink(x, y) for y in range(top + frame, min(top + step - frame, height)))])
    top += step
starts = [r[0] for r in rows if r]
if len(starts) < len(rows):
    sys.exit(1)  # not painted yet
text = max(starts)
checked = [i for i, r in enumerate(rows) if r[0] < text - 2]
print('row-height %d' % row)
print(' '.join(['checked'] + [str(i) for i in checked]))
PY
    ) && break
    tries=$((tries - 1))
    sleep 0.1
  done
  probe find-window --class "#32768" --escape > /dev/null
  printf '%s\n' "$answer"
}

# --- A first start without a file -------------------------------------------
first_start() {
  expect_eq "play-mode button shows ORDER" 114 "$(button_icon 1011 114 115 116 126)"
  expect_eq "top-most button shows off" 117 "$(button_icon 1012 111 117)"
  expect_eq "list button shows left" 127 "$(button_icon 1013 112 113 127 128)"
  default_item_height=$(driver send 0x1A1 0 0 --control 1001)  # LB_GETITEMHEIGHT
}
run_and_close "" first_start
check "an orderly exit writes Zav2.ini" test -s "$ini"
expect_eq "every key in the save order" \
  "[SystemSetting] Volume Mode TopMost ListWidth DefaultListWidth LeftList SearchSubFolder\
 MasterVolume ShowBitmapList ShowBitmapText ShowText CenterText IgnoreError ViewSize x y width\
 height NoStandby NoDisplayOff SingleClickMode NoExt DarkMode AfterActive ReplayGain listFontName\
 textFontName listFontSize textFontSize listFontStyle textFontStyle nowPlaying nowDir\
 nowPosition\
 [UserSetting] CaptureDir " "$(keys_of "$ini")"
for key in Volume ListWidth x y width height listFontSize listFontStyle; do
  check "$key is a number" grep -qE "^$key= ?-?[0-9]+"$'\r'"?$" "$ini"
done
expect_eq "defaults written" "ORDER OFF ON 120 10 380" "$(value_of "$ini" Mode) \
$(value_of "$ini" TopMost) $(value_of "$ini" LeftList) $(value_of "$ini" ListWidth) \
$(value_of "$ini" x) $(value_of "$ini" height)"
# Linked by default: the program volume is the system's master volume.
master=$(value_of "$ini" Volume)

# --- Edited keys come back ----------------------------------------------------
printf '%s\r\n' "; my settings" "[SystemSetting]" "Mode=random" "TopMost=on" "LeftList=OFF" "ListWidth=150" \
  "CenterText=ON" "ShowText=OFF" "IgnoreError=ON" "DarkMode=on" "ReplayGain=album" "x=200" "y=120" "width=480" \
  "height=420" "listFontSize=20" "listFontStyle=768" "textFontName=Tahoma" \
  "MasterVolume=OFF" "Volume=40" "[UserSetting]" "CaptureDir=C:\\caps" > "$ini"
edited_start() {
  expect_eq "the window where the file says" "200 120 480 420" "$(driver window-rect)"
  expect_eq "play-mode button shows RANDOM" 115 "$(button_icon 1011 114 115 116 126)"
  expect_eq "top-most button shows on" 111 "$(button_icon 1012 111 117)"
  expect_eq "list button shows right" 128 "$(button_icon 1013 112 113 127 128)"
  style=$(probe window-style --control 1014)
  check "the text panel is centred" test $((${style:-0} & 1)) -eq 1
  expect_eq "the volume slider shows the key" 40 "$(driver send 0x400 0 0 --control 1010)"
  check "the larger list font makes taller rows" \
    test "$(driver send 0x1A1 0 0 --control 1001)" -gt "${default_item_height:-999}"

  driver post WM_COMMAND 1011 0 > /dev/null
  local play
  play=$(menu_checks iiii)
  expect_eq "play menu: RANDOM alone checked" "checked 1" "$(sed -n 2p <<< "$play")"
  local row
  row=$(sed -n 's/^row-height //p' <<< "$play")
  probe context-menu 1010 > /dev/null
  expect_eq "master-volume menu: unchecked" "checked" "$(menu_checks i "$row" | sed -n 2p)"
  probe context-menu 1014 > /dev/null
  expect_eq "text menu: pictures and centring, not lyrics" "checked 0 2" \
    "$(menu_checks iii-i-ii "$row" | sed -n 2p)"
  probe context-menu caption > /dev/null
  expect_eq "caption menu: ignore errors, loudness by album and dark mode" "checked 1 4 8" \
    "$(menu_checks i-iiiiiii-i "$row" | sed -n 2p)"
  screenshot_window settings-edited
  driver post WM_COMMAND 40030 0 > /dev/null  # 曲ごとに音量を揃える
}
run_and_close "" edited_start
expect_eq "edited values written back" "RANDOM ON OFF 150 ON 40 20 768 Tahoma C:\\caps TRACK" \
  "$(value_of "$ini" Mode) $(value_of "$ini" TopMost) $(value_of "$ini" LeftList) \
$(value_of "$ini" ListWidth) $(value_of "$ini" CenterText) $(value_of "$ini" Volume) \
$(value_of "$ini" listFontSize) $(value_of "$ini" listFontStyle) \
$(value_of "$ini" textFontName) $(value_of "$ini" CaptureDir) $(value_of "$ini" ReplayGain)"
check "the hand-written comment stays at the top" \
  test "$(head -n 1 "$ini" | tr -d '\r')" = "; my settings"

# --- The master volume, not the key ------------------------------------------
sed -i -e 's/^MasterVolume=.*/MasterVolume=ON\r/' -e 's/^Volume=.*/Volume= 40\r/' "$ini"
linked_start() {
  expect_eq "linked: the slider shows the system volume" "$((master))" \
    "$(driver send 0x400 0 0 --control 1010)"
}
run_and_close "" linked_start
expect_eq "linked: the system volume is written at exit" "$master" "$(value_of "$ini" Volume)"

# --- Named instances ---------------------------------------------------------
sed -i 's/^x=.*/x= 260\r/' "$ini"
common_start() {
  expect_eq "-work without its own file reads the common one" "260 120 480 420" \
    "$(driver --name -work window-rect)"
}
run_and_close -work common_start
check_not "-work never creates its own file" test -e "$app/Zav2-work.ini"

printf '%s\r\n' "[SystemSetting]" "Mode=SINGLE" "x=50" "y=60" "width=400" "height=400" \
  > "$app/Zav2-work.ini"
common_sum=$(md5sum < "$ini")
own_start() {
  expect_eq "-work with its own file reads it" "50 60 400 400" "$(driver --name -work window-rect)"
  expect_eq "-work shows its own mode" 116 \
    "$(button_icon --name -work 1011 114 115 116 126)"
}
run_and_close -work own_start
expect_eq "-work writes its own file" "SINGLE 50" \
  "$(value_of "$app/Zav2-work.ini" Mode) $(value_of "$app/Zav2-work.ini" x)"
expect_eq "the common file is untouched" "$common_sum" "$(md5sum < "$ini")"

finish
