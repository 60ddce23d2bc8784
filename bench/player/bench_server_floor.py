#!/usr/bin/env python3
"""How much of the sound server's work for the player is the floor of any stream like it.

    bench_server_floor.py [--dist build/dist] [--runs 3] [--seconds 15]

On one private pulseaudio with a null sink (set up as bench_player.py does), alternately:
- the player with twelve sounds from their files (EndlessSounds=0);
- pacat streaming noise in the player's own format and buffer attributes (float32, 44100 Hz,
  stereo, 150 ms target length, 50 ms requests, latency adjusted by the server);
- nothing at all: the server with an idle null sink.
For each the server's CPU (utime + stime, % of one core), its context switches a second and the
sink's configured latency, and the client's CPU; medians of --runs. When the server works as
hard for pacat as for the player, what the server costs is the price of such a stream, not of
how the player feeds it.

Exit status: 0 measured, 2 the measurement could not run.
"""

import array
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.realpath(__file__)))
import bench_player as bp  # noqa: E402


def window(services, client_pid, seconds):
    server = services.pulse.pid
    s0, w0 = bp.proc_cpu_seconds(server), bp.proc_switches(server)
    c0 = bp.proc_cpu_seconds(client_pid) if client_pid else 0.0
    t0 = time.monotonic()
    time.sleep(seconds)
    s1, w1 = bp.proc_cpu_seconds(server), bp.proc_switches(server)
    c1 = bp.proc_cpu_seconds(client_pid) if client_pid else 0.0
    wall = time.monotonic() - t0
    return {"server": 100 * (s1 - s0) / wall, "switches": (w1 - w0) / wall, "client": 100 * (c1 - c0) / wall,
            "latency": bp.sink_configured_latency_ms(services)}


def main():
    parser = bp.argument_parser(__doc__)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--seconds", type=float, default=15)
    args = parser.parse_args()
    if not shutil.which("pacat"):
        print("pacat is not installed", file=sys.stderr)
        return 2
    root = tempfile.mkdtemp(prefix="sonaveil-floor-")
    services = bp.Services(root)
    results = {"player": [], "pacat": [], "idle": []}
    try:
        folder = os.path.join(root, "program")
        bp.copy_program_folder(os.path.realpath(args.dist), folder)
        bp.prepare_state(folder, endless=False)
        noise = os.path.join(root, "noise.raw")
        rng = random.Random(1)
        frames = int(44100 * (args.seconds + 10))
        with open(noise, "wb") as f:
            f.write(array.array("f", (rng.uniform(-0.3, 0.3) for _ in range(2 * frames))).tobytes())
        services.start_xvfb()
        services.start_pulse()
        player = bp.Player(folder, services, os.path.join(root, "ready"), os.path.join(root, "player.log"))
        env = dict(os.environ)
        env.update(services.pulse_environment())
        for _ in range(args.runs):
            player.launch(equaliser=False, endless=False)
            time.sleep(2.0)
            results["player"].append(window(services, player.proc.pid, args.seconds))
            player.stop()
            feed = subprocess.Popen(["pacat", "--server=" + services.server, "-d", bp.SINK, "--format=float32le",
                                     "--rate=44100", "--channels=2", "--latency-msec=150",
                                     "--process-time-msec=50", noise], env=env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(2.0)
            results["pacat"].append(window(services, feed.pid, args.seconds))
            bp.stop_process(feed)
            time.sleep(1.0)
            results["idle"].append(window(services, None, args.seconds))
    except (bp.SetupError, OSError) as e:
        print("the measurement could not run: %s" % e, file=sys.stderr)
        return 2
    finally:
        services.stop()
        shutil.rmtree(root, ignore_errors=True)
    print("Sound server's work, medians of %d runs of %.0f s (private pulseaudio, null sink; machine load %.2f)"
          % (args.runs, args.seconds, os.getloadavg()[0]))
    for name, runs in results.items():
        m = lambda k: statistics.median(r[k] for r in runs)  # noqa: E731
        print("  %-7s server %.2f %% of a core, %4.0f switches/s, sink latency %5.1f ms; client %.2f %%"
              % (name, m("server"), m("switches"), m("latency"), m("client")))
    return 0


if __name__ == "__main__":
    sys.exit(main())
