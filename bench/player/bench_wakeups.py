#!/usr/bin/env python3
"""Counts how often the player wakes the processor with twelve sounds playing, its window hidden
in the tray as a laptop spends the night, or shown.

    bench_wakeups.py [--dist build/dist] [--seconds 20] [--rounds 3] [--server pulseaudio|pipewire]
                     [--window tray|shown|both] [--shown] [--baseline OTHER/build/dist]
                     [--no-realtime] [--keep]

Set-up as bench_player.py (a copy of the program folder, Xvfb, a private sound server with a null
sink, "Resume the last mix" with sounds 1 to 12), plus a tray host (trayer) on the X display. With
--window tray (the default) "startup.tmp" chooses "System Tray", so the player starts hidden in
the tray; with --window shown (or --shown) the main window stays shown, as bench_player.py runs
it; --window both measures the one, then the other. The server is a private pulseaudio, or with
--server pipewire a private pipewire with pipewire-pulse (as bench_holes.py starts them).
--baseline measures another program folder (an older build) the same way in the same run, one
launch after the other, and sets the figures side by side per thread.
The output thread asks for real-time scheduling, which root is given at once; --no-realtime starts
the player without the right to it (no CAP_SYS_NICE, through setpriv), as an ordinary user
without a broker. The player's own line on what it got is shown.

- wakeups: the voluntary and involuntary context switches of every thread of the player
  (/proc/PID/task/*/status) over --seconds, per second; the median of --rounds windows, with
  the busiest threads named: the output thread "sonaveil-out" and the interface thread
  "quietdeck" among them (goals, hidden in the tray: the whole player at most 6 a second, the
  output thread at most 2; shown, the figures are reported without a goal)
- CPU: utime + stime of the player and of the sound server over the same windows, in percent of
  one core; the server's own context switches beside the player's

Exit status: 0 goal met, 1 missed, 2 the measurement could not run.
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.realpath(__file__)))
import bench_player as bp  # noqa: E402
import bench_holes as bh  # noqa: E402

GOAL_WAKEUPS = 6.0
GOAL_OUTPUT_WAKEUPS = 2.0
OUTPUT_THREAD = "sonaveil-out"
# The main thread carries the program's name.
INTERFACE_THREAD = "quietdeck"
# "Fully Displayed" off, "System Tray" on, no launch at log-on.
STARTUP_TRAY = b"0,#FALSE#,#TRUE#\r\n"


def thread_switches(pid):
    """{tid: (name, voluntary, involuntary)} for every thread of the process."""
    result = {}
    base = "/proc/%d/task" % pid
    for tid in os.listdir(base):
        try:
            with open(os.path.join(base, tid, "comm")) as f:
                name = f.read().strip()
            counts = {}
            with open(os.path.join(base, tid, "status")) as f:
                for line in f:
                    key, _, value = line.partition(":")
                    if key in ("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches"):
                        counts[key] = int(value)
            result[int(tid)] = (name, counts.get("voluntary_ctxt_switches", 0),
                                counts.get("nonvoluntary_ctxt_switches", 0))
        except (FileNotFoundError, ProcessLookupError):
            pass   # the thread ended meanwhile
    return result


def window(pid, server, seconds):
    """Wakeups per second (total and per thread name), CPU percent, and the server's CPU percent and
    context switches per second over `seconds`."""
    s0, sw0 = bp.proc_cpu_seconds(server), bp.proc_switches(server)
    before, cpu0, t0 = thread_switches(pid), bp.proc_cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    after, cpu1, t1 = thread_switches(pid), bp.proc_cpu_seconds(pid), time.monotonic()
    s1, sw1 = bp.proc_cpu_seconds(server), bp.proc_switches(server)
    per_name = {}
    voluntary = involuntary = 0
    for tid, (name, vol, invol) in after.items():
        _, vol0, invol0 = before.get(tid, (name, 0, 0))
        v, n = per_name.get(name, (0, 0))
        per_name[name] = (v + vol - vol0, n + invol - invol0)
        voluntary += vol - vol0
        involuntary += invol - invol0
    elapsed = t1 - t0
    return ((voluntary + involuntary) / elapsed, voluntary / elapsed, {n: (v / elapsed, i / elapsed) for n, (v, i) in per_name.items()},
            100.0 * (cpu1 - cpu0) / elapsed, 100.0 * (s1 - s0) / elapsed, (sw1 - sw0) / elapsed)


class Launch:
    """One program folder measured in one window mode; the figures of its --rounds windows."""

    def __init__(self, label, dist, shown):
        self.label, self.dist, self.shown = label, dist, shown
        self.rates, self.voluntaries, self.cpus, self.servers, self.server_switches = [], [], [], [], []
        self.threads = {}
        self.level = None
        self.latency = None
        self.scheduling = ""

    @property
    def mode(self):
        return "window shown" if self.shown else "hidden in the tray"

    def median(self):
        return statistics.median(self.rates)

    def thread_median(self, name):
        r = self.threads.get(name, [(0.0, 0.0)])
        return statistics.median(v + i for v, i in r), statistics.median(v for v, _ in r)


def measure_launch(launch, args, root, services, server):
    folder = os.path.join(root, "program-%s-%s" % (launch.label, "shown" if launch.shown else "tray"))
    bp.copy_program_folder(launch.dist, folder)
    player = bp.Player(folder, services, os.path.join(root, "ready"), os.path.join(root, "player.log"))
    if args.no_realtime:
        if not shutil.which("setpriv"):
            raise bp.SetupError("setpriv is not installed")
        player.command_prefix = ["setpriv", "--bounding-set=-sys_nice", "--inh-caps=-sys_nice", "--"]
    # launch() writes previous.tmp and settings.ini; the window choice goes beside them.
    original_prepare = bp.prepare_state

    def prepare_with_window(f, *a, **kw):
        original_prepare(f, *a, **kw)
        if not launch.shown:
            with open(os.path.join(f, "startup.tmp"), "wb") as out:
                out.write(STARTUP_TRAY)
    bp.prepare_state = prepare_with_window
    try:
        ready = player.launch()
    finally:
        bp.prepare_state = original_prepare
    try:
        pid = player.proc.pid
        bp.log("%s (%s), %s: ready after %.2f s" % (launch.label, launch.dist, launch.mode, ready))
        time.sleep(3.0)   # the start-up settles, the samples are decoded
        launch.level = services.sink_level_db(1.0)
        for i in range(args.rounds):
            rate, voluntary, per_name, cpu, server_cpu, switches = window(pid, server.pid, args.seconds)
            if player.proc.poll() is not None:
                raise bp.SetupError("the player ended during the measurement%s" % bp.log_tail(player.log_path))
            launch.rates.append(rate)
            launch.voluntaries.append(voluntary)
            launch.cpus.append(cpu)
            launch.servers.append(server_cpu)
            launch.server_switches.append(switches)
            for n, r in per_name.items():
                launch.threads.setdefault(n, []).append(r)
            bp.log("  window %d: %.1f wakeups/s (%.1f voluntary), CPU %.2f %% + server %.2f %% (%.0f switches/s)"
                   % (i + 1, rate, voluntary, cpu, server_cpu, switches))
        launch.latency = bp.sink_configured_latency_ms(services)
        with open(player.log_path, errors="replace") as f:
            said = [line.strip() for line in f if line.startswith(OUTPUT_THREAD + ":")]
        launch.scheduling = said[-1] if said else "(the player said nothing about it)"
    finally:
        player.stop()
        shutil.rmtree(folder, ignore_errors=True)


def report(launch):
    bp.log("")
    bp.log("%s: player %s with %d sounds on (%s)" % (launch.label, launch.mode, bp.SOUNDS_ON, launch.dist))
    bp.log("  wakeups   median %.1f per second of %d windows (%s), of them voluntary %.1f"
           % (launch.median(), len(launch.rates), ", ".join("%.1f" % r for r in launch.rates),
              statistics.median(launch.voluntaries)))
    total, voluntary = launch.thread_median(OUTPUT_THREAD)
    bp.log("  output    median %.1f per second (%.1f voluntary) on %s" % (total, voluntary, OUTPUT_THREAD))
    total, voluntary = launch.thread_median(INTERFACE_THREAD)
    bp.log("  interface median %.1f per second (%.1f voluntary) on %s" % (total, voluntary, INTERFACE_THREAD))
    bp.log("  CPU       median %.2f %% of one core, the player %.2f %% and the sound server %.2f %%"
           % (statistics.median(c + s for c, s in zip(launch.cpus, launch.servers)), statistics.median(launch.cpus),
              statistics.median(launch.servers)))
    bp.log("  server    median %.0f context switches a second; sink latency %.1f ms"
           % (statistics.median(launch.server_switches), launch.latency))
    # Per thread name: voluntary (the thread's own sleeps: timers, polls, waits) and preempted.
    busiest = sorted(launch.threads.items(), key=lambda kv: -statistics.median(v + i for v, i in kv[1]))
    bp.log("  threads   " + ", ".join("%s %.1f/s (%.1f voluntary)" % (
        n, statistics.median(v + i for v, i in r), statistics.median(v for v, _ in r)) for n, r in busiest[:8]))
    bp.log("  scheduling          %s" % launch.scheduling)
    bp.log("  sound on the sink   %s" % ("%.1f dBFS RMS" % launch.level if launch.level > -200 else "silence"))
    if launch.level < -80:
        bp.log("  warning: the sink is silent; the mix did not start, so the figures do not count")


def compare(launches):
    """Per thread, each program folder's wakeups side by side, for each window mode."""
    for shown in (False, True):
        group = [l for l in launches if l.shown == shown]
        if len(group) < 2:
            continue
        names = sorted({n for l in group for n in l.threads},
                       key=lambda n: -max(l.thread_median(n)[0] for l in group))
        bp.log("")
        bp.log("Wakeups per second, %s (median of windows; voluntary in brackets)" % group[0].mode)
        bp.log("  %-18s" % "thread" + "".join("%24s" % l.label for l in group))
        bp.log("  %-18s" % "whole player" + "".join("%24s" % ("%.1f (%.1f)" % (l.median(), statistics.median(l.voluntaries)))
                                                      for l in group))
        for n in names[:10]:
            bp.log("  %-18s" % n + "".join("%24s" % ("%.1f (%.1f)" % l.thread_median(n)) for l in group))
        bp.log("  %-18s" % "CPU player+server" + "".join(
            "%24s" % ("%.3f %%" % statistics.median(c + s for c, s in zip(l.cpus, l.servers))) for l in group))


def measure(args):
    dists = [("this", os.path.realpath(args.dist))]
    if args.baseline:
        dists.append(("baseline", os.path.realpath(args.baseline)))
    for _, dist in dists:
        if not os.access(os.path.join(dist, "quietdeck"), os.X_OK):
            raise bp.SetupError("no player in %s (build the quietdeck target first)" % dist)
    modes = {"tray": [False], "shown": [True], "both": [False, True]}[args.window]
    if False in modes and not shutil.which("trayer"):
        raise bp.SetupError("trayer is not installed: without a tray the player would only minimise")
    root = tempfile.mkdtemp(prefix="sonaveil-wakeups-")
    services = bh.PipeWireServices(root)
    server = bh.Server(services, args.server)
    tray = None
    launches = []
    try:
        services.start_xvfb()
        server.start()
        # The tray host stays up for the shown window too, so that both see the same desktop.
        if shutil.which("trayer"):
            tray = subprocess.Popen(["trayer", "--edge", "top", "--align", "right", "--width", "10"],
                                    env=dict(os.environ, DISPLAY=services.display),
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(1.0)
        bp.log("display %s, %s" % (services.display, args.server))
        for shown in modes:
            for label, dist in dists:
                launch = Launch(label, dist, shown)
                measure_launch(launch, args, root, services, server)
                launches.append(launch)
        for launch in launches:
            report(launch)
        compare(launches)
        with open("/proc/loadavg") as f:
            bp.log("")
            bp.log("load average at the end: %s (preemptions grow with the machine's load)"
                   % " ".join(f.read().split()[:3]))
        ok = True
        for launch in launches:
            if launch.label != "this":
                continue
            if launch.level < -80:
                ok = False
            if launch.shown:
                continue
            output = launch.thread_median(OUTPUT_THREAD)[0]
            bp.log("goal hidden in the tray: whole player %.1f/s at most %.0f %s; %s %.1f/s at most %.0f %s"
                   % (launch.median(), GOAL_WAKEUPS, bp.verdict(launch.median() <= GOAL_WAKEUPS), OUTPUT_THREAD,
                      output, GOAL_OUTPUT_WAKEUPS, bp.verdict(output <= GOAL_OUTPUT_WAKEUPS)))
            ok = ok and launch.median() <= GOAL_WAKEUPS and output <= GOAL_OUTPUT_WAKEUPS
        return 0 if ok else 1
    finally:
        bp.stop_process(tray)
        server.stop()
        services.stop()
        if args.keep:
            bp.log("kept %s" % root)
        else:
            shutil.rmtree(root, ignore_errors=True)


def main():
    parser = bp.argument_parser(__doc__)
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--server", choices=["pulseaudio", "pipewire"], default="pulseaudio")
    parser.add_argument("--window", choices=["tray", "shown", "both"], default="tray",
                        help="the player hidden in the tray, its main window shown, or one after the other")
    parser.add_argument("--shown", dest="window", action="store_const", const="shown",
                        help="the same as --window shown")
    parser.add_argument("--baseline", help="another program folder measured the same way in the same run")
    parser.add_argument("--no-realtime", action="store_true",
                        help="start the player without the right to real-time scheduling")
    parser.add_argument("--keep", action="store_true")
    args = parser.parse_args()
    return bp.run("bench_wakeups", lambda: measure(args))


if __name__ == "__main__":
    sys.exit(main())
