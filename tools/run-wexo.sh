#!/usr/bin/env bash
# Starts wexo in the folder of the sample pictures. Without a display it runs
# the program under a virtual display just long enough to save a screenshot.
set -euo pipefail
build=$(realpath "${1:-build}")
cd "$build/pictures"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/app/wexo"
fi
shot="$build/wexo-screenshot.png"
echo "Keine Anzeige gefunden (DISPLAY ist nicht gesetzt)."
echo "Das Programm läuft kurz unter einer virtuellen Anzeige und speichert ein Bildschirmfoto."
WEXO_DIALOGS=auto WEXO_SCREENSHOT="$shot" xvfb-run -a -s "-screen 0 1280x800x24" "$build/app/wexo"
echo "Bildschirmfoto: $shot"
