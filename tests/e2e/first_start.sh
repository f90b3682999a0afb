#!/usr/bin/env bash
# The real program on a real X server with a window manager, started as a new user starts it:
# empty folders, each start-up question answered with the keyboard. Then a second start, and a
# start whose last compaction is older than 30 days. Each start must show the main window and
# keep running. Everything this script starts it ends by pid.
set -uo pipefail
program=${1:?path of the Plicora executable}
main_title="Zip Files XML Docora"
timeout_s=${E2E_TIMEOUT:-90}

for tool in Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup installs it)"; exit 1; }
done

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

# A free display, chosen by the server itself.
Xvfb -displayfd 7 -screen 0 1280x720x24 -nolisten tcp 7>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 30 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"
echo "display $DISPLAY"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
wait_for 30 xdotool get_num_desktops || fail "openbox did not start"

mkdir -p "$work"/{app,win,reg,home,config,data,cache}

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

# main_on_screen: the main window's title bar lies on the screen (its client area starts
# below the top edge, inside the left edge).
main_on_screen() {
  local id X Y WIDTH HEIGHT SCREEN WINDOW
  id=$(xdotool search --onlyvisible --pid "$app_pid" --name "^$main_title\$" | head -n1)
  [ -n "$id" ] || fail "no main window to measure"
  eval "$(xdotool getwindowgeometry --shell "$id")"
  echo "main window at $X,$Y size ${WIDTH}x$HEIGHT"
  [ "$X" -ge 0 ] && [ "$Y" -gt 0 ] && [ "$X" -lt 1280 ] && [ "$Y" -lt 720 ] ||
    fail "the main window's title bar is off the screen (client at $X,$Y)"
}

end_app() { stop "$app_pid"; app_pid=""; }

echo "first start: empty folders"
start_app
run_until_main " _MAIN_ M_MV.Main"
still_running 4
main_on_screen
end_app
[ -f "$work/app/DIR_TMP.MDB" ] || fail "the first start made no archive"

echo "second start"
start_app
run_until_main ""
still_running 4
end_app

echo "start with the last compaction 40 days ago"
old=$(date -d "40 days ago" +%d/%m/%Y)
printf '[DataShrink]\r\nPlicora_DIR_TMP=%s\r\n' "$old" >"$work/win/QOR_CMDB.INI"
start_app
run_until_main ""
still_running 4
grep -q "Plicora_DIR_TMP=$old" "$work/win/QOR_CMDB.INI" && fail "the compaction did not run"
end_app
echo "PASS"
