#!/usr/bin/env bash
# Screenshots of the player with the keyboard focus on a push button and with the focus moved on,
# in the default and in the "Night" colour scheme, written to OUT (default build/screenshots).
#
#   scripts/private-desktop.sh 20 scripts/focus-screenshots.sh [OUT]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/build/screenshots}
mkdir -p "$out"
for scheme in Default Night; do
  dist="$PRIVATE_DESKTOP/dist-$scheme"
  cp -a "$here/build/dist" "$dist"
  # The player starts in the scheme of "maincol.tmp"; a scheme file has the same colours in
  # another order and no rollover colour:
  # .clr: gradient1, gradient2, button back, button text, form, palette, background, text, image
  # maincol.tmp: button text, button back, rollover, background, text, gradient1, gradient2,
  #              palette, form, image
  tr -d '\r\n' < "$dist/config/colors/$scheme.clr" |
    awk -F, '{ printf "%s,%s,\"\",%s,%s,%s,%s,%s,%s,%s\r\n", $4, $3, $7, $8, $1, $2, $6, $5, $9 }' \
    > "$dist/maincol.tmp"
  "$dist/quietdeck" > "$out/quietdeck-$scheme.log" 2>&1 &
  player=$!
  sleep 6
  # The window opens with the focus on its first button; Tab moves it on to the next control.
  import -window root "$out/focus-$scheme-button.png"
  xdotool key Tab
  sleep 0.5
  import -window root "$out/focus-$scheme-moved.png"
  kill $player; wait $player 2>/dev/null || true
  printf '%s: %s pixels differ\n' "$scheme" \
    "$(compare -metric AE "$out/focus-$scheme-button.png" "$out/focus-$scheme-moved.png" /dev/null 2>&1 || true)"
done
