#!/usr/bin/env bash
# A user's main road with the keyboard only, on a real X server with a window manager: the
# program starts on its base folder of real invoices, "Vedi nuovi Files" lists them, a
# reference is typed, "Seleziona Tutti" selects them. A first "ZIP dei Files selezionati"
# gets the answer No (another name is typed) and is not made definitive: the archive under
# that name only. A second one is answered Yes and "Definitiva ?" Yes, and File > Chiudi
# ends the program. The ZIPs, the list file, the send dates and the settings must be there
# afterwards, every box must belong to the main window, and the program must end with 0.
set -uo pipefail
program=${1:?path of the Plicora executable}
source "$(dirname "$0")/lib.sh"
need_tools 7z xprop python3
start_display

invoices=(IT01234567890_FPA01.xml IT01234567890_FPR02.xml IT02780790107_11004.xml IT05979361218_006.XML)
fixtures="$(dirname "$0")/../fixtures/fatturapa"
folder="$work/fatture/" zipdir="$work/zip/"
mkdir -p "$folder" "$zipdir"
for f in "${invoices[@]}"; do
  cp "$fixtures/$f" "$folder" || fail "no fixture $f"
  chmod u+w "$folder$f"
  touch -d "2024-03-15 10:00" "$folder$f" # received that day: it names the ZIP
done
configured_user "$folder" "$zipdir"
key=$(folder_key "$folder")
stem="20240315_E2E_$key"
log="$work/app/XMLGESTALO_Debug.LOG"
started=$SECONDS

echo "first start on the base folder"
start_app
run_until_main " _MAIN_ M_MV.Main" # the new archive takes the folder as its base folder
main=$(main_window)

# The first field of the window is the folder box: six Tabs reach "Vedi nuovi Files".
keys_to "$main" $(tabs 6) space
wait_for 30 listed 1 ${#invoices[@]} || fail "the folder was not listed ($(grep -c 'T_Add :' "$log") rows)"
for f in "${invoices[@]}"; do grep -q "Yet_MDB : $folder$f" "$log" || fail "$f was not read"; done

# The button is disabled while it lists, so the focus has moved on to "Riferimento :".
type_to "$main" "E2E"
keys_to "$main" $(tabs 8) space # "Seleziona Tutti"
# "Vedi File XML" takes no focus with several rows selected: nine Tabs to the ZIP button.
keys_to "$main" $(tabs 9) space

echo "a ZIP under another name, not definitive"
confirm=$(new_window 15 "$main_title" "$main") || fail "no confirmation box after the ZIP button"
[ "$(owner "$confirm")" = "$main" ] || fail "the confirmation box belongs to '$(owner "$confirm")', not to the main window $main"
answer "$confirm" Tab space # "NO : Cambia Nome File ed invia"
rename=$(new_window 15 "Nuovo nome File Allegato") || fail "no box asking for the new name"
[ "$(owner "$rename")" = "$main" ] || fail "the new name box belongs to '$(owner "$rename")', not to the main window $main"
keys_to "$rename" ctrl+a
type_to "$rename" "PROVA_E2E.ZIP"
answer "$rename" Return
again=$(new_window 15 "$main_title" "$main" "$confirm") || fail "the new name was not confirmed"
[ "$(owner "$again")" = "$main" ] || fail "'Confermi nuovo nome ?' belongs to '$(owner "$again")', not to the main window $main"
answer "$again" Return
definitive=$(new_window 30 "$main_title" "$main" "$confirm" "$again") || fail "no 'Definitiva ?' after the ZIP was made"
[ -f "${zipdir}PROVA_E2E.ZIP" ] || fail "no ZIP under the typed name: $(ls "$zipdir")"
[ "$(owner "$definitive")" = "$main" ] ||
  fail "the box 'Definitiva ?' belongs to '$(owner "$definitive")', not to the main window $main"
answer "$definitive" Tab space # No
[ "$(7z l -slt -- "${zipdir}PROVA_E2E.ZIP" | grep -c '^Path = IT')" = "${#invoices[@]}" ] ||
  fail "the ZIP under the typed name does not hold every invoice"
[ ! -e "$zipdir${stem}_ZIPLIST.TXT" ] || fail "a ZIP that is not definitive wrote the list file"
grep -q "LastZIP_" "$work/win/QOR_PLCR.INI" && fail "a ZIP that is not definitive moved the folder's last ZIP date"
[ "$(grep -c 'INIZIO ListNew' "$log")" = 1 ] || fail "a ZIP that is not definitive listed the folder again"
still_running 1

echo "the definitive ZIP"
# The focus is back on the ZIP button after its run, and the rows are still selected.
keys_to "$main" space
confirm=$(new_window 15 "$main_title" "$main") || fail "no confirmation box after the ZIP button"
grep -q "T_Zip 1 : ${stem}_XML.ZIP" "$log" || fail "the ZIP is not named $stem: $(grep 'T_Zip 1' "$log")"
[ "$(owner "$confirm")" = "$main" ] || fail "the confirmation box belongs to '$(owner "$confirm")', not to the main window $main"
answer "$confirm" Return # "Sì : Genera ed Invia"

definitive=$(new_window 30 "$main_title" "$main" "$confirm" "$definitive") || fail "no 'Definitiva ?' after the ZIP was made"
[ -f "$zipdir${stem}_XML.ZIP" ] || fail "'Definitiva ?' came before the ZIP was complete"
[ "$(owner "$definitive")" = "$main" ] ||
  fail "the box 'Definitiva ?' belongs to '$(owner "$definitive")', not to the main window $main"
answer "$definitive" Return

# A definitive ZIP lists the folder again: every file is sent now.
wait_for 30 listed 2 ${#invoices[@]} || fail "the folder was not listed again after the definitive ZIP"
if extra=$(new_window 1 '.+' "$main"); then fail "an unexpected window '$(xdotool getwindowname "$extra")' came up"; fi
still_running 1

echo "what the ZIP left"
zip="$zipdir${stem}_XML.ZIP" list="$zipdir${stem}_ZIPLIST.TXT"
mkdir "$work/out"
7z x -y -o"$work/out" -- "$zip" >"$work/7z.log" 2>&1 || fail "7z cannot read $zip: $(tail -3 "$work/7z.log")"
[ "$(ls "$work/out" | sort)" = "$(printf '%s\n' "${invoices[@]}" | sort)" ] ||
  fail "the ZIP holds: $(ls "$work/out" | tr '\n' ' ')"
for f in "${invoices[@]}"; do cmp -s "$folder$f" "$work/out/$f" || fail "$f in the ZIP differs from the invoice in the folder"; done
[ -z "$(find "$zipdir" -name '*.tmp.zip')" ] || fail "a partial archive was left behind"
[ -f "$list" ] || fail "no list file $list"
grep -q "=====   Files inviati il " "$list" || fail "the list file has no heading"
for f in "${invoices[@]}"; do grep -q "| $f " "$list" || fail "the list file does not name $f"; done
grep -qx "$list" "$work/viewed" 2>/dev/null || fail "the list file was not shown in the viewer"
grep -q "LastZIP_$key=2024/03/15" "$work/win/QOR_PLCR.INI" || fail "the folder's last ZIP date was not kept"
grep -q "Rif_$key=E2E" "$work/win/QOR_PLCR.INI" || fail "the typed reference was not kept"
sent=$(python3 - "$work/app/DIR_TMP.MDB" "$key" <<'EOF'
import sqlite3, sys
cn = sqlite3.connect("file:" + sys.argv[1] + "?mode=ro", uri=True)
print(cn.execute("SELECT COUNT(*) FROM FILES WHERE cod_firma=? AND dat_send IS NOT NULL",
                 (int(sys.argv[2]),)).fetchone()[0])
EOF
)
[ "$sent" = "${#invoices[@]}" ] || fail "$sent files of ${#invoices[@]} have a send date in the archive"

echo "File > Chiudi"
keys_to "$main" alt+f c
wait_exit 20
[ "$exit_code" = 0 ] || fail "the program ended with $exit_code"
grep -q "DirZIP=$zipdir" "$work/win/QOR_PLCR.INI" || fail "the ZIP folder was not saved on closing"
echo "PASS ($((SECONDS - started))s)"
