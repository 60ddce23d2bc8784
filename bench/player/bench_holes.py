#!/usr/bin/env python3
"""Listens for holes in the player's sound while the machine is busy, as on a night with a build
or an update running: records the sink's monitor for a while and counts every stretch of near
silence, and the underruns the sound server logged for the player's stream.

    bench_holes.py [--dist build/dist] [--server pulseaudio|pipewire] [--sounds 35]
                   [--files] [--seconds 600] [--busy 4] [--compilers 6] [--keep]
    bench_holes.py --check [--server ...]   starves a pacat stream on purpose: the counters must
                                            see its holes and underruns, or nothing they say counts

Set-up as bench_player.py (a copy of the program folder, Xvfb, "Resume the last mix" with sounds
1 to --sounds on, endless sounds unless --files), with a private sound server of either kind
holding one null sink. Load: --busy processes spinning in a loop and --compilers processes each
compiling a source file of this project again and again, all at normal priority.

- hole: a 2 ms window whose level is more than 30 dB below both the 20 ms before it and the
  20 ms after it, or a 2 ms window of digital silence; windows less than 50 ms apart count as one
  hole. The first 5 s of the recording are skipped (the player starting).
- underruns: lines of the server's log that report one for a playback stream (pulseaudio at
  debug level, pipewire-pulse at info level).

Goal: 0 holes and 0 underruns. Exit status: 0 met, 1 missed, 2 the measurement could not run.
"""

import argparse
import array
import audioop  # noqa: deprecated in 3.11, still there until 3.13; a 2 ms RMS in C
import math
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.realpath(__file__)))
import bench_player as bp  # noqa: E402

RATE = 44100
FRAME_BYTES = 4            # s16le stereo
WINDOW = RATE * 2 // 1000  # frames in 2 ms
NEIGHBOURS = 10            # windows on each side: 20 ms
DROP_DB = 30.0
MERGE_WINDOWS = 25         # 50 ms
SKIP_SECONDS = 5.0
REPO = os.path.realpath(os.path.join(os.path.dirname(os.path.realpath(__file__)), "..", ".."))


def find_holes(data, skip_seconds=SKIP_SECONDS):
    """[(second, length in ms)] of every hole in s16le stereo `data` after its first `skip_seconds`."""
    step = WINDOW * FRAME_BYTES
    levels = array.array("d", (float(audioop.rms(data[i:i + step], 2))
                               for i in range(0, len(data) - step + 1, step)))
    energy = [v * v for v in levels]
    prefix = [0.0]
    for e in energy:
        prefix.append(prefix[-1] + e)
    ratio = 10 ** (-DROP_DB / 10)
    skip = int(skip_seconds * 1000 / 2)
    flagged = []
    for i in range(max(skip, NEIGHBOURS), len(energy) - NEIGHBOURS):
        before = (prefix[i] - prefix[i - NEIGHBOURS]) / NEIGHBOURS
        after = (prefix[i + 1 + NEIGHBOURS] - prefix[i + 1]) / NEIGHBOURS
        silent = levels[i] == 0.0
        dropped = energy[i] < ratio * before and energy[i] < ratio * after
        if silent or dropped:
            flagged.append(i)
    holes = []
    for i in flagged:
        if holes and i - holes[-1][1] <= MERGE_WINDOWS:
            holes[-1][1] = i
        else:
            holes.append([i, i])
    return [(first * 0.002, (last - first + 1) * 2) for first, last in holes]


class PipeWire:
    """A private pipewire, wireplumber and pipewire-pulse on a private session bus, with one null
    sink named bp.SINK; quacks like bench_player.Services for what the player and parec need."""

    def __init__(self, services):
        self.services = services
        self.procs = []
        self.runtime = os.path.join(services.root, "pw-runtime")
        os.makedirs(self.runtime, mode=0o700, exist_ok=True)
        self.log = os.path.join(services.root, "pipewire-pulse.log")
        self.bus = None

    def environment(self):
        env = dict(os.environ)
        for key in ("PULSE_SERVER", "PULSE_RUNTIME_PATH", "PULSE_COOKIE", "PIPEWIRE_REMOTE"):
            env.pop(key, None)
        env.update({"XDG_RUNTIME_DIR": self.runtime, "HOME": self.services.pulse_dir})
        if self.bus:
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus
        return env

    def start(self):
        env = self.environment()
        bus = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1",
                              "--print-pid=1", "--nopidfile"], env=env, capture_output=True,
                             text=True, timeout=10)
        lines = bus.stdout.split()
        if bus.returncode != 0 or len(lines) < 2:
            raise bp.SetupError("dbus-daemon did not start: %s" % bus.stderr.strip())
        self.bus, self.bus_pid = lines[0], int(lines[1])
        env = self.environment()
        for args, extra in ((["pipewire"], {}), (["wireplumber"], {}),
                            (["pipewire-pulse"], {"PIPEWIRE_DEBUG": "3,mod.protocol-pulse:4"})):
            try:
                proc = subprocess.Popen(args, env=dict(env, **extra), stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL,
                                        stderr=open(self.log if args[0] == "pipewire-pulse"
                                                    else os.path.join(self.services.root, args[0] + ".log"), "ab"))
            except FileNotFoundError:
                raise bp.SetupError("%s is not installed" % args[0])
            self.procs.append(proc)
            time.sleep(0.3)
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline:
            if any(p.poll() is not None for p in self.procs):
                raise bp.SetupError("a PipeWire service stopped at once (logs in %s)" % self.services.root)
            if os.path.exists(os.path.join(self.runtime, "pulse", "native")):
                out = self.pactl("load-module", "module-null-sink", "sink_name=%s" % bp.SINK,
                                 "sink_properties=device.description=Sonaveil_Bench")
                if out.strip():
                    return
            time.sleep(0.1)
        raise bp.SetupError("pipewire-pulse did not offer a null sink within 15 s")

    @property
    def server(self):
        return "unix:" + os.path.join(self.runtime, "pulse", "native")

    @property
    def pid(self):
        return self.procs[-1].pid

    def pactl(self, *args):
        r = subprocess.run(["pactl", "--server=" + self.server, *args], env=self.environment(),
                           capture_output=True, text=True, timeout=10)
        return r.stdout

    def stop(self):
        for proc in reversed(self.procs):
            bp.stop_process(proc)
        self.procs = []
        if self.bus:
            try:
                os.kill(self.bus_pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            self.bus = None


class PipeWireServices(bp.Services):
    """bench_player's services with the sound server's address and environment taken from a
    private PipeWire, so that the player and parec reach it as they reach pulseaudio."""

    pipewire = None

    @property
    def server(self):
        return self.pipewire.server if self.pipewire else bp.Services.server.fget(self)

    def pulse_environment(self):
        if not self.pipewire:
            return bp.Services.pulse_environment(self)
        env = {"PULSE_SERVER": self.pipewire.server, "HOME": self.pulse_dir}
        env["XDG_RUNTIME_DIR"] = self.pipewire.runtime
        return env


class Server:
    """One private sound server of the chosen kind, its log, and a recorder of its sink's monitor."""

    def __init__(self, services, kind):
        self.services = services
        self.kind = kind
        self.pipewire = PipeWire(services) if kind == "pipewire" else None
        services.pipewire = self.pipewire

    def start(self):
        if self.pipewire:
            self.pipewire.start()
        else:
            self.start_pulseaudio()

    def start_pulseaudio(self):
        s = self.services
        env = dict(os.environ)
        env.update(s.pulse_environment())
        self.log = os.path.join(s.pulse_dir, "pulse.log")
        # A sink that can rewind, as a sound card's can, and a log that names every underrun.
        args = ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                "--disable-shm=yes", "--log-level=debug", "--log-target=file:" + self.log,
                "-L", "module-native-protocol-unix socket=%s auth-anonymous=1"
                % os.path.join(s.pulse_dir, "native"),
                "-L", "module-null-sink sink_name=%s sink_properties=device.description=Sonaveil_Bench" % bp.SINK]
        try:
            s.pulse = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except FileNotFoundError:
            raise bp.SetupError("pulseaudio is not installed")
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if s.pulse.poll() is not None:
                raise bp.SetupError("pulseaudio stopped at once (see %s)" % self.log)
            if bp.SINK in s.pactl("list", "short", "sinks"):
                return
            time.sleep(0.05)
        raise bp.SetupError("pulseaudio did not answer within 10 s")

    @property
    def pid(self):
        return self.pipewire.pid if self.pipewire else self.services.pulse.pid

    def log_path(self):
        return self.pipewire.log if self.pipewire else self.log

    def underruns(self, since):
        """Underrun lines the log gained since byte offset `since`, and the new offset."""
        path = self.log_path()
        with open(path, "rb") as f:
            f.seek(since)
            text = f.read().decode("utf-8", "replace")
            end = f.tell()
        # pulseaudio: "Implicit underrun of '<stream>'" (or "Underrun of"), once for each;
        # pipewire-pulse: "[<client>] underrun read:…" for every period the stream has nothing,
        # so lines less than 100 ms apart are one underrun. A sink's own "Found underrun …"
        # concerns the sink, not a stream.
        events = []
        last = None
        for line in text.splitlines():
            low = line.lower()
            if "underrun of '" in low:
                events.append(line)
            elif "] underrun" in low and "underrun read:0 " not in low:
                # (read:0 is a stream that has not started yet, not a hole)
                stamp = float(line[line.index("][") + 2:line.index("]", line.index("][") + 2)])
                if last is None or stamp - last > 0.1:
                    events.append(line)
                last = stamp
        return events, end

    def log_size(self):
        try:
            return os.path.getsize(self.log_path())
        except FileNotFoundError:
            return 0

    def record(self, seconds, path):
        env = dict(os.environ)
        env.update(self.services.pulse_environment())
        with open(path, "wb") as out:
            p = subprocess.Popen(["parec", "--server=" + self.services.server, "-d", bp.SINK + ".monitor",
                                  "--format=s16le", "--rate=%d" % RATE, "--channels=2", "--raw",
                                  "--latency-msec=200"],
                                 env=env, stdout=out, stderr=subprocess.DEVNULL)
            return p

    def stop(self):
        if self.pipewire:
            self.pipewire.stop()
        else:
            bp.stop_process(self.services.pulse)
            self.services.pulse = None


def start_load(busy, compilers, root):
    procs = []
    for _ in range(busy):
        procs.append(subprocess.Popen(["sh", "-c", "while :; do :; done"], start_new_session=True))
    source = os.path.join(REPO, "synth", "dsp.cpp")
    for i in range(compilers):
        out = os.path.join(root, "load%d.o" % i)
        command = "while :; do c++ -std=c++20 -O2 -I'%s' -c '%s' -o '%s' 2>/dev/null; done" % (REPO, source, out)
        procs.append(subprocess.Popen(["sh", "-c", command], start_new_session=True))
    return procs


def stop_load(procs):
    for p in procs:
        try:
            os.killpg(p.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        p.wait()


def measure(args, root, services, server):
    folder = os.path.join(root, "program")
    bp.copy_program_folder(os.path.realpath(args.dist), folder)
    bp.SOUNDS_ON = args.sounds
    player = bp.Player(folder, services, os.path.join(root, "ready"), os.path.join(root, "player.log"))
    player.launch(endless=not args.files)
    load = []
    recorder = None
    try:
        time.sleep(2.0)
        offset = server.log_size()
        load = start_load(args.busy, args.compilers, root)
        raw = os.path.join(root, "monitor.raw")
        recorder = server.record(args.seconds, raw)
        started = time.monotonic()
        while time.monotonic() - started < args.seconds:
            time.sleep(1.0)
            if player.proc.poll() is not None:
                raise bp.SetupError("the player ended during the recording%s" % bp.log_tail(player.log_path))
        bp.stop_process(recorder)
        recorder = None
        underruns, _ = server.underruns(offset)
        load_average = os.getloadavg()[0]
    finally:
        stop_load(load)
        if recorder:
            bp.stop_process(recorder)
        player.stop()
    data = open(raw, "rb").read()
    seconds = len(data) / (RATE * FRAME_BYTES)
    holes = find_holes(data)
    level = audioop.rms(data[len(data) // 2:], 2) if data else 0
    bp.log("%s, %d %s sounds, %.0f s recorded under %d busy loops and %d compilers (load %.1f at the end)"
           % (server.kind, args.sounds, "file" if args.files else "endless", seconds, args.busy,
              args.compilers, load_average))
    bp.log("  level %.1f dBFS" % (20 * math.log10(level / 32768) if level else float("-inf")))
    for at, length in holes[:20]:
        bp.log("  hole at %.3f s, %d ms" % (at, length))
    bp.log("  holes %d   underruns in the server's log %d   goal 0 and 0   %s"
           % (len(holes), len(underruns), bp.verdict(not holes and not underruns)))
    for line in underruns[:5]:
        bp.log("    " + line.strip()[:160])
    if seconds < 0.9 * args.seconds or not level:
        raise bp.SetupError("the recording is short or silent: nothing it says counts")
    return 0 if not holes and not underruns else 1


def check(args, root, services, server):
    """A pacat stream fed in bursts with pauses between them: the counters must find holes and
    underruns, so that a 0 from them means something."""
    env = dict(os.environ)
    env.update(services.pulse_environment())
    offset = server.log_size()
    raw = os.path.join(root, "check.raw")
    recorder = server.record(10, raw)
    time.sleep(0.5)
    pacat = subprocess.Popen(["pacat", "--server=" + services.server, "-d", bp.SINK, "--raw",
                              "--format=s16le", "--rate=%d" % RATE, "--channels=2", "--latency-msec=50"],
                             env=env, stdin=subprocess.PIPE)
    second = b"".join(int(8000 * math.sin(2 * math.pi * 440 * i / RATE)).to_bytes(2, "little", signed=True) * 2
                      for i in range(RATE))
    try:
        for _ in range(6):
            pacat.stdin.write(second)
            pacat.stdin.flush()
            time.sleep(1.4)   # 0.4 s with nothing to play after every second of sound
    finally:
        pacat.stdin.close()
        pacat.wait(timeout=10)
        time.sleep(0.5)
        bp.stop_process(recorder)
    holes = find_holes(open(raw, "rb").read(), skip_seconds=0)
    underruns, _ = server.underruns(offset)
    bp.log("%s check: a starved stream gave %d holes and %d underrun lines" % (server.kind, len(holes), len(underruns)))
    ok = len(holes) >= 3 and len(underruns) >= 3
    bp.log("  the counters %s" % ("see them" if ok else "MISS them: do not trust their zeros"))
    return 0 if ok else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--dist", default="build/dist")
    parser.add_argument("--server", choices=("pulseaudio", "pipewire"), default="pulseaudio")
    parser.add_argument("--sounds", type=int, default=35)
    parser.add_argument("--files", action="store_true", help="the built-in sounds from their files")
    parser.add_argument("--seconds", type=float, default=600)
    parser.add_argument("--busy", type=int, default=4)
    parser.add_argument("--compilers", type=int, default=6)
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--keep", action="store_true")
    args = parser.parse_args()
    root = tempfile.mkdtemp(prefix="sonaveil-holes-")
    services = PipeWireServices(root)
    server = Server(services, args.server)
    try:
        server.start()
        if args.check:
            return check(args, root, services, server)
        services.start_xvfb()
        return measure(args, root, services, server)
    except bp.SetupError as e:
        bp.log("cannot measure: %s" % e)
        return 2
    except Exception:
        traceback.print_exc()
        return 2
    finally:
        server.stop()
        bp.stop_process(services.xvfb)
        if args.keep:
            bp.log("kept %s" % root)
        else:
            shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
