#!/usr/bin/env bash
# The list window on a real X server with a window manager: its first opening puts the
# title bar on the screen, and each later opening comes back where it was closed (no creep
# by the frame's height). The window's own test program drives it there.
set -uo pipefail
probe=${1:?path of tst_f_list_desktop}
program=$probe
source "$(dirname "$0")/lib.sh"
start_display
QT_QPA_PLATFORM=xcb HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
  XDG_CACHE_HOME="$work/cache" "$probe" >"$work/app.log" 2>&1
rc=$?
cat "$work/app.log"
[ "$rc" = 0 ] || fail "the list window test failed on the desktop"
grep -q "^SKIP" "$work/app.log" && fail "the list window test did not run on the desktop"
echo "PASS"
