#!/usr/bin/env bash
# Runs a command inside a private desktop: an X server on display :N, a session bus with the
# accessibility bus and its registry (what screen readers talk to), and a sound server with a
# null sink whose monitor can be recorded (in floating point: what is recorded is what was
# played, not rounded to 16 bits). Everything it starts is stopped when the command ends.
#
#   scripts/private-desktop.sh N COMMAND [ARGS...]
#
# The command sees DISPLAY, DBUS_SESSION_BUS_ADDRESS, PULSE_SERVER and QT_ACCESSIBILITY=1.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 DISPLAY-NUMBER COMMAND [ARGS...]" >&2; exit 2; }
number=$1; shift
. "$(dirname "$0")/lib/scratch.sh" private-desktop
work=$scratch

Xvfb ":$number" -screen 0 1400x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=":$number"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done 2>/dev/null || sleep 1

dbus-daemon --session --nofork --print-address=3 3>"$work/bus" >"$work/dbus.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/bus" ] && break; sleep 0.1; done
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")

# The accessibility bus; its registry starts on the first request.
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
pids+=($!)
sleep 0.5

export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --log-target=file:"$work/pulse.log" \
  -L "module-native-protocol-unix socket=$work/pulse.sock auth-anonymous=1" \
  -L "module-null-sink sink_name=desktop rate=48000 format=float32le" &
pids+=($!)
export PULSE_SERVER="unix:$work/pulse.sock"
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink desktop >/dev/null 2>&1 || true

export QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export PRIVATE_DESKTOP="$work"
"$@"
