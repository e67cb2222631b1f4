#!/usr/bin/env bash
# What a screen reader reads of the real program: wexo under Xvfb with its own
# session bus and accessibility bus, read through AT-SPI (pyatspi) while real
# key presses move the focus.
set -uo pipefail
WEXO=$(realpath "$1")
PICTURES=$(realpath "$2")
CHECK=$(dirname "$(realpath "$0")")/atspi_check.py
for cmd in Xvfb xdotool dbus-run-session /usr/libexec/at-spi-bus-launcher /usr/bin/python3; do
  command -v $cmd >/dev/null || { echo "fehlt: $cmd"; exit 1; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "fehlt: python3-pyatspi"; exit 1; }
TMP=$(mktemp -d)
export TMP WEXO PICTURES CHECK
# Everything below runs on a session bus of its own, which ends with it.
dbus-run-session -- bash -c '
  pids=()
  trap "kill \${pids[*]} 2>/dev/null; rm -rf \"$TMP\"" EXIT
  exec 3>"$TMP/display"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$TMP/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$TMP/display")" XDG_RUNTIME_DIR="$TMP/run"
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  pids+=($!)
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb WEXO_DIALOGS=auto WEXO_TERMINAL_ID=AT-KASSE \
    WEXO_DATABASE="$TMP/demo.sqlite" WEXO_ERROR_LOG="$TMP/errors.log"
  (cd "$PICTURES" && exec "$WEXO" >"$TMP/out.txt" 2>&1) &
  pids+=($!)
  /usr/bin/python3 "$CHECK"
  rc=$?
  [ $rc -ne 0 ] && cat "$TMP/out.txt"
  exit $rc
' 2>&1 | grep -v "dbus-daemon\|SpiRegistry"
exit "${PIPESTATUS[0]}"
