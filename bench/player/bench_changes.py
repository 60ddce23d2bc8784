#!/usr/bin/env python3
"""How soon a change to the mix is heard at the sink, on a private sound server of either kind:
starts the server (as bench_holes.py does) and runs build/bench/bench_changes against its null
sink's monitor, which times volume, switch, mute, equaliser and band-stop changes and looks for a
seam where the queue was written again.

    bench_changes.py [--build build] [--server pulseaudio|pipewire] [--repeats 20] [--keep]

Exit status: that of bench_changes (0 met, 1 missed), 2 when it could not run.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.realpath(__file__)))
import bench_player as bp  # noqa: E402
import bench_holes as bh   # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--server", choices=("pulseaudio", "pipewire"), default="pulseaudio")
    parser.add_argument("--repeats", type=int, default=20)
    parser.add_argument("--keep", action="store_true")
    args = parser.parse_args()
    program = os.path.join(os.path.realpath(args.build), "bench", "bench_changes")
    if not os.access(program, os.X_OK):
        bp.log("no %s (build the bench_changes target first)" % program)
        return 2
    root = tempfile.mkdtemp(prefix="sonaveil-changes-")
    services = bh.PipeWireServices(root)
    server = bh.Server(services, args.server)
    try:
        server.start()
        env = dict(os.environ)
        env.update(services.pulse_environment())
        bp.log("%s, sink %s" % (args.server, bp.SINK))
        offset = server.log_size()
        status = subprocess.run([program, bp.SINK + ".monitor", str(args.repeats)], env=env).returncode
        # An underrun is a hole, and a hole is a seam in the tone: say so, or the seam is blamed
        # on the rewrites.
        underruns, _ = server.underruns(offset)
        bp.log("underruns in the server's log during the run: %d" % len(underruns))
        return status if not underruns or status != 0 else 1
    except bp.SetupError as e:
        bp.log("cannot measure: %s" % e)
        return 2
    finally:
        server.stop()
        if args.keep:
            bp.log("kept %s" % root)
        else:
            shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
