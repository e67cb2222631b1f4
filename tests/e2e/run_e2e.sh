#!/usr/bin/env bash
# End-to-end tests of the real program: wexo under Xvfb on a temporary SQLite
# database, driven with real key presses and clicks (xdotool); the operation
# journal, the error log and the stored window settings are checked in the
# database afterwards.
set -uo pipefail
WEXO=$(realpath "$1")
PICTURES=$(realpath "$2")
TMP=$(mktemp -d)
trap 'kill $XVFB_PID 2>/dev/null; rm -rf "$TMP"' EXIT
passed=0
failed=0

for cmd in Xvfb xdotool sqlite3; do
  command -v $cmd >/dev/null || { echo "fehlt: $cmd"; exit 1; }
done

# A display of our own.
exec 3>"$TMP/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
for _ in $(seq 50); do [ -s "$TMP/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$TMP/display")"
export WEXO_DIALOGS=auto WEXO_TERMINAL_ID=E2E-KASSE QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$TMP/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

DB=""
LOG=""
PID=""
sql() { sqlite3 "$DB" "$1"; }

# A fresh database with the demo data: the program creates it on its first start.
fresh() {
  DB="$TMP/$1.sqlite"
  LOG="$TMP/$1.log"
  rm -f "$DB" "$LOG"
  export WEXO_DATABASE="$DB" WEXO_ERROR_LOG="$LOG"
  start
  stop_by_key
}

start() {
  (cd "$PICTURES" && exec "$WEXO" "$@" >>"$TMP/out.txt" 2>&1) &
  PID=$!
  WID=""
  for _ in $(seq 100); do
    WID=$(xdotool search --onlyvisible --name '^Artikelverwaltung' 2>/dev/null | head -n1)
    [ -n "$WID" ] && break
    kill -0 $PID 2>/dev/null || break
    sleep 0.1
  done
  # No window manager here: give the window the keyboard focus ourselves.
  [ -n "$WID" ] && xdotool windowfocus --sync "$WID" 2>/dev/null
  sleep 0.4
}

running() { kill -0 $PID 2>/dev/null; }
visible() { [ -n "$(xdotool search --onlyvisible --name '^Artikelverwaltung' 2>/dev/null)" ]; }
key() { xdotool key "$@" 2>/dev/null; sleep 0.4; }
ended() {
  for _ in $(seq 50); do running || return 0; sleep 0.1; done
  return 1
}
stop_by_key() {
  key Escape
  ended || { kill $PID; wait $PID 2>/dev/null; }
  wait $PID 2>/dev/null
}
check() {
  if eval "$2"; then
    echo "PASS: $1"
    passed=$((passed + 1))
  else
    echo "FAIL: $1"
    failed=$((failed + 1))
  fi
}

echo "== Tastatur: W, dann K"
fresh keys
start
key w
key k
check "K öffnet WEArtikelBekannt mit false" '[ "$(sql "SELECT operation || '"'"'|'"'"' || arguments FROM operation_journal WHERE operation = '"'"'WEArtikelBekannt'"'"'")" = "WEArtikelBekannt|false" ]'
check "das Fenster ist danach wieder sichtbar" 'visible'
stop_by_key

echo "== Esc"
start
key Escape
check "Esc beendet, wenn das Beenden erlaubt ist" 'ended'
sql "UPDATE parameters SET value = 'N' WHERE name = 'EXITERLAUBT'"
start
key Escape
check "Esc beendet nicht, wenn das Datenmodul es verweigert" 'running && visible'
kill $PID; wait $PID 2>/dev/null
sql "UPDATE parameters SET value = 'J' WHERE name = 'EXITERLAUBT'"

echo "== Fensterlayout je Arbeitsplatz"
layout() { sql "SELECT value FROM form_store WHERE index_name = 'E2E-KASSE' AND property = 'lblDockingLayout.Caption'"; }
start
stop_by_key
first=$(layout)
check "das Layout ist Base64, ein Komma und ein Paneelname" '[[ "$first" =~ ^[A-Za-z0-9+/=]+,aqdc(Start|Aufgaben|Selektionen)$ ]]'
start
stop_by_key
check "das Layout kommt beim nächsten Start wieder" '[ "$(layout)" = "$first" ]'

echo "== Spaltenanzahl"
sql "DELETE FROM form_store WHERE property = 'spbColCount.Tag'"
sql "INSERT INTO form_store (form_id, index_name, property, value) VALUES ('DEU.WEXO.WEXOENTR', 'E2E-KASSE', 'spbColCount.Tag', '7')"
start
stop_by_key
check "eine gespeicherte 7 wird als 4 zurückgeschrieben" '[ "$(sql "SELECT value FROM form_store WHERE property = '"'"'spbColCount.Tag'"'"'")" = "4" ]'

echo "== Fehler in Exportfehler"
sql "INSERT INTO operation_faults (operation, message) VALUES ('Exportfehler', 'Exportserver nicht erreichbar')"
: >"$LOG"
start
# The fifth row of the task list is "Exportfehler" on the demo data.
xdotool mousemove --window "$WID" 720 155 click 1 sleep 0.2 click --repeat 2 --delay 80 1
sleep 0.8
check "Exportfehler wurde aufgerufen" '[ "$(sql "SELECT COUNT(*) FROM operation_journal WHERE operation = '"'"'Exportfehler'"'"' AND arguments = '"'"'1'"'"'")" = "1" ]'
check "das Fenster bleibt sichtbar" 'running && visible'
check "der Fehler steht einmal im Fehlerprotokoll" '[ "$(grep -c "TfrmWexoentree.vstAufgabenDblClick" "$LOG")" = "1" ]'
stop_by_key
sql "DELETE FROM operation_faults"

echo "== Direktstart --rechnung"
start --rechnung
check "die Rechnungsbearbeitung läuft und das Programm endet" 'ended && [ "$(sql "SELECT COUNT(*) FROM operation_journal WHERE operation = '"'"'RechnungBearbeitenDirekt'"'"'")" = "1" ]'

echo "== Direktstart mit Fehler"
sql "INSERT INTO operation_faults (operation, message) VALUES ('RechnungBearbeitenDirekt', 'Rechnungsserver fehlt')"
start --rechnung
ended
wait $PID 2>/dev/null
code=$?
check "ein fehlgeschlagener Direktstart endet mit einem Fehlercode" '[ "$code" != 0 ]'
sql "DELETE FROM operation_faults"

echo "== Suchen"
start
key ctrl+f
xdotool type --delay 60 "zeitr" 2>/dev/null
sleep 0.3
key Return
check "Strg+F, zeitr, Eingabe öffnet die Zeiträume" '[ "$(sql "SELECT COUNT(*) FROM operation_journal WHERE operation = '"'"'ZeitRaumAbfrage'"'"'")" = "1" ]'
key ctrl+f
xdotool type --delay 60 "k" 2>/dev/null
key Escape
check "Esc schließt nur die Suche, ein getipptes K startet nichts" 'running && visible && [ "$(sql "SELECT COUNT(*) FROM operation_journal WHERE operation = '"'"'WEArtikelBekannt'"'"'")" = "1" ]'
stop_by_key

echo
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
