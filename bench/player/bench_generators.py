#!/usr/bin/env python3
"""What the running player's generators cost, beside what bench_endless's "player" mode measures
for the same sounds, on an idle machine and under load.

    bench_generators.py [--dist build/dist] [--bench build/bench/bench_endless] [--seconds 20]
                        [--rounds 3] [--busy 4] [--compilers 6] [--no-load]

Set-up as bench_player.py (a copy of the program folder, Xvfb, a private pulseaudio with a null
sink, "Resume the last mix" with sounds 1 to 12, EndlessSounds=1: every sound made live).

- player: the CPU time of the player's source worker, the thread "sonaveil-src" that runs the
  generators, from /proc/PID/task/TID/schedstat (or its stat) over --seconds, in percent of one
  core
- bench: `bench_endless DIST player SECONDS 1 2 … 12`, its "generators" column: the same twelve
  generators on the same worker, batch size and rings, without the player around them
- ratio player / bench; goal at most 1.3 (the player's figure is what bench_endless predicts)

Each round measures both, one after the other, first idle, then (unless --no-load) under --busy
processes spinning and --compilers processes compiling a source of this project again and
again (the load bench_holes.py makes); medians of --rounds.

Exit status: 0 goal met in every condition, 1 missed, 2 the measurement could not run.
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

GOAL_RATIO = 1.3
WORKER = "sonaveil-src"
SOUNDS = list(range(1, 13))


def thread_cpu_seconds(pid, name):
    """CPU time of the process's thread called `name`, in seconds (None when it has none): from
    /proc/PID/task/TID/schedstat to the nanosecond where the kernel keeps it, else utime + stime
    from its stat in clock ticks."""
    base = "/proc/%d/task" % pid
    for tid in os.listdir(base):
        try:
            with open(os.path.join(base, tid, "comm")) as f:
                if f.read().strip() != name:
                    continue
            try:
                with open(os.path.join(base, tid, "schedstat")) as f:
                    return int(f.read().split()[0]) / 1e9
            except (FileNotFoundError, ValueError, IndexError):
                pass
            with open(os.path.join(base, tid, "stat")) as f:
                stat = f.read()
        except (FileNotFoundError, ProcessLookupError):
            continue
        fields = stat[stat.rindex(")") + 2:].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    return None


def player_generators(player, seconds):
    """The running player's worker, in percent of one core over `seconds`."""
    player.launch(endless=True)
    try:
        pid = player.proc.pid
        time.sleep(3.0)   # the start-up settles, the rings fill
        c0, t0 = thread_cpu_seconds(pid, WORKER), time.monotonic()
        if c0 is None:
            raise bp.SetupError("the player has no thread named %s: are the endless sounds on?" % WORKER)
        time.sleep(seconds)
        c1, t1 = thread_cpu_seconds(pid, WORKER), time.monotonic()
        if player.proc.poll() is not None or c1 is None:
            raise bp.SetupError("the player ended during the measurement%s" % bp.log_tail(player.log_path))
        level = player.services.sink_level_db(1.0)
    finally:
        player.stop()
    if level < -80:
        raise bp.SetupError("the sink was silent: the player's mix did not start")
    return 100.0 * (c1 - c0) / (t1 - t0)


def bench_generators(bench, dist, seconds):
    """bench_endless's "player" mode for the same sounds: its generators' percent of one core."""
    r = subprocess.run([bench, dist, "player", "%g" % seconds] + [str(n) for n in SOUNDS],
                       capture_output=True, text=True, timeout=seconds * 3 + 60)
    if r.returncode != 0:
        raise bp.SetupError("%s failed: %s" % (bench, r.stderr.strip()))
    for line in r.stdout.splitlines():
        if line.startswith("%d sounds" % len(SOUNDS)):
            return float(line.split()[2])
    raise bp.SetupError("no figure for %d sounds in bench_endless's output:\n%s" % (len(SOUNDS), r.stdout))


def measure(args):
    dist = os.path.realpath(args.dist)
    bench = os.path.realpath(args.bench)
    if not os.access(os.path.join(dist, "quietdeck"), os.X_OK):
        raise bp.SetupError("no player in %s (build the quietdeck target first)" % dist)
    if not os.access(bench, os.X_OK):
        raise bp.SetupError("no %s (build the bench_endless target first)" % bench)
    root = tempfile.mkdtemp(prefix="sonaveil-generators-")
    services = bp.Services(root)
    load = []
    try:
        folder = os.path.join(root, "program")
        bp.copy_program_folder(dist, folder)
        services.start_xvfb()
        services.start_pulse()
        player = bp.Player(folder, services, os.path.join(root, "ready"), os.path.join(root, "player.log"))
        conditions = ["idle"] if args.no_load else ["idle", "load"]
        results = {c: {"player": [], "bench": []} for c in conditions}
        for condition in conditions:
            if condition == "load":
                load = bh.start_load(args.busy, args.compilers, root)
                time.sleep(5.0)   # the compilers get going
            for i in range(args.rounds):
                # Which goes first alternates, so that a change of load falls on both alike.
                for kind in (["player", "bench"] if i % 2 == 0 else ["bench", "player"]):
                    value = (player_generators(player, args.seconds) if kind == "player"
                             else bench_generators(bench, dist, args.seconds))
                    results[condition][kind].append(value)
                    bp.log("%s, round %d, %-6s generators %.3f %% of one core (load %.1f)"
                           % (condition, i + 1, kind, value, os.getloadavg()[0]))
            if load:
                bh.stop_load(load)
                load = []
        ok = True
        bp.log("")
        bp.log("Generators of sounds %d-%d made live: the player's %s thread beside bench_endless's"
               " player mode, medians of %d windows of %.0f s" % (SOUNDS[0], SOUNDS[-1], WORKER, args.rounds,
                                                                 args.seconds))
        for condition, r in results.items():
            p, b = statistics.median(r["player"]), statistics.median(r["bench"])
            ratio = p / b if b > 0 else float("inf")
            met = ratio <= GOAL_RATIO
            ok = ok and met
            what = "without added load" if condition == "idle" else "under %d busy loops and %d compilers" % (args.busy,
                                                                                              args.compilers)
            bp.log("  %-38s player %.3f %%, bench %.3f %%, player / bench %.2f   goal at most %.1f   %s"
                   % (what, p, b, ratio, GOAL_RATIO, bp.verdict(met)))
        return 0 if ok else 1
    finally:
        if load:
            bh.stop_load(load)
        services.stop()
        shutil.rmtree(root, ignore_errors=True)


def main():
    parser = bp.argument_parser(__doc__)
    here = os.path.dirname(os.path.realpath(__file__))
    parser.add_argument("--bench", default=os.path.join(here, "..", "..", "build", "bench", "bench_endless"))
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--busy", type=int, default=4)
    parser.add_argument("--compilers", type=int, default=6)
    parser.add_argument("--no-load", action="store_true")
    args = parser.parse_args()
    bp.SOUNDS_ON = len(SOUNDS)
    return bp.run("bench_generators", lambda: measure(args))


if __name__ == "__main__":
    sys.exit(main())
