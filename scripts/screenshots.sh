#!/usr/bin/env bash
# Takes the screenshots the software-centre metadata names: the player's main window with a mix
# on, and the equaliser window. Runs the player from a temporary install of BUILD_DIR under a
# private X server and sound server, so nothing of the machine's or the user's is touched.
#
#   scripts/screenshots.sh [BUILD_DIR] [DISPLAY_NUMBER] [OUT_DIR]
set -euo pipefail
build=$(realpath "${1:-build}")
display=":${2:-21}"
out=$(realpath -m "${3:-assets/screenshots}")
work=$(mktemp -d /tmp/sonaveil-shots-XXXXXX)
pids=()

cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$out" "$work/home" "$work/run" "$work/pulse"
chmod 700 "$work/run"
cmake --install "$build" --prefix "$work/usr" >/dev/null
chmod -R a-w "$work/usr/lib/sonaveil"
trap 'chmod -R u+w "$work/usr" 2>/dev/null; cleanup' EXIT

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" DISPLAY="$display" QT_QPA_PLATFORM=xcb
unset XDG_DATA_HOME WAYLAND_DISPLAY SONAVEIL_DIST
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
  -L "module-native-protocol-unix socket=$work/pulse/native auth-anonymous=1" \
  -L "module-null-sink sink_name=shots" >"$work/pulse.log" 2>&1 &
pids+=($!)
export PULSE_SERVER="unix:$work/pulse/native"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && pactl info >/dev/null 2>&1 && break; sleep 0.1; done

# A mix of pink noise, rain and ocean: the starter preset "Ocean Night".
export SONAVEIL_READY_FILE="$work/ready"
"$work/usr/bin/quietdeck" "$work/usr/lib/sonaveil/saves/Ocean Night.svp" >"$work/player.log" 2>&1 &
pids+=($!)
for _ in $(seq 600); do [ -f "$work/ready" ] && break; sleep 0.1; done
[ -f "$work/ready" ] || { cat "$work/player.log"; echo "The player did not start." >&2; exit 1; }
sleep 2
main=$(xdotool search --onlyvisible --name '^Sonaveil$' | head -1)
import -window "$main" "$out/main-window.png"

xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
xdotool key --window "$main" alt+q
sleep 2
eq=$(xdotool search --onlyvisible --name 'Equali[sz]er' | head -1)
import -window "$eq" "$out/equaliser.png"

"$work/usr/bin/quietdeck" --quit >/dev/null 2>&1 || true
for f in "$out"/main-window.png "$out"/equaliser.png; do
  identify -format '%f %wx%h\n' "$f"
done
