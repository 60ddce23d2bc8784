#!/usr/bin/env bash
# Screenshots of every window of both programs under a German and a Spanish desktop, with Qt's own
# file dialog opened from the player's Load button, written to OUT (default build/screenshots):
# player-<locale>.png (the main window), player-<locale>-<window>.png for each window its buttons
# open and the options' sound card page, player-<locale>-filedialog.png, recorder-<locale>.png
# (the main window), recorder-<locale>-drive.png and recorder-<locale>-help.png.
#
#   scripts/private-desktop.sh 20 scripts/language-screenshots.sh [OUT]
set -euo pipefail
default_out=build/screenshots
source "$(dirname "$0")/desktop-script.sh"

# The visible top-level windows of process $1, one id a line.
shown() { xdotool search --onlyvisible --pid "$1" '' 2>/dev/null | sort || true; }

# Presses the button named $2 in process $1 and saves the window it opened as $3; the window's
# id stays in $opened.
opened=
window_shot() {
  local before after
  before=$(shown "$1")
  "${tree[@]}" "$1" press "$2" || { echo "no button \"$2\"" >&2; return 0; }
  sleep 1.5
  after=$(shown "$1")
  opened=$(comm -13 <(echo "$before") <(echo "$after") | tail -n1)
  import -window "${opened:-root}" "$3"
}

# locale, then the captions of Load and of the buttons that open the player's other windows
# (alarm, equaliser, options, pitch match, colours), the options' sound card page and the
# recorder's Drive and Mix.
languages=(
  "de_DE|Laden|Wecker einrichten|Equalizer|Optionen|Tonhöhe finden|Farben|Soundkarte|Laufwerk|Mixer"
  "es_ES|Cargar|Configurar alarma|Ecualizador|Opciones|Buscar el tono|Colores|Tarjeta de sonido|Unidad|Mezclador"
)
# A settings store of its own, so that the recorder shows its recording help after its Mix button
# opened the mixer; a stand-in mixer that opens no window.
export XDG_CONFIG_HOME="$PRIVATE_DESKTOP/config"
mkdir -p "$PRIVATE_DESKTOP/bin"
printf '#!/bin/sh\nexit 0\n' > "$PRIVATE_DESKTOP/bin/pavucontrol"
chmod +x "$PRIVATE_DESKTOP/bin/pavucontrol"
export PATH="$PRIVATE_DESKTOP/bin:$PATH"
tags=(alarm equaliser options pitchmatch colours)
for entry in "${languages[@]}"; do
  IFS='|' read -r locale load alarm equaliser options pitch colours soundcard drive mix <<< "$entry"
  rm -rf "$XDG_CONFIG_HOME"
  buttons=("$alarm" "$equaliser" "$options" "$pitch" "$colours")
  LANG=$locale.UTF-8 LANGUAGE= LC_ALL= "$dist/quietdeck" > "$out/quietdeck-$locale.log" 2>&1 &
  player=$!
  sleep 6
  # The main window alone on the black screen.
  import -window root -trim +repage "$out/player-$locale.png"
  for i in "${!buttons[@]}"; do
    window_shot $player "${buttons[$i]}" "$out/player-$locale-${tags[$i]}.png"
    if [ "${tags[$i]}" = options ] && [ -n "$opened" ]; then
      "${tree[@]}" $player press "$soundcard" && sleep 1
      import -window "$opened" "$out/player-$locale-soundcard.png"
    fi
  done
  "${tree[@]}" $player press "$load" || true
  sleep 2
  import -window root "$out/player-$locale-filedialog.png"
  kill $player; wait $player 2>/dev/null || true

  LANG=$locale.UTF-8 LANGUAGE= LC_ALL= "$dist/recorder" > "$out/recorder-$locale.log" 2>&1 &
  recorder=$!
  sleep 5
  import -window root -trim +repage "$out/recorder-$locale.png"
  window_shot $recorder "$drive" "$out/recorder-$locale-drive.png"
  window_shot $recorder "$mix" "$out/recorder-$locale-help.png"
  kill $recorder; wait $recorder 2>/dev/null || true
done
ls "$out"
