#!/usr/bin/env bash
# The real program on a real X server with a window manager, started as a new user starts it:
# empty folders, each start-up question answered with the keyboard. Then a second start, and a
# start whose last compaction is older than 30 days. Each start must show the main window and
# keep running. Everything this script starts it ends by pid.
set -uo pipefail
program=${1:?path of the Plicora executable}
source "$(dirname "$0")/lib.sh"
start_display

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
