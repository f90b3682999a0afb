#!/usr/bin/env bash
# The archive maintenance window opened from the main window with the keyboard only, on a
# real X server with a window manager. The folders' upkeep is five days old, so the main
# window first asks for it in a box of its own; then "Gestione Cartelle XML di Transito"
# opens the window, which must come up on the screen with the focus; Alt+F4 closes it and
# the main window must be active again and still take keys (it lists its folder); Alt+F4
# then ends the program with 0.
set -uo pipefail
program=${1:?path of the Plicora executable}
source "$(dirname "$0")/lib.sh"
need_tools xprop
start_display

maint_title="Compattamento cartelle temporanee"
folder="$work/fatture/"
mkdir -p "$folder" "$work/zip"
cp "$(dirname "$0")/../fixtures/fatturapa/IT01234567890_FPA01.xml" "$folder" || fail "no fixture"
configured_user "$folder" "$work/zip/" "$(date -d '5 days ago' +%d/%m/%Y)"
log="$work/app/XMLGESTALO_Debug.LOG"
started=$SECONDS

# active_is <window>: the window has the input focus.
active_is() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }

echo "first start on the base folder"
start_app
run_until_main " _MAIN_ M_MV.Main"
main=$(main_window)
# "Passati oltre 3 giorni. Effettuare aggiornamento e compattamento Cartelle di Transito !!"
late=$(new_window 15 Plicora "$main") || fail "no reminder of the folders' upkeep"
[ "$(owner "$late")" = "$main" ] || fail "the reminder belongs to '$(owner "$late")', not to the main window $main"
answer "$late" Return

echo "Gestione Cartelle XML di Transito"
# The first field of the window is the folder box: four Tabs reach the button.
keys_to "$main" $(tabs 4) space
maint=$(new_window 15 "$maint_title") || fail "the maintenance window did not come up"
wait_for 10 active_is "$maint" || fail "the maintenance window came up without the focus ($(xdotool getactivewindow))"
whole_on_screen "$maint" "maintenance window"
if extra=$(new_window 1 '.+' "$main" "$maint"); then fail "an unexpected window '$(xdotool getwindowname "$extra")' came up"; fi

keys_to "$maint" alt+F4
wait_for 10 bash -c "! xdotool search --onlyvisible --pid $app_pid --name '.*' | grep -qx $maint" ||
  fail "the maintenance window did not close on Alt+F4"
wait_for 10 active_is "$main" || fail "the main window did not get the focus back ($(xdotool getactivewindow))"
still_running 1

echo "the main window still takes keys"
# The focus is back on the button: two Tabs on, "Vedi nuovi Files" lists the folder.
xdotool key --clearmodifiers --delay 40 Tab Tab space
wait_for 30 listed 1 1 || fail "the folder was not listed after the maintenance window closed"

keys_to "$main" alt+F4
wait_exit 20
[ "$exit_code" = 0 ] || fail "the program ended with $exit_code"
echo "PASS ($((SECONDS - started))s)"
