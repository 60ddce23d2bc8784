#!/bin/bash
# Instructions the player's interface thread spends in its start-up sequence (Player::startUp)
# with a resumed mix of sounds 1 … SOUNDS on, live (EndlessSounds=1) and from the files
# (EndlessSounds=0), counted by callgrind (independent of the machine's load):
#     bench/player/callgrind_startup.sh <program folder> [<baseline program folder>] [SOUNDS=12]
# Only the interface thread is counted: work handed to the engine's or the live sounds' worker
# threads is not (they run beside it). The player runs offscreen without a sound server, so the
# engine stays silent; every sound is still started as with one.
set -e
dist=$(realpath "$1"); base=${2:+$(realpath "$2")}; sounds=${3:-12}
here=$(dirname "$(realpath "$0")")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/home"
python3 -c "
import sys; sys.path.insert(0, '$here'); import bench_player as b
b.SOUNDS_ON = $sounds
open('$tmp/previous.tmp', 'wb').write(b.preset_record())"

# count <program folder> <0|1>: the interface thread's instructions in the start-up sequence.
count() {
  local folder=$tmp/program
  rm -rf "$folder"; mkdir "$folder"
  # Everything copied but the sample files, which are only read.
  for entry in "$1"/*; do
    if [ "$(basename "$entry")" = bin ]; then ln -s "$entry" "$folder/bin"; else cp -a "$entry" "$folder/"; fi
  done
  cp "$tmp/previous.tmp" "$folder/previous.tmp"
  printf '[Startup]\r\nResumeLastMix=1\r\nEndlessSounds=%s\r\n' "$2" > "$folder/settings.ini"
  rm -f "$tmp/ready" "$tmp"/out*
  HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config QT_QPA_PLATFORM=offscreen PULSE_SERVER=unix:$tmp/none \
    SONAVEIL_READY_FILE=$tmp/ready valgrind --tool=callgrind --toggle-collect='*Player::startUp*' \
    --separate-threads=yes --callgrind-out-file="$tmp/out" "$folder/quietdeck" > "$tmp/log" 2>&1 &
  local pid=$!
  for _ in $(seq 1 600); do [ -f "$tmp/ready" ] && break; sleep 0.5; done
  kill -TERM $pid 2>/dev/null || true
  wait $pid || true
  # Thread 1 is the interface thread.
  sed -n 's/^summary: //p' "$tmp/out-01"
}

printf "%d sounds on, instructions of the interface thread in the start-up sequence\n" "$sounds"
live=$(count "$dist" 1); files=$(count "$dist" 0)
printf "  live   %12d\n  files  %12d   live / files %.3f\n" "$live" "$files" "$(echo "$live / $files" | bc -l)"
if [ -n "$base" ]; then
  blive=$(count "$base" 1); bfiles=$(count "$base" 0)
  printf "  baseline live   %12d\n  baseline files  %12d   live / baseline's files %.3f\n" \
    "$blive" "$bfiles" "$(echo "$live / $bfiles" | bc -l)"
fi
