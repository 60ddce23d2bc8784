#!/usr/bin/env bash
# Uses "My Tinnitus" as a screen reader does and writes what it read to OUT (default
# build/profile-demo): the window's accessibility tree, the plots read as tables, a scripted
# listener through the first pitches of the hearing check, and the level at the sound server's
# sink while the check plays its first, quiet tone.
#
#   [POINTS=N] [PITCH=HZ] scripts/private-desktop.sh 21 scripts/profile-demo.sh [OUT]
#
# N pitches of the check (4 when not given); PITCH: a matched pitch saved before the player
# starts, which the check adds to its plan.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/build/profile-demo}
mkdir -p "$out"
tree=(/usr/bin/python3 "$here/scripts/atspi_tree.py")
dist="$PRIVATE_DESKTOP/dist"
cp -a "$here/build/dist" "$dist"
if [ -n "${PITCH:-}" ]; then
  printf '[Match]\nFrequency=%s\nKind=tone\n' "$PITCH" > "$dist/tinnitus.ini"
fi

# The peak at the sink over one second, in dB below full scale.
peak() {
  timeout 1.6 parec --device=desktop.monitor --format=s16le --channels=2 --rate=48000 --raw \
    > "$PRIVATE_DESKTOP/take.raw" 2>/dev/null || true
  /usr/bin/python3 - "$PRIVATE_DESKTOP/take.raw" <<'PY'
import array, math, sys
data = array.array('h', open(sys.argv[1], 'rb').read())
left, right = max((abs(x) for x in data[0::2]), default=0), max((abs(x) for x in data[1::2]), default=0)
fmt = lambda p: f"{20 * math.log10(p / 32768.0):.1f} dBFS" if p > 0 else "silence"
print(f"left {fmt(left)}, right {fmt(right)}")
PY
}

status=0
"$dist/quietdeck" --tinnitus > "$out/quietdeck.log" 2>&1 &
player=$!
sleep 6
"${tree[@]}" $player dump "My Tinnitus" > "$out/window.txt" || status=1

# The plots as tables: the check box, then every table with its cells.
"${tree[@]}" $player press "Show the figures as tables" && sleep 1
"${tree[@]}" $player dump "My Tinnitus" > "$out/window-tables.txt" || status=1
grep -c 'table "' "$out/window-tables.txt" > "$out/tables-count.txt" || status=1

# A scripted listener through the first four pitches of the hearing check, from the sound at the
# sink to the thresholds kept in the diary.
/usr/bin/python3 "$here/scripts/profile_listener.py" $player "${POINTS:-4}" "$dist/diary.sqlite" "${PITCH:-}" > "$out/listener.txt" 2>&1 || status=1
# The plots as tables again, now with what the listener's answers put in the diary.
"${tree[@]}" $player dump "My Tinnitus" > "$out/window-after.txt" || status=1

# The hearing check's first tone, measured where the sound goes: quiet, in one ear.
"${tree[@]}" $player press "Hearing check"
{
  for i in 1 2 3 4; do echo "hearing check, second $i: $(peak)"; done
} > "$out/hearing-check-level.txt" 2>&1 || status=1
"${tree[@]}" $player press "Stop (Esc)" || status=1
kill $player; wait $player 2>/dev/null || true
exit $status
