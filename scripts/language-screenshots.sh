#!/usr/bin/env bash
# Screenshots of both programs under a German and a Spanish desktop, with Qt's own file dialog
# opened from the player's Load button, written to OUT (default build/screenshots).
#
#   scripts/private-desktop.sh 20 scripts/language-screenshots.sh [OUT]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/build/screenshots}
mkdir -p "$out"
tree=(/usr/bin/python3 "$here/scripts/atspi_tree.py")
dist="$PRIVATE_DESKTOP/dist"
cp -a "$here/build/dist" "$dist"
for lang in de_DE:Laden es_ES:Cargar; do
  locale=${lang%%:*}; load=${lang#*:}
  LANG=$locale.UTF-8 LANGUAGE= LC_ALL= "$dist/quietdeck" > "$out/quietdeck-$locale.log" 2>&1 &
  player=$!
  sleep 6
  import -window root "$out/player-$locale.png"
  "${tree[@]}" $player press "$load" || true
  sleep 2
  import -window root "$out/player-$locale-filedialog.png"
  xdotool key Escape || true
  kill $player; wait $player 2>/dev/null || true
  LANG=$locale.UTF-8 LANGUAGE= LC_ALL= "$dist/recorder" > "$out/recorder-$locale.log" 2>&1 &
  recorder=$!
  sleep 5
  import -window root "$out/recorder-$locale.png"
  kill $recorder; wait $recorder 2>/dev/null || true
done
ls "$out"
