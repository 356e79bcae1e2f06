#!/usr/bin/env bash
# The Windows program as a user gets it: the installer run silently into a
# fresh Wine prefix, the installed quorvel.exe on an X desktop with a tray
# (Xvfb, openbox, trayer) against a Linux brastel-demo on 127.0.0.1, then
# the uninstaller.
#   installed.sh INSTALLER BRASTEL_DEMO SCRATCH
set -euo pipefail
installer=$1
demo=$2
scratch=$3
rm -rf "$scratch"
mkdir -p "$scratch/home"
scratch=$(cd "$scratch" && pwd)

pids=()
stop() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
}
trap stop EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -f "$scratch/server.log" ] && sed 's/^/server: /' "$scratch/server.log" >&2
  exit 1
}
# wait_for SECONDS WHAT CHECK: polls the shell text CHECK until it succeeds.
wait_for() {
  for ((i = 0; i < $1 * 5; i++)); do
    eval "$3" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  fail "$2"
}
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }

"$demo" --listen 127.0.0.1 --port 0 --log-requests >"$scratch/server.log" 2>&1 &
pids+=($!)
wait_for 20 "brastel-demo did not start" 'grep -q "^Listening on " "$scratch/server.log"'
port=$(sed -n '1s/^Listening on .*:\([0-9]*\)$/\1/p' "$scratch/server.log")

# The desktop: Xvfb on a display it picks, a window manager and a tray.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$scratch/display" 2>"$scratch/xvfb.log" &
pids+=($!)
wait_for 20 "Xvfb did not start" 'test -s "$scratch/display"'
export DISPLAY=":$(head -n 1 "$scratch/display")"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
wait_for 20 "openbox did not start" 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
trayer --edge top --align right --widthtype request >/dev/null 2>&1 &
pids+=($!)
wait_for 20 "trayer did not start" 'xwininfo -root -tree | grep -q "\"panel\""'

# A prefix and a home of their own: Wine links the profile's folders into $HOME.
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all HOME="$scratch/home"
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
wine wineboot -i >/dev/null 2>&1
wine "Z:${installer//\//\\}" /S
wineserver -w
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvel'
users="$WINEPREFIX/drive_c/users/$(id -un)"
program="$users/AppData/Local/Programs/Quorvel"
test -f "$program/quorvel.exe" || fail "not installed in $program"
test -f "$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Quorvel.lnk" || fail "no Start-menu entry"
wine reg query "$uninstall_key" /v DisplayName | grep -q Quorvel || fail "not listed for removal"
echo "installed: $(du -sk "$program" | cut -f1) KiB"

windows() { xdotool search --class quorvel 2>/dev/null || true; }
titled() { for w in $(windows); do [ "$(xdotool getwindowname "$w")" != "$1" ] || echo "$w"; done; }
# An icon is docked when trayer's panel holds a window inside one of its
# sockets; under Wine the desktop process (explorer.exe) owns that window.
docked() {
  local panel
  panel=$(xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "panel".*/\1/p' | head -n 1)
  [ -n "$panel" ] && xwininfo -id "$panel" -tree | grep -q '^        0x'
}
connections() { grep -c ' Connected ' "$scratch/server.log" || true; }
start_quorvel() {
  wine "$program/quorvel.exe" --server "127.0.0.1:$port" >>"$scratch/quorvel.log" 2>&1 &
  quorvel=$!
  pids+=("$quorvel")
}

docked && fail "an icon is in the tray before the program starts"
started=$(now)
start_quorvel
wait_for 60 "no catalogue request in the server's log" \
  'grep -q "Request from 127\.0\.0\.1:[0-9]*: \$GetDishTables$" "$scratch/server.log"'
echo "start to first request: $(elapsed "$started" "$(now)") s"
wait_for 60 "no fitness window" '[ -n "$(titled "Запрос калорийности с сервера")" ]'
echo "start to fitness window: $(elapsed "$started" "$(now)") s"
wait_for 30 "no icon in the tray" docked
main=$(titled 'Клиент')
fitness=$(titled 'Запрос калорийности с сервера')

# The font size box (designed at 1320,4200 twips: 88,280 pixels) takes one
# more digit; the program writes the number to the registry.
xdotool windowactivate --sync "$main" mousemove --window "$main" 120 289 click 1 key End type 6
fonts='HKCU\Software\VB and VBA Program Settings\Ventaro\UserInterface'
wait_for 10 "font size not in the registry" 'wine reg query "$fonts" /v Brastel.FontSize | grep -q "REG_SZ *246"'

# A click at a point of the fitness window given in its design's twips
# (11400 x 7695 for the whole client area).
click() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --window "$1" $(($2 * WIDTH / 11400)) $(($3 * HEIGHT / 7695)) click 1
}
# The first dish of the first collection into the ration, and its report
# saved as PDF: a dish name of its database in the PDF shows that the
# requests after "$GetDishTables" were answered too.
xdotool windowactivate --sync "$fitness"
click "$fitness" 600 960
sleep 2
click "$fitness" 4800 960
sleep 2
click "$fitness" 9400 5400
sleep 1
click "$fitness" 9400 6840
wait_for 20 "no preview" '[ -n "$(titled "Предварительный просмотр ")" ]'
preview=$(titled 'Предварительный просмотр ')
xdotool windowactivate --sync "$preview" mousemove --window "$preview" 410 12 click 1
# xdotool search can die on a window that goes while it walks the tree (as
# Wine's dialog builds itself), so the window found is the one used.
wait_for 20 "no save dialog" 'save=$(xdotool search --name "Сохранить отчет в PDF" | head -n 1); [ -n "$save" ]'
xdotool windowactivate --sync "$save" key Return
pdf_found() { find "$HOME" "$users" -name '*.pdf' -size +1k | grep -q .; }
wait_for 20 "no PDF saved" pdf_found
pdftotext "$(find "$HOME" "$users" -name '*.pdf' | head -n 1)" "$scratch/report.txt"
db="$(dirname "$demo")/brastel-demo.sqlite"
python3 - "$db" "$scratch/report.txt" <<'PY' || fail "no dish name in the PDF: $(head -c 400 "$scratch/report.txt")"
import sqlite3, sys
names = [row[0] for row in sqlite3.connect(sys.argv[1]).execute("select name from dishes")]
text = " ".join(open(sys.argv[2], encoding="utf-8").read().split())
sys.exit(0 if any(" ".join(n.split())[:20] in text for n in names) else 1)
PY

# One per user: a second start leaves; a run ended by force does not keep
# the next one out.
before=$(connections)
wine "$program/quorvel.exe" --server "127.0.0.1:$port" >>"$scratch/quorvel.log" 2>&1 ||
  fail "a second start did not leave cleanly"
[ "$(connections)" -eq "$before" ] || fail "a second start connected"
kill -9 "$quorvel"
{ wait "$quorvel"; } 2>/dev/null || true
wait_for 20 "the killed run's windows stay" '[ -z "$(windows)" ]'
start_quorvel
wait_for 60 "no start after a killed run" '[ "$(connections)" -gt "$before" ]'
kill -9 "$quorvel"
{ wait "$quorvel"; } 2>/dev/null || true
wait_for 20 "the program did not end" '[ -z "$(windows)" ]'

wine "$program/uninstall.exe" /S
wineserver -w
[ -z "$(find "$program" -type f 2>/dev/null)" ] || fail "files left: $(find "$program" -type f)"
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "still listed for removal"
echo "passed"
