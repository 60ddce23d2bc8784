#!/bin/bash
# Checksums of what a build makes, to compare two builds of code that should behave the same:
# three 35-voice offline renders (endless sounds with a seed; the second with an equaliser preset,
# a notch and a fade-out), the shipped sample files bin/*, and every control painted in every look.
#
#   bench/structure/checksums.sh [BUILD_DIR]      (default: build)
#
# Run it on the build before a change and after, and compare the lines.
set -euo pipefail
build=${1:-build}
dist=$build/dist
render=$dist/quietdeck-render
paint=$build/bench/structure/paint-checksums
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

all=$(seq -s, 1 35)
"$render" --sound "$all" --seed 7 --seconds 6 --float --out "$work/a.wav" 2>/dev/null
"$render" --sound "$all" --seed 11 --seconds 6 --float --eq "$dist/presets/Deep Night.eqf" \
    --notch 4000 --notch-width 0.5 --fade-out 4 --out "$work/b.wav" 2>/dev/null
"$render" --sound "$all" --seed 18446744073709551615 --seconds 6 --volume 200 --master 80 --pitch 3000 \
    --pan 20 --float --eq "$dist/presets/Soft 4 kHz Dip.eqf" --notch 6000 --fade-out 2 --out "$work/c.wav" 2>/dev/null
# The samples only: a float WAV's header carries the time it was written.
samples() {
    python3 -c '
import hashlib, struct, sys
d = open(sys.argv[1], "rb").read()
at = 12
while at + 8 <= len(d):
    kind, size = d[at:at + 4], struct.unpack("<I", d[at + 4:at + 8])[0]
    if kind == b"data":
        print(hashlib.md5(d[at + 8:at + 8 + size]).hexdigest())
        break
    at += 8 + size + (size & 1)
' "$1"
}
for f in a b c; do
    echo "$(samples "$work/$f.wav") render $f"
done
echo "$(cd "$dist/bin" && md5sum * | md5sum | cut -d' ' -f1) bin ($(ls "$dist/bin" | wc -l) files)"
QT_QPA_PLATFORM=offscreen "$paint" --total | sed 's/total$/controls painted/'
