#!/usr/bin/env python3
"""Measures the running player: start-up time, CPU use and memory with twelve sounds playing.

    bench_player.py [--dist build/dist] [--seconds 30] [--launches 5] [--sounds 12] [--keep]
                    [--equaliser off|on|both] [--cpu-runs 5]
    bench_player.py --sounds 0          the same with no sound on (memory goal 50 MB)
    bench_player.py --white             white noise alone at the default sliders: its level
    bench_player.py --check-parts       starts and checks the helpers only, no player
    bench_player.py --endless [--baseline OLD/build/dist] [--launches 5] [--cpu-runs 5]
                                        the same sounds live and as file loops, side by side,
                                        beside pacat playing a file (--cpu-runs 0: the ready
                                        times only)

Everything happens in a temporary program folder (a copy of the program folder, sample files
hard-linked where possible) under a private X server (Xvfb, on a display number it picks itself)
and a private pulseaudio with one null sink. The copy's "previous.tmp" switches sounds 1 to 12 (or
--sounds) on at volume 100, master 50, and its "settings.ini" turns on "Resume the last mix", so
the player starts playing by itself. With --white only sound 1 is on, every slider at its
starting position (volume 100, master 100, pitch 4410, balance 12).

- ready: time from launch until the player writes the file named by SONAVEIL_READY_FILE
  (median of --launches launches; goal 0.6 s)
- CPU: utime + stime of the player and of the sound server (whose work for the player counts
  as the player's) from /proc over --seconds seconds, after it is ready, in percent of one core;
  the median of --cpu-runs launches (goal: the two together under 1 %, with the equaliser on
  too). Beside it the server's context switches a second and the sink's configured latency. --equaliser on starts the player with a stored "effects.tmp" that switches the ten-band
  equaliser on; both measures without and with it, one after the other.
- memory: VmRSS sampled every second and VmHWM at the end (goal 85 MB with sounds on, 50 MB
  with none)
- sound on the sink: RMS of one second of the null sink's monitor, both channels

With --endless the launches for the ready time and then the CPU runs alternate between the
player with "Endless sounds" on (settings.ini EndlessSounds=1: the built-in sounds are made live)
and off (EndlessSounds=0: every sound plays its file as a loop); with --baseline another program
folder (an older build, the one to compare with) plays the same mix both ways too. Each round of
CPU runs also measures `pacat --latency-msec=100` playing a file of noise in the player's format
(s16le, 44100 Hz, stereo) on the same server: pacat and the server over the same window.
Reported: the median ready time of each and the ratios of live to files and to the baseline's
files (goal at most 1.0: live sounds start the player no later); the CPU medians of each (the
client and the server together); live to files (goal at most 1.0); live to the baseline's live
and files to the baseline's files (goal at most 0.6 each); live to pacat's stream (goal at most
0.8); and the live player's memory (goal under 60 MB with twelve sounds).

Exit status: 0 all goals met, 1 a goal missed, 2 the measurement could not run. Whatever the
script starts it stops again, and the temporary folders are removed (unless --keep).
"""

import argparse
import array
import math
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time
import traceback

GOAL_READY_S = 0.6
GOAL_CPU_PERCENT = 1.0
GOAL_EQUALISER_CPU_PERCENT = 1.0
GOAL_MEMORY_MB = 85.0
GOAL_MEMORY_NONE_MB = 50.0
GOAL_ENDLESS_MEMORY_MB = 60.0
GOAL_ENDLESS_CPU_RATIO = 1.0
GOAL_ENDLESS_READY_RATIO = 1.0
GOAL_BASELINE_CPU_RATIO = 0.6
GOAL_PACAT_CPU_RATIO = 0.8
PACAT_LATENCY_MS = 100
SINK = "sonaveil_bench"
# What previous.tmp switches on, set from the command line.
SOUNDS_ON = 12
MASTER = 50

# Files the player writes into its folder; removed before every launch so that each one starts alike.
STATE_FILES = ["previous.tmp", "startup.tmp", "scard2.tmp", "settings.ini", "preset.txt",
               "maincol.tmp", "alarm.tmp", "effects.tmp"]


class SetupError(Exception):
    pass


def log(text):
    print(text, flush=True)


def log_tail(path, lines=15):
    """The last lines of a log, for an error message (the folder is removed afterwards)."""
    try:
        with open(path, errors="replace") as f:
            tail = f.read().splitlines()[-lines:]
    except OSError:
        return ""
    return "".join("\n    " + line for line in tail)


# --- the files that switch the twelve sounds on -----------------------------------------------

def preset_record():
    """A 137-field preset record: sounds 1..SOUNDS_ON on, natural pitch, centred pan."""
    fields = [1 if n <= SOUNDS_ON else 0 for n in range(1, 36)]   # 1-35 on/off
    fields += [100] * 10                                          # 36-45 volume, sounds 1-10
    fields += [4410] * 10                                         # 46-55 pitch, sounds 1-10
    fields += [12] * 10                                           # 56-65 pan, sounds 1-10
    fields += [0]                                                 # 66 ucSlider31, no function
    fields += [MASTER]                                            # 67 master
    fields += [100] * 10                                          # 68-77 volume, sounds 20..11
    fields += [3300] * 8 + [4410] * 2                             # 78-87 pitch, 20..13, then 12, 11
    fields += [12] * 10                                           # 88-97 pan, sounds 20..11
    fields += [100] * 10                                          # 98-107 volume, sounds 21-30
    fields += [3300] * 10                                         # 108-117 pitch, sounds 21-30
    fields += [12] * 10                                           # 118-127 pan, sounds 21-30
    fields += [100] * 5                                           # 128-132 volume, sounds 31-35
    fields += [12] * 5                                            # 133-137 pan, sounds 31-35
    assert len(fields) == 137
    return (",".join(str(f) for f in fields) + "\r\n").encode("ascii")


SETTINGS_INI = b"[Startup]\r\nResumeLastMix=1\r\n"
# The equaliser on, every band away from 0 dB, so that all ten filters do real work.
EFFECTS_ON = b'#TRUE#,"Bench",18,17,16,14,13,12,13,11,10,9\r\n'


def prepare_state(folder, equaliser=False, endless=None):
    for name in STATE_FILES:
        try:
            os.remove(os.path.join(folder, name))
        except FileNotFoundError:
            pass
    with open(os.path.join(folder, "previous.tmp"), "wb") as f:
        f.write(preset_record())
    with open(os.path.join(folder, "settings.ini"), "wb") as f:
        f.write(SETTINGS_INI + (b"" if endless is None else b"EndlessSounds=%d\r\n" % (1 if endless else 0)))
    if equaliser:
        with open(os.path.join(folder, "effects.tmp"), "wb") as f:
            f.write(EFFECTS_ON)


def check_state(folder):
    """Reads the two files back as the player will see them."""
    data = open(os.path.join(folder, "previous.tmp"), "rb").read()
    if not data.endswith(b"\r\n") or data.count(b"\r\n") != 1:
        raise SetupError("previous.tmp is not one CR LF line")
    fields = [int(x) for x in data[:-2].split(b",")]
    if len(fields) != 137 or fields[:35] != [1] * SOUNDS_ON + [0] * (35 - SOUNDS_ON):
        raise SetupError("previous.tmp does not switch sounds 1 to %d on" % SOUNDS_ON)
    ini = open(os.path.join(folder, "settings.ini"), "rb").read().decode("ascii").splitlines()
    if ini[:2] != ["[Startup]", "ResumeLastMix=1"] or ini[2:] not in ([], ["EndlessSounds=0"], ["EndlessSounds=1"]):
        raise SetupError("settings.ini does not hold ResumeLastMix=1 in [Startup]")
    return fields


def copy_program_folder(dist, target):
    """Copies the program folder; sample files are hard-linked when the file system allows it."""
    def link_or_copy(src, dst):
        if os.sep + "bin" + os.sep in src or src.endswith(".wav"):
            try:
                os.link(src, dst)
                return dst
            except OSError:
                pass
        return shutil.copy2(src, dst)
    shutil.copytree(dist, target, symlinks=False, copy_function=link_or_copy)


# --- helpers: X server and sound server --------------------------------------------------------

class Services:
    """A private Xvfb and a private pulseaudio, stopped again by stop()."""

    def __init__(self, root):
        self.root = root
        self.xvfb = None
        self.pulse = None
        self.display = None
        self.pulse_dir = os.path.join(root, "pulse")
        self.home = os.path.join(root, "home")
        self.runtime = os.path.join(root, "runtime")
        for d in (self.pulse_dir, self.home, self.runtime):
            os.makedirs(d, mode=0o700, exist_ok=True)

    @property
    def server(self):
        return "unix:" + os.path.join(self.pulse_dir, "native")

    def start_xvfb(self):
        # Display numbers from a base of our own, clear of the low numbers that desktops and other
        # scripts assume; a number in use makes Xvfb stop at once and the next one is tried.
        base = 100 + os.getpid() % 400
        for number in range(base, base + 40):
            if os.path.exists("/tmp/.X%d-lock" % number):
                continue
            if self._try_xvfb(number):
                self.display = ":%d" % number
                return
        raise SetupError("Xvfb did not start on any display from :%d (see xvfb.log)" % base)

    def _try_xvfb(self, number):
        read_end, write_end = os.pipe()
        try:
            # -displayfd: the server writes the display number once it accepts connections.
            self.xvfb = subprocess.Popen(
                ["Xvfb", ":%d" % number, "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=open(os.path.join(self.root, "xvfb.log"), "ab"))
        except FileNotFoundError:
            raise SetupError("Xvfb is not installed")
        finally:
            os.close(write_end)
        answer = b""
        deadline = time.monotonic() + 10
        os.set_blocking(read_end, False)
        while time.monotonic() < deadline and not answer.endswith(b"\n"):
            try:
                chunk = os.read(read_end, 32)
                if not chunk:
                    break
                answer += chunk
            except BlockingIOError:
                if self.xvfb.poll() is not None:
                    break
                time.sleep(0.02)
        os.close(read_end)
        if answer.strip() == str(number).encode():
            return True
        stop_process(self.xvfb)
        self.xvfb = None
        return False

    def pulse_environment(self):
        return {
            "HOME": self.pulse_dir,
            "PULSE_SERVER": self.server,
            "PULSE_RUNTIME_PATH": os.path.join(self.pulse_dir, "runtime"),
            "PULSE_COOKIE": os.path.join(self.pulse_dir, "cookie"),
        }

    def start_pulse(self):
        env = dict(os.environ)
        env.update(self.pulse_environment())
        args = [
            "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
            "--disable-shm=yes", "--log-target=file:" + os.path.join(self.pulse_dir, "pulse.log"),
            "-L", "module-native-protocol-unix socket=%s auth-anonymous=1"
            % os.path.join(self.pulse_dir, "native"),
            "-L", "module-null-sink sink_name=%s norewinds=1 "
            "sink_properties=device.description=Sonaveil_Bench" % SINK,
        ]
        try:
            self.pulse = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL,
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except FileNotFoundError:
            raise SetupError("pulseaudio is not installed")
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if self.pulse.poll() is not None:
                raise SetupError("pulseaudio stopped at once (see pulse/pulse.log)")
            if SINK in self.pactl("list", "short", "sinks"):
                return
            time.sleep(0.05)
        raise SetupError("pulseaudio did not answer within 10 s")

    def pactl(self, *args):
        env = dict(os.environ)
        env.update(self.pulse_environment())
        r = subprocess.run(["pactl", "--server=" + self.server, *args], env=env,
                           capture_output=True, text=True, timeout=10)
        return r.stdout

    def record_monitor(self, seconds, slack=5.0):
        """`seconds` of the null sink's monitor as s16le stereo at 44.1 kHz (less when parec stops
        or `slack` seconds more have passed), cut to whole frames."""
        env = dict(os.environ)
        env.update(self.pulse_environment())
        p = subprocess.Popen(["parec", "--server=" + self.server, "-d", SINK + ".monitor",
                              "--format=s16le", "--rate=44100", "--channels=2", "--raw"],
                             env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        want = int(44100 * 2 * 2 * seconds)
        data = b""
        deadline = time.monotonic() + seconds + slack
        try:
            while len(data) < want and time.monotonic() < deadline:
                chunk = p.stdout.read1(65536)
                if not chunk:
                    break
                data += chunk
        finally:
            stop_process(p)
        return data[:len(data) // 4 * 4]

    def sink_level_db(self, seconds=1.0):
        """RMS level of what reaches the null sink, in dBFS (-inf for silence)."""
        data = self.record_monitor(seconds)
        samples = array.array("h")
        samples.frombytes(data[:len(data) // 2 * 2])
        # Skip the first quarter: the monitor starts with what the sink rendered earlier.
        samples = samples[len(samples) // 4:]
        if not samples:
            return float("-inf")
        rms = math.sqrt(sum(s * s for s in samples) / len(samples)) / 32768
        return 20 * math.log10(rms) if rms > 0 else float("-inf")

    def stop(self):
        for proc in (self.pulse, self.xvfb):
            stop_process(proc)
        self.pulse = self.xvfb = None


def stop_process(proc, grace=5.0):
    """SIGTERM, then SIGKILL after `grace` seconds; returns whether it ended on SIGTERM."""
    if proc is None or proc.poll() is not None:
        return True
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(timeout=grace)
        return True
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        return False


# --- the player ---------------------------------------------------------------------------------

def proc_cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        stat = f.read()
    fields = stat[stat.rindex(")") + 2:].split()
    utime, stime = int(fields[11]), int(fields[12])   # fields 14 and 15 of the whole line
    return (utime + stime) / os.sysconf("SC_CLK_TCK")


def proc_switches(pid):
    """Voluntary plus involuntary context switches of every thread of a process so far."""
    total = 0
    base = "/proc/%d/task" % pid
    for tid in os.listdir(base):
        try:
            with open(os.path.join(base, tid, "status")) as f:
                for line in f:
                    key, _, value = line.partition(":")
                    if key in ("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches"):
                        total += int(value)
        except (FileNotFoundError, ProcessLookupError):
            pass   # the thread ended meanwhile
    return total


def sink_configured_latency_ms(services):
    """The sink's latency as the server configured it for its streams, in ms (-1: not found)."""
    text = services.pactl("list", "sinks")
    at = text.find("Name: %s" % SINK)
    at = text.find("configured ", text.find("Latency: ", at)) if at >= 0 else -1
    if at < 0:
        return -1.0
    return float(text[at + len("configured "):].split()[0]) / 1000.0


def proc_memory_mb(pid):
    values = {}
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            key, _, rest = line.partition(":")
            if key in ("VmRSS", "VmHWM"):
                values[key] = int(rest.split()[0]) / 1024.0
    return values.get("VmRSS", 0.0), values.get("VmHWM", 0.0)


class Player:
    def __init__(self, folder, services, ready_file, log_path):
        self.folder = folder
        self.services = services
        self.ready_file = ready_file
        self.log_path = log_path
        self.proc = None
        self.command_prefix = []   # a program the player is started through (setpriv, …)

    def environment(self):
        env = dict(os.environ)
        for key in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "SONAVEIL_DIST"):
            env.pop(key, None)
        env.update({
            "DISPLAY": self.services.display,
            "QT_QPA_PLATFORM": "xcb",
            "PULSE_SERVER": self.services.server,
            "PULSE_COOKIE": os.path.join(self.services.pulse_dir, "cookie"),
            "HOME": self.services.home,
            "XDG_CONFIG_HOME": os.path.join(self.services.home, ".config"),
            "XDG_RUNTIME_DIR": self.services.runtime,
            "SONAVEIL_READY_FILE": self.ready_file,
        })
        return env

    def launch(self, timeout=15.0, equaliser=False, endless=None):
        """Starts the player and returns the seconds until it reported ready."""
        prepare_state(self.folder, equaliser, endless)
        try:
            os.remove(self.ready_file)
        except FileNotFoundError:
            pass
        out = open(self.log_path, "ab")
        start = time.monotonic()
        self.proc = subprocess.Popen(self.command_prefix + [os.path.join(self.folder, "quietdeck")], cwd=self.services.home,
                                     env=self.environment(), stdin=subprocess.DEVNULL,
                                     stdout=out, stderr=out)
        out.close()
        while time.monotonic() - start < timeout:
            if os.path.exists(self.ready_file):
                return time.monotonic() - start
            if self.proc.poll() is not None:
                raise SetupError("the player ended during start-up with status %d%s"
                                 % (self.proc.returncode, log_tail(self.log_path)))
            time.sleep(0.002)
        raise SetupError("the player did not report ready within %.0f s%s"
                         % (timeout, log_tail(self.log_path)))

    def stop(self):
        """Stops the player with SIGTERM; returns whether it wrote previous.tmp on the way out."""
        previous = os.path.join(self.folder, "previous.tmp")
        before = os.stat(previous).st_mtime_ns if os.path.exists(previous) else None
        clean = stop_process(self.proc)
        self.proc = None
        after = os.stat(previous).st_mtime_ns if os.path.exists(previous) else None
        return clean and after is not None and after != before


# --- the measurement ------------------------------------------------------------------------------

def verdict(ok):
    return "met" if ok else "MISSED"


def cpu_run(player, seconds, equaliser, endless=None):
    """One launch: CPU over `seconds` after a settling time, memory, the sink's level."""
    player.launch(equaliser=equaliser, endless=endless)
    pid = player.proc.pid
    time.sleep(2.0)   # let the start-up settle
    rss_samples = []
    server = player.services.pulse.pid
    server_start, switches_start = proc_cpu_seconds(server), proc_switches(server)
    cpu_start, wall_start = proc_cpu_seconds(pid), time.monotonic()
    for _ in range(int(seconds)):
        time.sleep(1.0)
        if player.proc.poll() is not None:
            raise SetupError("the player ended during the measurement%s" % log_tail(player.log_path))
        rss_samples.append(proc_memory_mb(pid)[0])
    cpu_end, wall_end = proc_cpu_seconds(pid), time.monotonic()
    server_end, switches_end = proc_cpu_seconds(server), proc_switches(server)
    _, hwm = proc_memory_mb(pid)
    latency = sink_configured_latency_ms(player.services)
    level = player.services.sink_level_db(1.0)
    clean = player.stop()
    wall = wall_end - wall_start
    client = 100.0 * (cpu_end - cpu_start) / wall
    served = 100.0 * (server_end - server_start) / wall
    return {"cpu": client + served, "client": client, "server": served,
            "switches": (switches_end - switches_start) / wall, "latency": latency,
            "rss": max(rss_samples), "hwm": hwm, "level": level, "clean": clean}


class PacatStream:
    """`pacat --latency-msec=100` playing a file of noise in the player's format: the cost of a
    plain stream on the same server, for comparison."""

    def __init__(self, services, root, seconds):
        if not shutil.which("pacat"):
            raise SetupError("pacat is not installed")
        self.services = services
        self.path = os.path.join(root, "noise.raw")
        self.proc = None
        # Noise enough for a run (the settling time, the window and the level reading).
        frames = int(44100 * (seconds + 10))
        state = 12345
        noise = array.array("h", bytes(4 * frames))
        for i in range(0, 2 * frames, 2):
            state = (state * 1103515245 + 12345) & 0x7FFFFFFF
            noise[i] = noise[i + 1] = round((state / 0x7FFFFFFF - 0.5) * 0.4 * 32768)
        with open(self.path, "wb") as f:
            f.write(noise.tobytes())

    def run(self, seconds):
        env = dict(os.environ)
        env.update(self.services.pulse_environment())
        self.proc = subprocess.Popen(["pacat", "--server=" + self.services.server, "-d", SINK, "--format=s16le",
                                      "--rate=44100", "--channels=2", "--latency-msec=%d" % PACAT_LATENCY_MS,
                                      self.path], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            time.sleep(2.0)
            if self.proc.poll() is not None:
                raise SetupError("pacat ended at once with status %d" % self.proc.returncode)
            server = self.services.pulse.pid
            s0, c0, t0 = proc_cpu_seconds(server), proc_cpu_seconds(self.proc.pid), time.monotonic()
            rss = []
            for _ in range(int(seconds)):
                time.sleep(1.0)
                rss.append(proc_memory_mb(self.proc.pid)[0])
            s1, c1, t1 = proc_cpu_seconds(server), proc_cpu_seconds(self.proc.pid), time.monotonic()
            level = self.services.sink_level_db(1.0)
        finally:
            stop_process(self.proc)
            self.proc = None
        client, served = 100.0 * (c1 - c0) / (t1 - t0), 100.0 * (s1 - s0) / (t1 - t0)
        return {"cpu": client + served, "client": client, "server": served, "rss": max(rss), "hwm": max(rss),
                "level": level}


def measure_endless(args, services, root, folder):
    """Live against file loops (and the baseline's both ways, and pacat), alternating in one run."""
    players = {"live": (Player(folder, services, os.path.join(root, "ready"), os.path.join(root, "player.log")), True),
               "files": (Player(folder, services, os.path.join(root, "ready"), os.path.join(root, "player.log")), False)}
    if args.baseline:
        base = os.path.join(root, "baseline")
        copy_program_folder(os.path.realpath(args.baseline), base)
        players["main"] = (Player(base, services, os.path.join(root, "ready"), os.path.join(root, "baseline.log")), False)
        players["main live"] = (Player(base, services, os.path.join(root, "ready"), os.path.join(root, "baseline.log")),
                                True)
    pacat = PacatStream(services, root, args.seconds) if args.cpu_runs > 0 else None
    runs = {name: [] for name in players}
    order = list(players)
    try:
        return endless_runs(args, players, runs, order, pacat)
    finally:
        for player, _ in players.values():
            if player.proc is not None:
                stop_process(player.proc)


def rotated(order, i):
    """Each kind in turn, starting with another one every round, so that a change of load on the
    machine falls on all of them alike."""
    return order[i % len(order):] + order[:i % len(order)]


def endless_ready(args, players, order):
    """Ready times of each kind, alternating launches; returns whether live is no slower."""
    order = [name for name in order if name != "main live"]
    ready = {name: [] for name in order}
    for i in range(args.launches):
        for name in rotated(order, i):
            player, endless = players[name]
            ready[name].append(player.launch(endless=endless))
            log("launch %d, %-5s: ready after %.3f s" % (i + 1, name, ready[name][-1]))
            time.sleep(0.5)
            player.stop()
    log("")
    log("Player with %d sounds on through \"Resume the last mix\": ready after launch, %d alternating launches"
        " each (machine load %.2f)" % (SOUNDS_ON, args.launches, os.getloadavg()[0]))
    medians = {name: statistics.median(times) for name, times in ready.items()}
    for name in order:
        log("  %-5s  ready median %.3f s of (%s)" % (name, medians[name], ", ".join("%.3f" % r for r in ready[name])))
    ok = True
    for other in ("files", "main"):
        if other in medians:
            ratio = medians["live"] / medians[other]
            met = ratio <= GOAL_ENDLESS_READY_RATIO
            ok = ok and met
            log("  ready live / %s %.3f (%+.0f ms)   goal at most %.1f   %s"
                % ("main's files" if other == "main" else other, ratio, 1000 * (medians["live"] - medians[other]),
                   GOAL_ENDLESS_READY_RATIO, verdict(met)))
    log("")
    return ok


def endless_runs(args, players, runs, order, pacat):
    ok_ready = endless_ready(args, players, order)
    if args.cpu_runs == 0:
        return 0 if ok_ready else 1
    order = order + ["pacat"]
    runs["pacat"] = []
    for i in range(args.cpu_runs):
        for name in rotated(order, i):
            if name == "pacat":
                run = pacat.run(args.seconds)
            else:
                player, endless = players[name]
                run = cpu_run(player, args.seconds, False, endless)
                run.pop("clean")
            runs[name].append(run)
            log("CPU run %d, %-9s: %.2f %% of one core (client %.2f + server %.2f), VmRSS up to %.1f MB, "
                "VmHWM %.1f MB, sink %s"
                % (i + 1, name, run["cpu"], run["client"], run["server"], run["rss"], run["hwm"],
                   "%.1f dBFS" % run["level"] if run["level"] > -200 else "silent"))
    log("")
    log("Player with %d sounds on, master %d: endless sounds against file loops, %d alternating runs of %.0f s each"
        " (Xvfb, private pulseaudio, null sink; machine load %.2f)"
        % (SOUNDS_ON, MASTER, args.cpu_runs, args.seconds, os.getloadavg()[0]))
    if args.baseline:
        log("  main: the baseline %s; pacat: pacat --latency-msec=%d playing a file"
            % (os.path.realpath(args.baseline), PACAT_LATENCY_MS))
    medians = {}
    for name, results in runs.items():
        medians[name] = {key: statistics.median(r[key] for r in results) for key in ("cpu", "client", "server")}
        medians[name]["rss"] = max(max(r["rss"], r["hwm"]) for r in results)
        medians[name]["level"] = min(r["level"] for r in results)
        log("  %-9s  CPU median %.2f %% (client %.2f + server %.2f) of (%s)   memory up to %.1f MB   sink %s"
            % (name, medians[name]["cpu"], medians[name]["client"], medians[name]["server"],
               ", ".join("%.2f" % r["cpu"] for r in results), medians[name]["rss"],
               "%.1f dBFS" % medians[name]["level"] if medians[name]["level"] > -200 else "silent"))

    def ratio(a, b):
        return medians[a]["cpu"] / medians[b]["cpu"] if medians[b]["cpu"] > 0 else float("inf")

    ok = ok_ready
    checks = [("live", "files", "CPU live / files", GOAL_ENDLESS_CPU_RATIO),
              ("live", "pacat", "CPU live / pacat's stream", GOAL_PACAT_CPU_RATIO)]
    if "main" in medians:
        checks += [("live", "main live", "CPU live / main's live", GOAL_BASELINE_CPU_RATIO),
                   ("files", "main", "CPU files / main's files", GOAL_BASELINE_CPU_RATIO)]
    for a, b, text, goal in checks:
        r = ratio(a, b)
        ok = ok and r <= goal
        log("  %-26s %.2f   goal at most %.1f   %s" % (text, r, goal, verdict(r <= goal)))
    if "main" in medians:
        log("  CPU live / main's files %.2f" % ratio("live", "main"))
    ok_memory = medians["live"]["rss"] < GOAL_ENDLESS_MEMORY_MB
    log("  memory live %.1f MB, files %.1f MB   goal live under %.0f MB   %s"
        % (medians["live"]["rss"], medians["files"]["rss"], GOAL_ENDLESS_MEMORY_MB, verdict(ok_memory)))
    silent = [name for name, m in medians.items() if m["level"] < -80 and SOUNDS_ON > 0]
    if silent:
        log("  warning: the sink was silent in a run of %s; that figure does not count" % ", ".join(silent))
    return 0 if ok and ok_memory and not silent else 1


def measure(args):
    dist = os.path.realpath(args.dist)
    if not os.access(os.path.join(dist, "quietdeck"), os.X_OK):
        raise SetupError("no player in %s (build the quietdeck target first)" % dist)
    root = tempfile.mkdtemp(prefix="sonaveil-bench-")
    services = Services(root)
    player = None
    try:
        folder = os.path.join(root, "program")
        copy_program_folder(dist, folder)
        prepare_state(folder)
        check_state(folder)
        services.start_xvfb()
        services.start_pulse()
        log("program folder %s, display %s, sound server %s" % (folder, services.display, services.server))
        if args.endless:
            return measure_endless(args, services, root, folder)

        player = Player(folder, services, os.path.join(root, "ready"), os.path.join(root, "player.log"))
        ready = []
        wrote_previous = True
        for i in range(args.launches):
            ready.append(player.launch())
            log("launch %d: ready after %.3f s" % (i + 1, ready[-1]))
            time.sleep(0.5)
            if i + 1 < args.launches:
                wrote_previous &= player.stop()
        wrote_previous &= player.stop()

        states = {"off": [False], "on": [True], "both": [False, True]}[args.equaliser]
        runs = {}
        for equaliser in states:
            runs[equaliser] = []
            for i in range(args.cpu_runs):
                run = cpu_run(player, args.seconds, equaliser)
                wrote_previous &= run.pop("clean")
                runs[equaliser].append(run)
                log("CPU run %d, equaliser %s: %.2f %% of one core (player %.2f + server %.2f), server %.0f"
                    " switches/s, sink latency %.1f ms, VmRSS up to %.1f MB, sink %s"
                    % (i + 1, "on" if equaliser else "off", run["cpu"], run["client"], run["server"],
                       run["switches"], run["latency"], run["rss"],
                       "%.1f dBFS" % run["level"] if run["level"] > -200 else "silent"))

        median_ready = statistics.median(ready)
        ok_ready = median_ready < GOAL_READY_S
        goal_memory = GOAL_MEMORY_MB if SOUNDS_ON > 0 else GOAL_MEMORY_NONE_MB
        log("")
        log("Player with %d sounds on through \"Resume the last mix\", master %d (Xvfb, private pulseaudio, "
            "null sink)" % (SOUNDS_ON, MASTER))
        log("  ready after launch  median %.3f s of %d (%s)   goal under %.1f s   %s"
            % (median_ready, len(ready), ", ".join("%.3f" % r for r in ready), GOAL_READY_S, verdict(ok_ready)))
        ok = ok_ready
        for equaliser, results in runs.items():
            cpus = [r["cpu"] for r in results]
            cpu = statistics.median(cpus)
            goal = GOAL_EQUALISER_CPU_PERCENT if equaliser else GOAL_CPU_PERCENT
            ok_cpu = cpu < goal
            rss = max(r["rss"] for r in results)
            hwm = max(r["hwm"] for r in results)
            ok_mem = max(rss, hwm) < goal_memory
            level = min(r["level"] for r in results)
            log("  equaliser %-3s      CPU median %.2f %% of one core, player and server, over %d runs of %.0f s (%s)"
                "   goal under %.0f %%   %s"
                % ("on" if equaliser else "off", cpu, len(cpus), args.seconds,
                   ", ".join("%.2f" % c for c in cpus), goal, verdict(ok_cpu)))
            log("                      of which the player %.2f %%, the server %.2f %%; server %.0f context switches/s;"
                " sink latency %.1f ms"
                % (statistics.median(r["client"] for r in results), statistics.median(r["server"] for r in results),
                   statistics.median(r["switches"] for r in results), statistics.median(r["latency"] for r in results)))
            log("                      memory VmRSS up to %.1f MB, VmHWM %.1f MB   goal under %.0f MB   %s"
                % (rss, hwm, goal_memory, verdict(ok_mem)))
            log("                      sound on the sink   %s" % ("%.1f dBFS RMS" % level if level > -200 else "silence"))
            if level < -80 and SOUNDS_ON > 0:
                log("  warning: the sink was silent in a run; the mix did not start, so the CPU figure does not count")
            ok = ok and ok_cpu and ok_mem and (level >= -80 or SOUNDS_ON == 0)
        if not wrote_previous:
            log("  warning: a SIGTERM did not end the player cleanly with previous.tmp written")
        return 0 if ok else 1
    finally:
        if player is not None and player.proc is not None:
            stop_process(player.proc)
        services.stop()
        if args.keep:
            log("kept %s" % root)
        else:
            shutil.rmtree(root, ignore_errors=True)


def check_parts(args):
    """Runs every helper without the player: folder copy, state files, Xvfb, pulseaudio, sink."""
    root = tempfile.mkdtemp(prefix="sonaveil-bench-")
    services = Services(root)
    try:
        dist = os.path.realpath(args.dist)
        folder = os.path.join(root, "program")
        if os.path.isdir(dist):
            copy_program_folder(dist, folder)
            linked = sum(1 for n in os.listdir(os.path.join(folder, "bin"))
                         if os.stat(os.path.join(folder, "bin", n)).st_nlink > 1) \
                if os.path.isdir(os.path.join(folder, "bin")) else 0
            log("copied %s (%d sample files hard-linked)" % (dist, linked))
        else:
            os.makedirs(folder)
        prepare_state(folder)
        fields = check_state(folder)
        log("previous.tmp: 137 fields, sounds on: %s; master %d" %
            ([n for n in range(1, 36) if fields[n - 1] == 1], fields[66]))
        log("settings.ini: %r" % open(os.path.join(folder, "settings.ini"), "rb").read())
        services.start_xvfb()
        r = subprocess.run(["xdpyinfo"], env=dict(os.environ, DISPLAY=services.display),
                           capture_output=True, text=True) if shutil.which("xdpyinfo") else None
        log("Xvfb answers on %s%s" % (services.display,
                                      "" if r is None else (" (xdpyinfo status %d)" % r.returncode)))
        services.start_pulse()
        log("pulseaudio answers, sinks: %s" % services.pactl("list", "short", "sinks").split())
        # A short tone through the null sink proves that a client reaches it and that the level
        # reading works; silence before it proves the reading does not invent sound.
        silent = services.sink_level_db(0.5)
        env = dict(os.environ)
        env.update(services.pulse_environment())
        tone = os.path.join(root, "tone.raw")
        with open(tone, "wb") as f:
            a = array.array("h", (int(8000 * math.sin(2 * math.pi * 440 * i / 44100)) for i in range(44100 * 3)
                                  for _ in range(2)))
            f.write(a.tobytes())
        play = subprocess.Popen(["pacat", "--server=" + services.server, "-d", SINK, "--format=s16le",
                                 "--rate=44100", "--channels=2", tone], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.5)
        playing = services.sink_level_db(1.0)
        stop_process(play)
        log("sink level: %.1f dBFS before, %.1f dBFS while a tone plays (a full-scale sine reads -3)"
            % (silent, playing))
        ok = silent < -80 and -20 < playing < -9
        log("parts check %s" % ("passed" if ok else "FAILED"))
        return 0 if ok else 1
    finally:
        services.stop()
        shutil.rmtree(root, ignore_errors=True)


def argument_parser(doc):
    """A bench's command line: its description from the first line of `doc`, and --dist."""
    here = os.path.dirname(os.path.realpath(__file__))
    parser = argparse.ArgumentParser(description=doc.split("\n")[0])
    parser.add_argument("--dist", default=os.path.join(here, "..", "..", "build", "dist"),
                        help="the program folder to copy (default: build/dist of this source tree)")
    return parser


def run(name, body):
    """Runs body() as a bench's main and returns its exit status. A terminated script still
    cleans up (the signal becomes an exception that unwinds); a script that cannot run exits 2,
    which is not a missed goal."""
    def interrupted(signum, frame):
        raise KeyboardInterrupt
    signal.signal(signal.SIGTERM, interrupted)
    try:
        return body()
    except SetupError as e:
        print("%s: %s" % (name, e), file=sys.stderr)
        return 2
    except KeyboardInterrupt:
        print("%s: interrupted" % name, file=sys.stderr)
        return 2
    except Exception:
        traceback.print_exc()
        return 2


def main():
    parser = argument_parser(__doc__)
    parser.add_argument("--seconds", type=float, default=30, help="CPU averaging window")
    parser.add_argument("--launches", type=int, default=5, help="launches for the ready time")
    parser.add_argument("--sounds", type=int, default=12, help="sounds 1 to N on (0: none)")
    parser.add_argument("--white", action="store_true",
                        help="white noise alone with every slider at its starting position")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder and logs")
    parser.add_argument("--equaliser", choices=["off", "on", "both"], default="off",
                        help="measure the CPU with the equaliser off, on, or both")
    parser.add_argument("--cpu-runs", type=int, default=1, help="launches whose CPU median counts")
    parser.add_argument("--endless", action="store_true",
                        help="compare the sounds live against their files as loops, side by side")
    parser.add_argument("--baseline", default=None,
                        help="with --endless: another program folder (main's build) measured beside them")
    parser.add_argument("--check-parts", action="store_true",
                        help="check Xvfb, pulseaudio and the files without starting the player")
    args = parser.parse_args()
    if args.launches < 1 or args.seconds < 1 or args.cpu_runs < (0 if args.endless else 1):
        parser.error("--launches, --seconds and --cpu-runs must be at least 1 (--cpu-runs 0 with --endless)")
    if not 0 <= args.sounds <= 35:
        parser.error("--sounds must be 0 to 35")
    global SOUNDS_ON, MASTER
    SOUNDS_ON, MASTER = (1, 100) if args.white else (args.sounds, 50)

    return run("bench_player", lambda: check_parts(args) if args.check_parts else measure(args))


if __name__ == "__main__":
    sys.exit(main())
