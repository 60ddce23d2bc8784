#!/usr/bin/env bash
# Uses both programs as a screen reader does and writes what it read to OUT (default
# build/accessibility): the accessibility tree of every player window and of the recorder, and
# the level at the sound server's sink while a volume slider is set through its value interface.
#
#   scripts/private-desktop.sh 20 scripts/accessibility-demo.sh [OUT]
set -euo pipefail
default_out=build/accessibility
source "$(dirname "$0")/desktop-script.sh"

# The level at the sink over one second, in dB below full scale.
level() {
  timeout 1.6 parec --device=desktop.monitor --format=s16le --channels=2 --rate=48000 --raw \
    > "$PRIVATE_DESKTOP/take.raw" 2>/dev/null || true
  /usr/bin/python3 - "$PRIVATE_DESKTOP/take.raw" <<'PY'
import array, math, sys
data = array.array('h', open(sys.argv[1], 'rb').read())
tail = data[-96000:] if len(data) > 96000 else data
rms = math.sqrt(sum(x * x for x in tail) / max(1, len(tail))) / 32768.0
print(f"{20 * math.log10(rms):.1f} dBFS" if rms > 0 else "silence")
PY
}

status=0
"$dist/quietdeck" > "$out/quietdeck.log" 2>&1 &
player=$!
sleep 6
"${tree[@]}" $player dump > "$out/player-main.txt" || status=1
for window in "Alarm Config" "Equalizer" "Options" "Pitch Match" "Colors"; do
  if "${tree[@]}" $player press "$window" 2>/dev/null; then
    sleep 1.5
  fi
done
"${tree[@]}" $player dump > "$out/player-all-windows.txt" || status=1

# A mix made by ear: White Noise on, its volume set through the value interface.
{
  "${tree[@]}" $player press "White Noise"
  sleep 1
  for v in 100 25 0 100; do
    "${tree[@]}" $player set "White Noise volume" $v
    sleep 0.8
    echo "White Noise volume $v: $(level)"
  done
} > "$out/player-sound.txt" 2>&1 || status=1
kill $player; wait $player 2>/dev/null || true

mkdir -p "$PRIVATE_DESKTOP/bin" "$PRIVATE_DESKTOP/config"
printf '#!/bin/sh\nexit 0\n' > "$PRIVATE_DESKTOP/bin/pavucontrol"
chmod +x "$PRIVATE_DESKTOP/bin/pavucontrol"
PATH="$PRIVATE_DESKTOP/bin:$PATH" XDG_CONFIG_HOME="$PRIVATE_DESKTOP/config" "$dist/recorder" > "$out/recorder.log" 2>&1 &
recorder=$!
sleep 5
# The main window, the drive list and the recording help, which Mix opens with the mixer (a
# stand-in here that opens no window).
"${tree[@]}" $recorder press "Drive" && sleep 1.5
"${tree[@]}" $recorder press "Mix" && sleep 1.5
"${tree[@]}" $recorder dump > "$out/recorder.txt" || status=1
kill $recorder; wait $recorder 2>/dev/null || true

grep -h -- '^-- ' "$out"/player-main.txt "$out"/player-all-windows.txt "$out"/recorder.txt
cat "$out/player-sound.txt"
exit $status
