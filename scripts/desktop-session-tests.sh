#!/usr/bin/env bash
# Runs the whole test suite inside an ordinary desktop session: a session bus of its own
# (dbus-run-session) and a sound server on it, started as a desktop starts it, that holds its
# bus name (org.PulseAudio1; PipeWire's org.pulseaudio.Server) and the default socket in the
# session's runtime folder. The tests must start their own services beside it. A skipped test
# fails this run as a failed one does.
#
#   scripts/desktop-session-tests.sh [BUILD_DIR] [CTEST ARGS...]     (default build)
#   SOUND_SERVER=pipewire scripts/desktop-session-tests.sh           (pipewire-pulse instead)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
shift || true

if [ -z "${SONAVEIL_DESKTOP_SESSION:-}" ]; then
  exec env SONAVEIL_DESKTOP_SESSION=1 dbus-run-session -- "$0" "$build" "$@"
fi

. "$here/scripts/lib/scratch.sh" desktop-session
session=$scratch

# The session's own home and runtime folder: the user's configuration is neither read nor changed.
export HOME="$session/home" XDG_RUNTIME_DIR="$session/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER PULSE_RUNTIME_PATH PULSE_COOKIE XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME

bus_name=org.PulseAudio1
if [ "${SOUND_SERVER:-pulseaudio}" = pipewire ]; then
  bus_name=org.pulseaudio.Server
  for program in pipewire wireplumber pipewire-pulse; do
    "$program" >"$session/$program.log" 2>&1 &
    pids+=($!)
    sleep 0.5
  done
else
  # The system's own configuration, as a desktop log-in starts it; with no sound card it plays
  # on the null sink its configuration always keeps.
  pulseaudio --daemonize=no --exit-idle-time=-1 --log-target=file:"$session/pulse.log" &
  pids+=($!)
fi

answering=
for _ in $(seq 100); do
  if pactl info >/dev/null 2>&1; then answering=1; break; fi
  sleep 0.1
done
[ -n "$answering" ] || { echo "the session's sound server does not answer" >&2; cat "$session"/*.log >&2; exit 1; }
owner=$(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
  org.freedesktop.DBus.GetNameOwner string:$bus_name 2>/dev/null | sed -n 's/.*string "\(.*\)"/\1/p' || true)
[ -n "$owner" ] || { echo "the session's sound server does not hold $bus_name" >&2; exit 1; }
echo "session bus $DBUS_SESSION_BUS_ADDRESS; $bus_name held by $owner;" \
  "sound server at $XDG_RUNTIME_DIR/pulse/native ($(pactl info | sed -n 's/^Server Name: //p'))"

export QT_QPA_PLATFORM=offscreen
status=0
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300 "$@" | tee "$session/ctest.log" || status=$?
if grep -q "tests did not run" "$session/ctest.log"; then
  echo "some tests did not run: a test that cannot get its service must fail, never skip" >&2
  status=1
fi
exit "$status"
