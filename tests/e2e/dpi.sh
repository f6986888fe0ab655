#!/usr/bin/env bash
# The window at 96, 120, 144 and 192 DPI (the prefix's LogPixels), from the
# same settings file: the play button's glyph on the screen is the one the
# icon image drawn for that DPI holds (14, 18, 21, 28 pixels), the list shows
# the same rows, the text panel's text grows with the DPI and is whole, and
# the file written at exit holds the sizes it was given. At 96 DPI a
# WM_DPICHANGED to 192 DPI with a new rectangle lays the window out again with
# the 28-pixel icons.
. "$(dirname "$0")/lib.sh"

ico="$repo_dir/src/resources/icons/play.ico"
# Image index in the icon file by size (tools/make-icons.py's order).
declare -A index=([14]=0 [18]=2 [21]=4 [28]=6)
ini=$'[SystemSetting]\r\nx=0\r\ny=0\r\nwidth=300\r\nheight=380\r\nListWidth=120\r\nDefaultListWidth=120\r\n'

ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "sine=frequency=440:duration=30" \
  -c:a libmp3lame -b:a 64k -id3v2_version 0 "$work/tone.mp3"
printf 'Zav2 の表示\n' > "$work/tone.txt"

set_dpi() {
  driver_serve_stop  # the new DPI is read by processes started after it
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f > /dev/null 2>&1
  wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f > /dev/null 2>&1
  # Wine's session keeps the DPI it started with: it is ended (its registry
  # written out) rather than waited out for its idle seconds.
  wineserver -k
  wineserver -w
  driver_serve_start
}

# green <image> [crop]: width and height of the green glyph (the play icon's
# colour) in the image, on white where the image is transparent.
green() {
  convert "$1" ${2:+-crop "$2" +repage} -background white -flatten \
    -fx 'g - max(r, b) > 0.2 ? 1 : 0' -bordercolor black -border 1 -trim -format '%w %h' info:
}

# ink <image> <crop>: width and height of the dark text in the image.
ink() {
  convert "$1" -crop "$2" +repage -colorspace gray -threshold 50% -negate \
    -bordercolor black -border 1 -trim -format '%w %h' info:
}

# check_icon <shot> <size>
check_icon() {
  local shot=$1 size=$2 want got
  read -r x y w h <<< "$(driver control-rect 1004 --screen | tr -d '\r')"
  want=$(green "$ico[${index[$size]}]")
  got=$(green "$artifacts/$shot.png" "${w}x${h}+${x}+${y}")
  check "$shot: the play glyph ($got) is the $size-pixel image's ($want)" test "$got" = "$want"
}

printf 'Zav2 の表示\n' > "$work/panel.txt"
for dpi in 96 120 144 192; do
  set_dpi $dpi
  size=$(((14 * dpi + 48) / 96))
  printf '%s' "$ini" > "$app/Zav2.ini"
  launch zav2_pid "$(winpath "$work/tone.mp3")"
  check "$dpi DPI: the tone plays" quietly driver --timeout 20000 caption tone --contains
  idle  # the start is over: its selection and panel are in place
  sleep 1
  screenshot "dpi-$dpi"
  check_icon "dpi-$dpi" $size
  read -r rows row_height <<< "$(driver list-rows | tr -d '\r')"
  echo "$dpi DPI: $rows rows of $row_height pixels"
  [ $dpi = 96 ] && rows96=$rows
  expect_eq "$dpi DPI: the list shows the rows it shows at 96 DPI" "$rows96" "$rows"
  read -r cx cy _ _ <<< "$(driver window-rect --client | tr -d '\r')"
  read -r px py pw ph <<< "$(driver control-rect 1014 | tr -d '\r')"
  read -r tw th <<< "$(ink "$artifacts/dpi-$dpi.png" "$((pw * 2 / 3))x$((ph / 2))+$((cx + px + 3))+$((cy + py + 3))")"
  echo "$dpi DPI: the text's ink is $tw x $th"
  [ $dpi = 96 ] && { tw96=$tw; th96=$th; }
  # Whole, and grown with the DPI: within a tenth of 96 DPI's scaled.
  check "$dpi DPI: the panel's text (${tw}x$th) is 96 DPI's (${tw96}x$th96) scaled" \
    python3 -c "import sys; r = $dpi / 96; sys.exit(not (abs($tw - $tw96 * r) <= $tw96 * r / 10 + 2 and abs($th - $th96 * r) <= $th96 * r / 10 + 2))"
  if [ $dpi = 96 ]; then
    # WM_DPICHANGED: wParam the new DPI twice, lParam the suggested RECT.
    read -r x y w h <<< "$(driver window-rect | tr -d '\r')"
    quietly driver dpi-changed 192 $x $y $((w * 2)) $((h * 2))
    sleep 1
    screenshot "dpi-96-changed-192"
    check_icon "dpi-96-changed-192" 28
  fi
  close_zav2 "$zav2_pid"
  if [ $dpi != 96 ]; then
    expect_eq "$dpi DPI: the file keeps the 96-DPI sizes" "width=300 height=380 ListWidth=120" \
      "$(grep -E '^(width|height|ListWidth)=' "$app/Zav2.ini" | tr -d '\r' | sort -r | tr '\n' ' ' | sed 's/ $//')"
  fi
done
finish
