#!/usr/bin/env bash
# Runs the store and window tests against a PostgreSQL server started on
# loopback in a temporary directory, then two workstations (two terminal ids,
# two processes of the real program) on that one database.
#   run_with_postgres.sh WEXO PICTURES TEST...
set -uo pipefail
wexo=$(realpath "$1")
pictures=$(realpath "$2")
shift 2
pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)
[ -x "$pgbin/initdb" ] || { echo "PostgreSQL ist nicht installiert (Paket postgresql)"; exit 1; }
tmp=$(mktemp -d)
chmod 755 "$tmp"
runas=()
if [ "$(id -u)" = 0 ]; then
  chown postgres "$tmp"
  runas=(runuser -u postgres --)
fi
"${runas[@]}" "$pgbin/initdb" -D "$tmp/data" -A trust -U wexo >/dev/null || exit 1
port=$((20000 + RANDOM % 20000))
"${runas[@]}" "$pgbin/pg_ctl" -D "$tmp/data" -l "$tmp/server.log" -w \
  -o "-c listen_addresses=127.0.0.1 -p $port -k $tmp -c fsync=off" start >/dev/null || { cat "$tmp/server.log"; exit 1; }
stop() { "${runas[@]}" "$pgbin/pg_ctl" -D "$tmp/data" -m fast stop >/dev/null; rm -rf "$tmp"; }
trap stop EXIT
"$pgbin/createdb" -h 127.0.0.1 -p "$port" -U wexo wexotest || exit 1
url="postgresql://wexo@127.0.0.1:$port/wexotest"
psql() { "$pgbin/psql" -h 127.0.0.1 -p "$port" -U wexo -d wexotest -tA -c "$1"; }

status=0
for test in "$@"; do
  WEXO_TEST_POSTGRES="$url" QT_QPA_PLATFORM=offscreen WEXO_DIALOGS=auto "$test" || status=1
done

# Two workstations on one shared database.
psql "DROP SCHEMA public CASCADE; CREATE SCHEMA public;" >/dev/null
for terminal in KASSE-1 KASSE-2; do
  (cd "$pictures" && WEXO_DATABASE="$url" WEXO_TERMINAL_ID=$terminal WEXO_DIALOGS=auto QT_QPA_PLATFORM=offscreen \
    WEXO_ERROR_LOG="$tmp/errors-$terminal.log" WEXO_SCREENSHOT="$tmp/$terminal.png" "$wexo") || status=1
done
layouts=$(psql "SELECT COUNT(DISTINCT index_name) FROM form_store WHERE property = 'lblDockingLayout.Caption'")
entries=$(psql "SELECT COUNT(*) FROM quick_entries")
journal=$(psql "SELECT COUNT(DISTINCT terminal_id) FROM operation_journal")
if [ "$layouts" = 2 ] && [ "$entries" = 4 ] && [ "$journal" = 2 ]; then
  echo "PASS: zwei Arbeitsplätze: eigene Layouts, gemeinsame Schnelleinstiege"
else
  echo "FAIL: zwei Arbeitsplätze: Layouts $layouts, Schnelleinstiege $entries, Arbeitsplätze im Journal $journal"
  status=1
fi
exit $status
