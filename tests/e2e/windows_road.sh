#!/usr/bin/env bash
# The main window on a real X server with a window manager, over two starts: on a 1280x720
# screen it lies whole on the screen, frame and status bar included; closed with Alt+F4 it
# opens again the next time exactly where it was, frame and size alike.
set -uo pipefail
program=${1:?path of the Plicora executable}
source "$(dirname "$0")/lib.sh"
start_display
folder="$work/fatture/"
mkdir -p "$folder" "$work/zip"
configured_user "$folder" "$work/zip/"

main_frame() { frame_of "$(main_window)" && echo "$FX,$FY ${FW}x$FH"; }

echo "first start"
start_app
run_until_main " _MAIN_ M_MV.Main"
main_on_screen
first=$(main_frame)
keys_to "$(main_window)" alt+F4
wait_exit 20

echo "second start"
start_app
run_until_main ""
main_on_screen
sleep 1 # the place set again once the window is framed
second=$(main_frame)
[ "$second" = "$first" ] || fail "the main window moved between two starts: $first, then $second"
keys_to "$(main_window)" alt+F4
wait_exit 20
echo "PASS"
