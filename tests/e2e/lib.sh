# Shared steps of the end-to-end scenarios, sourced by each of them.
#
# CTest starts a scenario through tools/wine-run (private Wine prefix, Xvfb,
# PulseAudio) as:  <scenario.sh> <Zav2.exe> <zav2-driver.exe> <artifact dir>
# The scenario works in a temporary copy of the program's folder, so the files
# the program writes beside itself (INI, resume list) land there.
set -u

if [ $# -lt 3 ]; then
  echo "usage: $0 Zav2.exe zav2-driver.exe artifact-dir (through tools/wine-run)" >&2
  exit 2
fi
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "$0: run me through tools/wine-run" >&2
  exit 2
fi

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo_dir=$(cd "$e2e_dir/../.." && pwd)
artifacts=$3
mkdir -p "$artifacts"
work=$(mktemp -d "${TMPDIR:-/tmp}/zav2-e2e.XXXXXX")
app="$work/app"
mkdir -p "$app"
# "none" in place of Zav2.exe: a scenario of the driver alone.
[ "$1" = none ] || cp "$1" "$app/Zav2.exe"
cp "$2" "$app/zav2-driver.exe"
# ZAV2_E2E_KEEP=1 keeps the work folder (the program's log, its files) to look at.
trap 'driver_serve_stop; [ -n "${ZAV2_E2E_KEEP:-}" ] || rm -rf "$work"' EXIT

passed=0
failed=0
exit_code=""
# Each line carries the seconds since the scenario began: where it waits shows.
began=${EPOCHREALTIME/./}
elapsed() {
  local now=${EPOCHREALTIME/./}
  printf '%6.1f' "$(((now - began) / 100000))e-1"
}

# sleep <seconds>: waits in this shell, on a pipe nobody writes to. The
# scenarios poll every tenth of a second, and beside two other scenarios the
# forks of the sleep program cost more processor time than the polls.
mkfifo "$work/nap"
exec {nap_fd}<> "$work/nap"
sleep() {
  read -r -t "$1" -u "$nap_fd" _ || :
}

pass() {
  passed=$((passed + 1))
  echo "$(elapsed) ok: $1"
}

fail() {
  failed=$((failed + 1))
  echo "$(elapsed) FAIL: $1"
}

# check <description> <command...>: passes when the command succeeds.
check() {
  local description=$1
  shift
  if "$@"; then pass "$description"; else fail "$description"; fi
}

# check_not <description> <command...>: passes when the command fails.
check_not() {
  local description=$1
  shift
  if "$@"; then fail "$description"; else pass "$description"; fi
}

# eventually <description> <command...>: passes once the command succeeds,
# tried every 0.1 s for up to 20 s: for what the program does in its own time.
eventually() {
  local description=$1
  shift
  if until_true 20 "$@"; then pass "$description"; else fail "$description"; fi
}

# deadline <seconds>: the moment (microseconds) that many seconds from now;
# past <deadline>: whether it has come. Waits are counted in seconds, not in
# tries: beside busy cores one try (a driver call, a Python check) can take a
# second, and a wait of 150 tries then took minutes.
deadline() {
  local now=${EPOCHREALTIME/./}
  echo $((now + $1 * 1000000))
}
past() {
  local now=${EPOCHREALTIME/./}
  [ "$now" -ge "$1" ]
}

# until_true <seconds> <command...>: succeeds once the command does, tried
# every 0.1 s; a last try comes when the time is up.
until_true() {
  local ends
  ends=$(deadline "$1")
  shift
  until "$@"; do
    past "$ends" && return 1
    sleep 0.1
  done
}

# expect_soon <description> <expected> <command...>: passes once the command
# prints the expected text, asked every 0.1 s for up to 20 s.
expect_soon() {
  local description=$1 expected=$2 got="" ends
  ends=$(deadline 20)
  shift 2
  while :; do
    got=$("$@")
    [ "$got" = "$expected" ] && break
    past "$ends" && break
    sleep 0.1
  done
  expect_eq "$description" "$expected" "$got"
}

# idle: returns once the main window has handled everything sent before (a
# sent WM_NULL comes back when its thread is at its message loop again), so
# that a check that nothing happened comes after the command has ended. A
# posted message may still wait then: the thread takes sent ones first.
idle() {
  quietly driver --timeout 30000 send 0 0 0
}

# list_items: the list's rows, one per line. Titles are read after the rows
# are listed, so a check of them waits with expect_soon.
list_items() {
  driver list-items | tr -d '\r'
}

# set_selection <row...>: selects exactly these rows of the list; succeeds
# when they read back so. A start selects its own row once the engine is
# ready, so a caller repeats it (until_true) until the selection holds.
set_selection() {
  quietly driver send 0x185 0 -1 --control 1001  # LB_SETSEL: none
  for row in "$@"; do quietly driver send 0x185 1 "$row" --control 1001; done
  idle
  [ "$(driver list-selected | tr -d '\r' | tr '\n' ' ')" = "$* " ]
}

expect_eq() {
  if [ "$2" = "$3" ]; then
    pass "$1"
  else
    fail "$1: expected [$2], got [$3]"
  fi
}

quietly() {
  "$@" > /dev/null 2>&1
}

# driver <arguments...>: zav2-driver. Short commands go to one driver kept
# running for the scenario (zav2-driver serve): a Wine process started for
# every poll cost a third of a second of processor time, and with several
# scenarios side by side that slowed the program under test past its own
# limits. Commands that run on beside the scenario (fake-instance,
# hold-clipboard) get a process of their own.
driver_pid=""
driver() {
  local word line own=${driver_pid:+no}
  # A kept driver that has died would leave its pipe without a reader, and
  # the write below waiting for ever.
  [ -z "$own" ] || kill -0 "$driver_pid" 2> /dev/null || own=""
  for word in "$@"; do
    case $word in fake-instance | hold-clipboard | *$'\n'* | *$'\x1f'*) own="" ;; esac
  done
  if [ -z "$own" ]; then
    wine "$app/zav2-driver.exe" "$@"
    return
  fi
  # One command at a time (a pipeline can hold two: `driver a | sed
  # "$(driver b)"`). The answer is read whole before it is printed, and known
  # by its tag: a reader that stops early (grep -q) must not leave it to the
  # next command.
  local tag="$BASHPID.$RANDOM"
  (
    flock 9
    out=""
    IFS=$'\x1f'
    printf '%s\n' "$tag$IFS$*" > "$work/driver.in" || exit 2
    while IFS= read -r line; do
      case $line in
        $'\x1e'"$tag "*)
          line=${line#$'\x1e'"$tag "}
          printf '%s' "$out"
          exit "${line%$'\r'}"
          ;;
        $'\x1e'*) out="" ;; # the end of an answer left unread
        *) out+="$line"$'\n' ;;
      esac
    done < "$work/driver.out"
    exit 2
  ) 9> "$work/driver.lock"
}

# driver_serve_start, driver_serve_stop: the kept driver. Both its pipes
# are opened for reading and writing on its side, so that no process of the
# scenario holds them open and each command opens them afresh. It is stopped
# where a step waits for every Wine process to end, and at the end. The
# first Wine process starts the wineserver, which opens files for every
# process in its own view of the mounts: a scenario that mounts folders sets
# driver_serve=later and starts the kept driver after its mounts.
driver_serve_start() {
  rm -f "$work/driver.in" "$work/driver.out"
  mkfifo "$work/driver.in" "$work/driver.out"
  wine "$app/zav2-driver.exe" serve <> "$work/driver.in" 1<> "$work/driver.out" &
  driver_pid=$!
}
driver_serve_stop() {
  [ -n "$driver_pid" ] || return 0
  echo > "$work/driver.in"  # an empty line ends it
  wait "$driver_pid" 2> /dev/null
  driver_pid=""
}
[ "${driver_serve:-}" = later ] || driver_serve_start

# no_instance: no window carries the instance marker.
no_instance() {
  [ "$(driver "$@" marker-count | tr -d '\r')" = 0 ]
}

# visible <control id>: the instance's control is shown (WS_VISIBLE).
visible() {
  local style
  style=$(driver window-style --control "$1" | tr -d '\r') && [ $((style & 0x10000000)) -ne 0 ]
}

# media_key <vk>: a media or volume key as the program's hot key brings it:
# WM_HOTKEY with the one id the program registers them under, the key in the
# high word.
media_key() {
  quietly driver post WM_HOTKEY 2409 $(($1 << 16))
}

# A Linux path as the program sees it (Wine's Z: drive).
winpath() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s' "${path//\//\\}"
}

# start_zav2 <pid variable> [arguments...]: starts the program in the
# background from its folder.
start_zav2() {
  local variable=$1
  shift
  (cd "$app" && exec wine "$app/Zav2.exe" "$@") >> "$work/zav2.log" 2>&1 &
  printf -v "$variable" '%s' $!
}

# How long a start of the program is waited for, in ms. The first start in a
# fresh prefix also starts Wine's own services and desktop: beside busy cores
# that alone took over a minute.
start_limit_ms=90000

# launch <pid variable> [arguments...]: start_zav2, and its window must come.
launch() {
  start_zav2 "$@"
  check "the program runs" driver --timeout "$start_limit_ms" wait-window
}

# close_zav2 <pid>: closes the instance in order, which must end with exit
# code 0.
close_zav2() {
  check "the program closes" driver close
  wait_exit "$1" 30
  expect_eq "exit code" 0 "$exit_code"
}

# run_zav2 <seconds> [arguments...]: runs the program in the foreground with a
# time limit; exit_code is its exit code, or 124 when the limit was reached.
run_zav2() {
  local limit=$1
  shift
  (cd "$app" && exec timeout "$limit" wine "$app/Zav2.exe" "$@") >> "$work/zav2.log" 2>&1
  exit_code=$?
}

# wait_exit <pid> <seconds>: exit_code becomes the process's exit code, or
# "running" when it has not ended in time.
wait_exit() {
  local pid=$1 ends
  ends=$(deadline "$2")
  while ! past "$ends" && kill -0 "$pid" 2> /dev/null; do
    sleep 0.1
  done
  if kill -0 "$pid" 2> /dev/null; then
    exit_code=running
  else
    wait "$pid"
    exit_code=$?
  fi
  # This Wine's quirk, kept here alone: now and then the closing process is
  # killed by SIGSEGV (128 + 11) inside the Unix side of its audio and
  # decoding libraries, after the program has written everything and ended.
  # A fault in the program's own code ends in a Windows exception and its
  # code instead, which the checks still see.
  if [ "$exit_code" = 139 ]; then
    echo "note: Wine's libraries crashed as the program ended (SIGSEGV); taken as its exit 0"
    exit_code=0
  fi
}

# screenshot <name> [x y w h]: the virtual display, or that part of it, as
# <artifact dir>/<name>.png.
screenshot() {
  local name=$1 crop=()
  if [ $# -eq 5 ]; then
    crop=(-crop "${4}x${5}+${2}+${3}" +repage)
  fi
  if xwd -root -silent -display "$DISPLAY" | convert xwd:- "${crop[@]}" "png:$artifacts/$name.png"; then
    echo "screenshot: $artifacts/$name.png"
  fi
}

# The client area of the instance (default name) on the screen; without a
# window manager there is no caption to show.
screenshot_window() {
  local rect
  rect=$(driver "${@:2}" window-rect --client) && screenshot "$1" $rect
}

# video_colour: r, g, b or - for the colour at the centre of the video host
# (control 1017) as the screen shows it.
video_colour() {
  local x y w h rgb
  read -r x y w h <<< "$(driver control-rect 1017 --screen | tr -d '\r')"
  [ -n "${h:-}" ] && [ "$w" -gt 0 ] && [ "$h" -gt 0 ] || { echo -; return; }
  rgb=($(xwd -root -silent -display "$DISPLAY" | convert xwd:- \
    -crop "1x1+$((x + w / 2))+$((y + h / 2))" +repage \
    -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info: 2> /dev/null))
  if [ "${#rgb[@]}" -ne 3 ]; then echo -
  elif [ "${rgb[0]}" -gt 180 ] && [ "${rgb[1]}" -lt 80 ] && [ "${rgb[2]}" -lt 80 ]; then echo r
  elif [ "${rgb[1]}" -gt 180 ] && [ "${rgb[0]}" -lt 80 ] && [ "${rgb[2]}" -lt 80 ]; then echo g
  elif [ "${rgb[2]}" -gt 180 ] && [ "${rgb[0]}" -lt 80 ] && [ "${rgb[1]}" -lt 80 ]; then echo b
  else echo -; fi
}

# wait_for_video_colour <r|g|b> <seconds>: true once the screen shows that
# colour in the video host, as a user would see it.
wait_for_video_colour() {
  local until=$((SECONDS + $2))
  while [ "$SECONDS" -lt "$until" ]; do
    [ "$(video_colour)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# Media made by tools/make-demo-library (cached outside the tree).
demo_library() {
  "$repo_dir/tools/make-demo-library"
}

# finish: the closing count; non-zero exit when anything failed.
finish() {
  echo "$passed passed, $failed failed"
  if [ "$failed" -ne 0 ] && [ -s "$work/zav2.log" ]; then
    echo "--- program output ---"
    tail -n 40 "$work/zav2.log"
  fi
  [ "$failed" -eq 0 ]
}
