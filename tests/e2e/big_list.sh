#!/usr/bin/env bash
# A folder of thousands of tagged MP3s opens with the window answering
# throughout: the rows come at once by file name and the titles follow.
# Commands given while titles are still being read (removing the first rows,
# sort, next) leave every row with its own file's title.
. "$(dirname "$0")/lib.sh"

# Enough that the titles are still being read, on a quiet machine too, when
# the commands come.
folders=100
per=200
media="$work/library"
mkdir -p "$media"
# Real MP3s without tags, each behind its own ID3v2.3 title "Title
# <folder>-<file>": a minute long in the first folder (what plays there
# keeps playing while the scenario works), a short tone elsewhere.
for clip in short:0.3 long:60; do
  ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=${clip#*:}" -ac 1 -ar 8000 -b:a 8k \
    -map_metadata -1 -id3v2_version 0 -write_xing 0 "$work/${clip%:*}.mp3"
done
python3 - "$media" "$work" "$folders" "$per" << 'PY'
import os, struct, sys
root, clips, folders, per = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
short = open(os.path.join(clips, "short.mp3"), "rb").read()
long = open(os.path.join(clips, "long.mp3"), "rb").read()
def syncsafe(n):
    return bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127])
for d in range(folders):
    folder = os.path.join(root, "d%02d" % d)
    os.mkdir(folder)
    for f in range(per):
        title = ("Title %02d-%05d" % (d, f)).encode()
        frame = b"TIT2" + struct.pack(">I", len(title) + 1) + b"\0\0" + b"\0" + title
        with open(os.path.join(folder, "t%05d.mp3" % f), "wb") as out:
            out.write(b"ID3\x03\x00\x00" + syncsafe(len(frame)) + frame + (long if d == 0 else short))
PY
total=$((folders * per))
# SINGLE: the playing entry repeats rather than the list playing on.
printf '%s\r\n' "[SystemSetting]" "SearchSubFolder=ON" "MasterVolume=OFF" "Volume=0" "Mode=SINGLE" \
  > "$app/Zav2.ini"

launch zav2_pid "$(winpath "$media")"
# Until every row is listed the window keeps answering (the first entry's
# start may hold it while the engine gets ready, as on any start).
answered=yes
for _ in $(seq 1 200); do
  rows=$(driver --timeout 4000 send 0x18B 0 0 --control 1001 | tr -d '\r') || answered=no  # LB_GETCOUNT
  [ "$rows" = "$total" ] && break
done
expect_eq "the window answers while the folder opens" yes "$answered"
check "every file is listed" quietly driver --timeout 60000 list-count "$total"

# The open starts the first entry, which selects its row once the engine is
# ready: the commands come after that, or it takes their selection away.
check "the first entry plays" quietly driver --timeout 20000 caption "Title 00-00000" --contains
idle
check "rows 0 to 4 are selected" until_true 10 set_selection 0 1 2 3 4
# The last row shows its file name ("t00099.mp3") until its title is read.
row_length() { driver send 0x18A "$1" 0 --control 1001 | tr -d '\r'; }  # LB_GETTEXTLEN
expect_eq "titles are still being read when the commands come" 10 "$(row_length $((total - 1)))"
quietly driver send WM_COMMAND 1500 0                   # remove from the list
quietly driver send WM_COMMAND 2900 0                   # sort
check "Down plays the next entry" quietly driver key DOWN --control 1001

# Rows in sorted order, the first five files gone, each with its own title.
expected=$(for d in $(seq 0 $((folders - 1))); do
  for f in $(seq 0 $((per - 1))); do printf 'Title %02d-%05d\n' "$d" "$f"; done
done | tail -n +6)
titled=no
for _ in $(seq 1 60); do
  [ "$(row_length $((total - 6)))" = 14 ] && titled=yes && break
  sleep 0.5
done
expect_eq "the titles are all read" yes "$titled"
# A look at a row crosses to the program and back twice: all 20,000 took 45 s
# beside two other scenarios. The rows are sampled here, and the list written
# at exit pairs every entry's title with its file below.
# same_lines <description> <expected> <got>: equal texts of many lines; a
# difference prints its first lines only.
same_lines() {
  if [ "$2" = "$3" ]; then
    pass "$1"
  else
    fail "$1"
    diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | head -n 12
  fi
}
same_lines "every 41st row shows its own file's title" "$(sed -n '1~41p' <<< "$expected")" \
  "$(driver list-items 41 | tr -d '\r')"
check "the caption shows the playing entry's title" \
  quietly driver --timeout 10000 caption "Title 00-00006" --contains
close_zav2 "$zav2_pid"
# Each entry of the resume list as its title and its file's numbers
# ("...\d00\t00006.mp3" is 00-00006).
resumed=$(tr -d '\r' < "$app/Zav2.m3u8" | awk '
  /^#EXTINF:/ { sub(/^#EXTINF:[^,]*,/, ""); title = $0; next }
  /\.mp3$/ { file = $0; sub(/.*[\\\/]d/, "", file); sub(/\.mp3$/, "", file); sub(/[\\\/]t/, "-", file)
    print title " <- " file; title = "" }')
same_lines "the resume list keeps every entry in order, each with its own file's title" \
  "$(sed 's/^Title \(.*\)$/Title \1 <- \1/' <<< "$expected")" "$resumed"

# The resume list is read between messages too: closed as soon as the window
# shows, the program still writes the whole list back.
launch zav2_pid
close_zav2 "$zav2_pid"
expect_eq "closing while the resume list is read keeps every entry" $((total - 5)) \
  "$(grep -c '^Z:' "$app/Zav2.m3u8")"

# --- Rows past 65,535 are themselves: the list box answers a point's row in
# 16 bits, which named row 34,463 for row 99,999. A right-click near the last
# of 70,000 rows selects that row, and the menu's 削除 recycles its file.
many="$work/many"
mkdir -p "$many"
export XDG_DATA_HOME="$work/xdg"  # Wine's recycle bin: the desktop's trash
mkdir -p "$XDG_DATA_HOME"
# Hard links, a few thousand to a file (a file takes at most 65,000).
python3 - "$many" "$work/short.mp3" << 'PY'
import os, shutil, sys
folder, clip = sys.argv[1], sys.argv[2]
for n in range(70000):
    source = "%s.%d" % (clip, n // 5000)
    if n % 5000 == 0:
        shutil.copyfile(clip, source)
    os.link(source, os.path.join(folder, "m%05d.mp3" % n))
PY
# The first plays on (a short one would repeat, and each start reveals it).
rm "$many/m00000.mp3"
cp "$work/long.mp3" "$many/m00000.mp3"
printf '%s\r\n' "[SystemSetting]" "MasterVolume=OFF" "Volume=0" "Mode=SINGLE" > "$app/Zav2.ini"
launch zav2_pid "$(winpath "$many/m00000.mp3")"
check "70,000 rows are listed" quietly driver --timeout 60000 list-count 70000
# Its start reveals the first row: scrolled only after that, the end stays.
check "the first entry plays" quietly driver --timeout 30000 caption --contains m00000
idle  # the start is over: its selection and panel are in place
end_in_view() {
  quietly driver send 0x197 69999 0 --control 1001  # LB_SETTOPINDEX
  idle
  [ "$(driver send 0x18E 0 0 --control 1001 | tr -d '\r')" -gt 69000 ]  # LB_GETTOPINDEX
}
check "the end stays in view" until_true 20 end_in_view
x_window=$(xdotool search --onlyvisible --classname 'zav2.exe' | head -n 1)
xdotool windowfocus --sync "$x_window" 2> /dev/null || xdotool windowfocus "$x_window"
top=$(driver send 0x18E 0 0 --control 1001 | tr -d '\r')           # LB_GETTOPINDEX
row_height=$(driver send 0x1A1 0 0 --control 1001 | tr -d '\r')    # LB_GETITEMHEIGHT
read -r lx ly lw _ <<< "$(driver control-rect 1001 --screen | tr -d '\r')"
xdotool mousemove --sync $((lx + lw / 2)) $((ly + 2 + (69999 - top) * row_height + row_height / 2)) \
  click 3
check "the list's menu shows" quietly driver --timeout 5000 find-window --class "#32768"
expect_eq "the right-click selects row 69,999" 69999 "$(driver list-selected | tr -d '\r')"
xdotool key Down Down Down Down Down Down Down Down Down Return  # the ninth item: 削除
expect_eq "削除 asks first" "選択されたファイルを削除します。" \
  "$(driver --timeout 15000 message-box --press ok | tr -d '\r')"
check "row 69,999 leaves the list" quietly driver --timeout 10000 list-count 69999
check_not "its file is recycled" test -e "$many/m69999.mp3"
check "the file of row 34,463 stays" test -e "$many/m34463.mp3"
close_zav2 "$zav2_pid"

finish
