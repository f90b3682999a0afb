# Shared by the end-to-end scripts: a real X server (Xvfb) with a window manager (openbox),
# the program started on it with its own temporary folders, and the user's keyboard through
# xdotool. Sourced after `program` is set; everything started here is ended by pid on exit.
main_title="Zip Files XML Docora"
timeout_s=${E2E_TIMEOUT:-90}

# need_tools <tool...>: each must be on PATH.
need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup installs it)"; exit 1; }
  done
}
need_tools Xvfb openbox xdotool xwininfo xprop

work=$(mktemp -d)
xvfb_pid="" wm_pid="" app_pid=""
stop() { # pid: TERM, then KILL if it lingers
  local pid=$1
  [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 0
  kill "$pid" 2>/dev/null
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  return 0
}
cleanup() { stop "$app_pid"; stop "$wm_pid"; stop "$xvfb_pid"; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$work/app.log" ] && tail -30 "$work/app.log"; exit 1; }

# wait_for <seconds> <command...>: polls until the command succeeds.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.1
  done
}

# start_display: a free display, chosen by the server itself, with openbox on it.
start_display() {
  Xvfb -displayfd 7 -screen 0 1280x720x24 -nolisten tcp 7>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  wait_for 30 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -n1 "$work/display")"
  echo "display $DISPLAY"
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  wait_for 30 xdotool get_num_desktops || fail "openbox did not start"
  mkdir -p "$work"/{app,win,reg,home,config,data,cache}
}

# start_app: the program with this installation's folders, on this display.
start_app() {
  QT_QPA_PLATFORM=xcb PLICORA_APPDIR="$work/app/" PLICORA_WINDIR="$work/win/" PLICORA_REGDIR="$work/reg/" \
    HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    XDG_CACHE_HOME="$work/cache" PLICORA_TEST_CLOSE_MS="" \
    "$program" >>"$work/app.log" 2>&1 &
  app_pid=$!
}

# run_until_main <questions expected>: answers each question box with Return (its default
# button) until the main window is shown; checks the questions asked were the ones expected.
run_until_main() {
  local expected=$1 answered="" end=$((SECONDS + timeout_s))
  while :; do
    kill -0 "$app_pid" 2>/dev/null || { wait "$app_pid"; fail "the program ended (exit $?) before its main window"; }
    [ "$SECONDS" -ge "$end" ] && fail "no main window after ${timeout_s}s; questions answered:$answered"
    local id name
    for id in $(xdotool search --onlyvisible --pid "$app_pid" --name '.*' 2>/dev/null); do
      name=$(xdotool getwindowname "$id" 2>/dev/null) || continue
      case "$name" in
        "$main_title")
          [ "$answered" = "$expected" ] || fail "questions answered:'$answered', expected:'$expected'"
          return 0 ;;
        _MAIN_|M_MV.Main)
          # The user brings the question to the front and presses Enter.
          xdotool windowactivate --sync "$id" 2>/dev/null || continue
          xdotool key --clearmodifiers Return
          answered+=" $name"
          # The same box must go away before the next one is answered.
          wait_for 30 bash -c "! xdotool search --onlyvisible --pid $app_pid --name '^$name\$' | grep -qx $id" \
            || fail "the question '$name' did not close on Enter"
          ;;
      esac
    done
    sleep 0.2
  done
}

# still_running <seconds>: the program stays alive with its main window shown.
still_running() {
  local end=$((SECONDS + $1))
  while [ "$SECONDS" -lt "$end" ]; do
    kill -0 "$app_pid" 2>/dev/null || { wait "$app_pid"; fail "the program ended (exit $?) after its main window"; }
    sleep 0.2
  done
  xdotool search --onlyvisible --pid "$app_pid" --name "^$main_title\$" >/dev/null ||
    fail "the main window is no longer shown"
}

# frame_of <window>: sets FX FY FW FH to the window's outer rectangle, the desktop's frame
# included (xdotool's getwindowgeometry counts the frame's offset twice for a framed window).
frame_of() {
  local ax ay w h ext l r t b
  eval "$(xwininfo -id "$1" 2>/dev/null | awk -F: '/Absolute upper-left X/ {print "ax=" $2+0}
    /Absolute upper-left Y/ {print "ay=" $2+0} /^ *Width/ {print "w=" $2+0} /^ *Height/ {print "h=" $2+0}')"
  [ -n "${ax:-}" ] || return 1
  ext=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p')
  IFS=', ' read -r l r t b <<<"${ext:-0, 0, 0, 0}"
  FX=$((ax - l)) FY=$((ay - t)) FW=$((w + l + r)) FH=$((h + t + b))
}

# whole_on_screen <window> <what>: the window, frame included, lies on the 1280x720 screen
# (within a second of being framed, as the program places it once it knows its frame).
inside_screen() {
  frame_of "$1" && [ "$FX" -ge 0 ] && [ "$FY" -ge 0 ] && [ $((FX + FW)) -le 1280 ] && [ $((FY + FH)) -le 720 ]
}
whole_on_screen() {
  wait_for 1 inside_screen "$1"
  frame_of "$1" || fail "no $2 to measure"
  echo "$2 at $FX,$FY size ${FW}x$FH with its frame"
  inside_screen "$1" || fail "the $2 does not lie whole on the screen (frame at $FX,$FY size ${FW}x$FH)"
}

# main_on_screen: the main window, title bar and status bar, lies on the screen.
main_on_screen() {
  local id
  id=$(xdotool search --onlyvisible --pid "$app_pid" --name "^$main_title\$" | head -n1)
  [ -n "$id" ] || fail "no main window to measure"
  whole_on_screen "$id" "main window"
}

end_app() { stop "$app_pid"; app_pid=""; }

# ---- driving the main window with the keyboard

# main_window: the id of the program's main window; call it while no box of the same
# title is shown (its boxes carry its title).
main_window() {
  xdotool search --all --onlyvisible --pid "$app_pid" --name "^$main_title\$" 2>/dev/null | head -n1
}

# keys_to <window> <key...>: the user brings the window to the front and presses the keys.
keys_to() {
  local id=$1; shift
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || fail "window $id cannot be activated"
  xdotool key --clearmodifiers --delay 40 "$@"
}

# type_to <window> <text>: the user types the text into the focused field of the window.
type_to() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 || fail "window $1 cannot be activated"
  xdotool type --clearmodifiers --delay 40 "$2"
}

# tabs <n>: the Tab key n times (as "Tab Tab ...", for keys_to).
tabs() { local i; for ((i = 0; i < $1; i++)); do printf 'Tab '; done; }

# new_window <seconds> <title> <known id...>: prints the id of a shown window of the program
# with that title that is none of the known ones; fails when none comes in time.
new_window() {
  local limit=$1 title=$2; shift 2
  local end=$((SECONDS + limit)) id known
  while [ "$SECONDS" -lt "$end" ]; do
    kill -0 "$app_pid" 2>/dev/null || return 1
    for id in $(xdotool search --all --onlyvisible --pid "$app_pid" --name "^$title\$" 2>/dev/null); do
      for known in "$@"; do [ "$id" = "$known" ] && continue 2; done
      echo "$id"
      return 0
    done
    sleep 0.1
  done
  return 1
}

# owner <window>: the window it belongs to (WM_TRANSIENT_FOR), as a decimal id; "" for none.
owner() {
  local hex
  hex=$(xprop -id "$1" WM_TRANSIENT_FOR 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-fA-F]*\).*/\1/p')
  [ -n "$hex" ] && printf '%d\n' "$hex"
}

# answer <box> <key...>: the user brings the box to the front, presses the keys, and the box goes.
answer() {
  local box=$1; shift
  keys_to "$box" "$@"
  wait_for 30 bash -c "! xdotool search --onlyvisible --pid $app_pid --name '.*' | grep -qx $box" ||
    fail "the box $box did not close on $*"
}

# ended: the program is no longer running.
ended() { ! kill -0 "$app_pid" 2>/dev/null; }

# wait_exit <seconds>: waits for the program to end once the user has closed it; sets exit_code.
wait_exit() {
  wait_for "$1" ended || fail "the program is still running ${1}s after it was closed"
  exit_code=0
  wait "$app_pid" || exit_code=$?
  app_pid=""
}

# folder_key <folder>: the archive's key of a folder, as the program computes it (a 32-bit
# sum of each character's code less 32 times its position; ASCII paths only).
folder_key() {
  local t=$1 i c sum=0
  for ((i = 0; i < ${#t}; i++)); do
    printf -v c '%d' "'${t:i:1}"
    sum=$(((sum + (c - 32) * (i + 1)) & 0xFFFFFFFF))
  done
  ((sum >= 2147483648)) && sum=$((sum - 4294967296))
  echo "$sum"
}

# configured_user <folder> <zip folder> [upkeep date]: settings of a user whose base folder of
# invoices and ZIP folder are set, with the folders' last upkeep on that day (dd/mm/yyyy, by
# default today) and a viewer that notes each file it is asked to show in $work/viewed.
configured_user() {
  local folder=$1 zipdir=$2 upkeep=${3:-$(date +%d/%m/%Y)}
  printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$work/viewed" >"$work/viewer"
  chmod +x "$work/viewer"
  printf '[ParamXML]\r\nPth_0=%s\r\nDirID=%s\r\nLastCompact=%s\r\nDirZIP=%s\r\n[Stampe su Disco]\r\nPgmVisualizzatore=%s\r\n' \
    "$folder" "$(folder_key "$folder")" "$upkeep" "$zipdir" "$work/viewer" >"$work/win/QOR_PLCR.INI"
}

# listed <runs> <files>: the folder has been listed <runs> times, the last run has read
# <files> files and let go of the archive; the rest of that run takes no input.
listed() {
  local log="$work/app/XMLGESTALO_Debug.LOG"
  kill -0 "$app_pid" 2>/dev/null || return 1
  [ "$(grep -c 'INIZIO ListNew' "$log")" -ge "$1" ] || return 1
  [ "$(awk '/INIZIO ListNew/ {n = 0} /T_Add :/ {n++} END {print n + 0}' "$log")" -ge "$2" ] || return 1
  ! ls -l "/proc/$app_pid/fd" 2>/dev/null | grep -q 'DIR_TMP\.MDB'
}
