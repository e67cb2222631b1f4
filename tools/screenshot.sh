#!/usr/bin/env bash
# Takes the README's screenshot of the real window on a fresh demo database.
set -euo pipefail
build=$(realpath "${1:-build}")
out=$(realpath "${2:-docs/screenshot.png}")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$build/pictures"
WEXO_DATABASE="$tmp/demo.sqlite" WEXO_TERMINAL_ID=DEMO WEXO_ERROR_LOG="$tmp/errors.log" WEXO_DIALOGS=auto \
  WEXO_SCREENSHOT="$out" XDG_RUNTIME_DIR="$tmp" xvfb-run -a -s "-screen 0 1280x800x24" "$build/app/wexo"
echo "Bildschirmfoto: $out"
# The search, open over the window, for the README.
search="$(dirname "$out")/suche.png"
WEXO_DATABASE="$tmp/demo.sqlite" WEXO_TERMINAL_ID=DEMO WEXO_ERROR_LOG="$tmp/errors.log" WEXO_DIALOGS=auto \
  WEXO_SCREENSHOT="$search" WEXO_SCREENSHOT_SUCHE="art bek" XDG_RUNTIME_DIR="$tmp" \
  xvfb-run -a -s "-screen 0 1280x800x24" "$build/app/wexo"
echo "Bildschirmfoto der Suche: $search"
# The window at its opening size, at its minimum size, and at 200 % scaling,
# each on the Wareneingang page (the longest menu with the longest captions).
for shot in "928x666 1 fenster-928x666" "720x600 1 fenster-720x600" "720x600 2 fenster-720x600-200"; do
  set -- $shot
  WEXO_DATABASE="$tmp/demo.sqlite" WEXO_TERMINAL_ID=DEMO WEXO_ERROR_LOG="$tmp/errors.log" WEXO_DIALOGS=auto \
    WEXO_SCREENSHOT="$(dirname "$out")/$3.png" WEXO_SCREENSHOT_SIZE="$1" WEXO_SCREENSHOT_AREA=3 QT_SCALE_FACTOR="$2" \
    XDG_RUNTIME_DIR="$tmp" xvfb-run -a -s "-screen 0 1920x1400x24" "$build/app/wexo"
  echo "Bildschirmfoto: $(dirname "$out")/$3.png"
done
