#!/usr/bin/env python3
"""Counts how often the player wakes the processor with twelve sounds playing and its window
hidden in the tray, as a laptop spends the night.

    bench_wakeups.py [--dist build/dist] [--seconds 20] [--rounds 3] [--server pulseaudio|pipewire]
                     [--no-realtime] [--keep]

Set-up as bench_player.py (a copy of the program folder, Xvfb, a private sound server with a null
sink, "Resume the last mix" with sounds 1 to 12), plus a tray host (trayer) on the X display and
"startup.tmp" choosing "System Tray", so the player starts hidden in the tray. The server is a
private pulseaudio, or with --server pipewire a private pipewire with pipewire-pulse (as
bench_holes.py starts them).

- wakeups: the voluntary and involuntary context switches of every thread of the player
  (/proc/PID/task/*/status) over --seconds, per second; the median of --rounds windows, with
  the busiest threads named (goals: the whole player at most 6 a second, its output thread
  "sonaveil-out" at most 2)
- CPU: utime + stime of the player and of the sound server over the same windows, in percent of
  one core; the server's own context switches beside the player's

The output thread asks for real-time scheduling, which root is given at once; --no-realtime starts
the player without the right to it (no CAP_SYS_NICE, through setpriv), as an ordinary user
without a broker. The player's own line on what it got is shown.

Run it once with --dist pointing at an older build to have the figures to compare with.
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


def measure(args):
    dist = os.path.realpath(args.dist)
    if not os.access(os.path.join(dist, "quietdeck"), os.X_OK):
        raise bp.SetupError("no player in %s (build the quietdeck target first)" % dist)
    if not shutil.which("trayer"):
        raise bp.SetupError("trayer is not installed: without a tray the player would only minimise")
    root = tempfile.mkdtemp(prefix="sonaveil-wakeups-")
    services = bh.PipeWireServices(root)
    server = bh.Server(services, args.server)
    player = None
    tray = None
    try:
        folder = os.path.join(root, "program")
        bp.copy_program_folder(dist, folder)
        services.start_xvfb()
        server.start()
        tray = subprocess.Popen(["trayer", "--edge", "top", "--align", "right", "--width", "10"],
                                env=dict(os.environ, DISPLAY=services.display),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)
        player = bp.Player(folder, services, os.path.join(root, "ready"), os.path.join(root, "player.log"))
        if args.no_realtime:
            if not shutil.which("setpriv"):
                raise bp.SetupError("setpriv is not installed")
            player.command_prefix = ["setpriv", "--bounding-set=-sys_nice", "--inh-caps=-sys_nice", "--"]
        # launch() writes previous.tmp and settings.ini; the tray choice goes beside them.
        original_prepare = bp.prepare_state

        def prepare_with_tray(f, *args, **kwargs):
            original_prepare(f, *args, **kwargs)
            with open(os.path.join(f, "startup.tmp"), "wb") as out:
                out.write(STARTUP_TRAY)
        bp.prepare_state = prepare_with_tray
        ready = player.launch()
        pid = player.proc.pid
        bp.log("%s: ready after %.2f s; display %s" % (dist, ready, services.display))
        time.sleep(3.0)   # the start-up settles, the samples are decoded
        level = services.sink_level_db(1.0)
        rates, voluntaries, cpus, servers, server_switches, threads = [], [], [], [], [], {}
        for i in range(args.rounds):
            rate, voluntary, per_name, cpu, server_cpu, switches = window(pid, server.pid, args.seconds)
            if player.proc.poll() is not None:
                raise bp.SetupError("the player ended during the measurement%s" % bp.log_tail(player.log_path))
            rates.append(rate)
            voluntaries.append(voluntary)
            cpus.append(cpu)
            servers.append(server_cpu)
            server_switches.append(switches)
            for n, r in per_name.items():
                threads.setdefault(n, []).append(r)
            bp.log("window %d: %.1f wakeups/s (%.1f voluntary), CPU %.2f %% + server %.2f %% (%.0f switches/s)"
                   % (i + 1, rate, voluntary, cpu, server_cpu, switches))
        latency = bp.sink_configured_latency_ms(services)
        player.stop()
        median = statistics.median(rates)
        output = threads.get(OUTPUT_THREAD, [(0.0, 0.0)])
        output_median = statistics.median(v + i for v, i in output)
        ok = median <= GOAL_WAKEUPS and output_median <= GOAL_OUTPUT_WAKEUPS
        bp.log("")
        bp.log("Player hidden in the tray with %d sounds on (%s), %s" % (bp.SOUNDS_ON, dist, args.server))
        bp.log("  wakeups   median %.1f per second of %d windows of %.0f s (%s)   goal at most %.0f   %s"
               % (median, len(rates), args.seconds, ", ".join("%.1f" % r for r in rates), GOAL_WAKEUPS,
                  bp.verdict(median <= GOAL_WAKEUPS)))
        bp.log("  output    median %.1f per second (%.1f voluntary) on %s   goal at most %.0f   %s"
               % (output_median, statistics.median(v for v, _ in output), OUTPUT_THREAD, GOAL_OUTPUT_WAKEUPS,
                  bp.verdict(output_median <= GOAL_OUTPUT_WAKEUPS)))
        bp.log("            of them voluntary (the player's own sleeps) %.1f; the rest are preemptions, which"
               " grow with the machine's load" % statistics.median(voluntaries))
        with open("/proc/loadavg") as f:
            bp.log("            load average at the end: %s" % " ".join(f.read().split()[:3]))
        bp.log("  CPU       median %.2f %% of one core, the player %.2f %% and the sound server %.2f %%"
               % (statistics.median(c + s for c, s in zip(cpus, servers)), statistics.median(cpus),
                  statistics.median(servers)))
        bp.log("  server    median %.0f context switches a second; sink latency %.1f ms"
               % (statistics.median(server_switches), latency))
        # Per thread name: voluntary (the thread's own sleeps: timers, polls, waits) and preempted.
        busiest = sorted(threads.items(), key=lambda kv: -statistics.median(v + i for v, i in kv[1]))[:6]
        bp.log("  threads   " + ", ".join("%s %.1f/s (%.1f voluntary)" % (
            n, statistics.median(v + i for v, i in r), statistics.median(v for v, _ in r)) for n, r in busiest))
        bp.log("  sound on the sink   %s" % ("%.1f dBFS RMS" % level if level > -200 else "silence"))
        with open(player.log_path, errors="replace") as f:
            scheduling = [line.strip() for line in f if line.startswith(OUTPUT_THREAD + ":")]
        bp.log("  scheduling          %s" % (scheduling[0] if scheduling else "(the player said nothing about it)"))
        if level < -80:
            bp.log("  warning: the sink is silent; the mix did not start, so the figures do not count")
        return 0 if ok and level >= -80 else 1
    finally:
        if player is not None and player.proc is not None:
            bp.stop_process(player.proc)
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
    parser.add_argument("--no-realtime", action="store_true")
    parser.add_argument("--keep", action="store_true")
    args = parser.parse_args()
    return bp.run("bench_wakeups", lambda: measure(args))


if __name__ == "__main__":
    sys.exit(main())
