#!/usr/bin/env python3
"""The user's own sounds as a user meets them, in the real program on a private X server and a
private pulseaudio (the set-up of bench_player.py):

    bench_mysounds.py [--dist build/dist] [--keep]

1. Makes a FLAC, an MP3 and an Ogg file (libsndfile through ctypes) and a folder of five tracks
   at five sample rates, and adds each to the running player with "quietdeck --add-sound".
2. Each sound alone on (through the last mix's companion file): it plays at the sink.
3. The 4 s FLAC loops without a click: the largest second difference of the recording after its
   first loop is no larger than before it (times 1.5).
4. The folder's tracks follow each other with no gap: no 2 ms stretch more than 30 dB below its
   neighbours (bench_holes.find_holes) across three joins.
5. The last mix with the user's sounds on, kept at close and started again: the same sounds at
   the same settings, and its preset record byte for byte the one kept with no sound of the
   user's on.

Exit status: 0 every check passed, 1 a check failed, 2 the measurement could not run.
"""

import argparse
import array
import ctypes
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.realpath(__file__)))
import bench_player as bp  # noqa: E402
import bench_holes as bh  # noqa: E402

SF_FORMAT_WAV, SF_FORMAT_FLAC, SF_FORMAT_OGG, SF_FORMAT_MPEG = 0x010000, 0x170000, 0x200000, 0x230000
SF_FORMAT_PCM_16, SF_FORMAT_VORBIS, SF_FORMAT_MPEG_LAYER_III = 0x0002, 0x0060, 0x0082
SFM_WRITE = 0x20


class SfInfo(ctypes.Structure):
    _fields_ = [("frames", ctypes.c_int64), ("samplerate", ctypes.c_int), ("channels", ctypes.c_int),
                ("format", ctypes.c_int), ("sections", ctypes.c_int), ("seekable", ctypes.c_int)]


def write_sound(path, rate, samples, fmt):
    """Writes mono float `samples` (-1 … 1) with libsndfile."""
    lib = ctypes.CDLL("libsndfile.so.1")
    lib.sf_open.restype = ctypes.c_void_p
    lib.sf_open.argtypes = [ctypes.c_char_p, ctypes.c_int, ctypes.POINTER(SfInfo)]
    lib.sf_writef_float.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int64]
    lib.sf_close.argtypes = [ctypes.c_void_p]
    info = SfInfo(0, rate, 1, fmt, 0, 0)
    handle = lib.sf_open(path.encode(), SFM_WRITE, ctypes.byref(info))
    if not handle:
        raise bp.SetupError("libsndfile cannot write %s" % path)
    data = (ctypes.c_float * len(samples))(*samples)
    lib.sf_writef_float(handle, data, len(samples))
    lib.sf_close(handle)


def tone(rate, seconds, hz, level=0.3):
    return [level * math.sin(2 * math.pi * hz * i / rate) for i in range(int(rate * seconds))]


def record(services, seconds):
    """s16le stereo 44.1 kHz of the null sink's monitor."""
    return services.record_monitor(seconds, slack=10.0)


def left(data):
    samples = array.array("h")
    samples.frombytes(data)
    return samples[0::2]


def level_db(samples):
    if not samples:
        return float("-inf")
    rms = math.sqrt(sum(s * s for s in samples) / len(samples)) / 32768
    return 20 * math.log10(rms) if rms > 0 else float("-inf")


def max_second_difference(samples):
    return max((abs(samples[i + 1] - 2 * samples[i] + samples[i - 1]) for i in range(1, len(samples) - 1)),
               default=0)


def all_off_record():
    """A preset record with every built-in sound off and the master at 100."""
    record_bytes = bp.preset_record().decode("ascii").strip().split(",")
    fields = ["0"] * 35 + record_bytes[35:]
    fields[66] = "100"
    return (",".join(fields) + "\r\n").encode("ascii")


def companion(entries):
    text = '"Sonaveil preset sounds",1\r\n'
    for sound_id, name, volume, pitch, pan in entries:
        text += '"%s","%s",%d,%d,%d\r\n' % (sound_id, name, volume, pitch, pan)
    return text.encode()


class Run:
    def __init__(self, folder, services, root):
        self.folder = folder
        self.services = services
        self.player = bp.Player(folder, services, os.path.join(root, "ready"), os.path.join(root, "player.log"))
        self.failures = 0

    def check(self, name, ok, detail=""):
        print("%-58s %s%s" % (name, "pass" if ok else "FAIL", ("  (" + detail + ")") if detail else ""), flush=True)
        if not ok:
            self.failures += 1

    def launch(self, entries):
        """Starts the player on the last mix: no built-in sound, the user's `entries` on (None: the
        last mix as the player kept it)."""
        side = os.path.join(self.folder, "previous.tmp.mysounds")
        if entries is not None:
            with open(os.path.join(self.folder, "previous.tmp"), "wb") as f:
                f.write(all_off_record())
            if entries:
                with open(side, "wb") as f:
                    f.write(companion(entries))
            elif os.path.exists(side):
                os.remove(side)
        with open(os.path.join(self.folder, "settings.ini"), "wb") as f:
            f.write(bp.SETTINGS_INI)
        try:
            os.remove(self.player.ready_file)
        except FileNotFoundError:
            pass
        out = open(self.player.log_path, "ab")
        self.player.proc = subprocess.Popen([os.path.join(self.folder, "quietdeck")], cwd=self.services.home,
                                            env=self.player.environment(), stdin=subprocess.DEVNULL,
                                            stdout=out, stderr=out)
        out.close()
        deadline = time.monotonic() + 20
        while not os.path.exists(self.player.ready_file):
            if time.monotonic() > deadline or self.player.proc.poll() is not None:
                raise bp.SetupError("the player did not start%s" % bp.log_tail(self.player.log_path))
            time.sleep(0.01)

    def add(self, path):
        r = subprocess.run([os.path.join(self.folder, "quietdeck"), "--add-sound", path],
                           env=self.player.environment(), capture_output=True, text=True, timeout=120)
        return r.returncode, (r.stdout + r.stderr).strip()

    def stop(self):
        bp.stop_process(self.player.proc)
        self.player.proc = None


def sounds_list(folder):
    """[(id, name)] of the list file, in order."""
    text = open(os.path.join(folder, "sounds", "sounds.txt"), "rb").read().decode()
    rows = []
    for line in text.split("\r\n")[1:]:
        if line:
            fields = [f.strip('"') for f in line.split('","')]
            rows.append((fields[1], fields[2]))
    return rows


def measure(args):
    root = tempfile.mkdtemp(prefix="sonaveil-mysounds-")
    services = bp.Services(root)
    run = None
    try:
        folder = os.path.join(root, "program")
        bp.copy_program_folder(args.dist, folder)
        music = os.path.join(root, "music")
        os.makedirs(os.path.join(music, "Album"))
        # The loop: 4 s of a tone whose period does not divide the length, so a plain wrap clicks.
        write_sound(os.path.join(music, "Loop.flac"), 44100, tone(44100, 4.0, 331.7),
                    SF_FORMAT_FLAC | SF_FORMAT_PCM_16)
        write_sound(os.path.join(music, "Sea.mp3"), 44100, tone(44100, 3.0, 440),
                    SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III)
        write_sound(os.path.join(music, "Rain.ogg"), 48000, tone(48000, 3.0, 523), SF_FORMAT_OGG | SF_FORMAT_VORBIS)
        for n, rate in enumerate((22050, 32000, 44100, 48000, 96000), 1):
            write_sound(os.path.join(music, "Album", "%02d.wav" % n), rate, tone(rate, 1.5, 440),
                        SF_FORMAT_WAV | SF_FORMAT_PCM_16)

        services.start_xvfb()
        services.start_pulse()
        run = Run(folder, services, root)
        run.launch([])
        for name in ("Loop.flac", "Sea.mp3", "Rain.ogg", "Album"):
            code, said = run.add(os.path.join(music, name))
            run.check("add %s" % name, code == 0, said)
        run.stop()
        listed = sounds_list(folder)
        run.check("four sounds listed", len(listed) == 4, ", ".join(n for _, n in listed))

        for sound_id, name in listed:
            run.launch([(sound_id, name, 200, 4410, 12)])
            seconds = 9.0 if name in ("Loop", "Album") else 3.0
            data = left(record(services, seconds))
            run.stop()
            body = data[len(data) // 8:]
            db = level_db(body)
            run.check("%s plays at the sink" % name, db > -40, "%.1f dBFS" % db)
            if name == "Loop":
                # Before the first wrap (the recording starts some way into the sound) and after.
                first = max_second_difference(data[22050:22050 + 44100])
                rest = max_second_difference(data[44100 * 4:])
                run.check("loop seam: no click", rest <= first * 1.5 + 50,
                          "largest second difference %d after the wrap, %d before" % (rest, first))
            if name == "Album":
                stereo = array.array("h")
                for s in data:
                    stereo.extend((s, s))
                holes = bh.find_holes(stereo.tobytes(), skip_seconds=1.0)
                run.check("folder: no gap between tracks", not holes,
                          "%d holes %s" % (len(holes), holes[:3]))

        # The last mix with all four on, kept at close, started again.
        settings = [(i, n, 60 + 10 * k, 4000 + 100 * k, 10 + k) for k, (i, n) in enumerate(listed)]
        run.launch([])
        run.stop()
        plain = open(os.path.join(folder, "previous.tmp"), "rb").read()
        run.launch(settings)
        run.stop()
        mine = open(os.path.join(folder, "previous.tmp"), "rb").read()
        side = os.path.join(folder, "previous.tmp.mysounds")
        kept = open(side, "rb").read() if os.path.exists(side) else b""
        run.check("preset record byte for byte the same", mine == plain, "%d and %d bytes" % (len(mine), len(plain)))
        run.check("the user's sounds kept beside it", kept == companion(settings), kept.decode(errors="replace")[:80])
        run.launch(None)   # as kept
        data = left(record(services, 2.0))
        run.stop()
        kept_again = open(side, "rb").read() if os.path.exists(side) else b""
        run.check("restarted: plays, same sounds, same settings",
                  level_db(data[len(data) // 4:]) > -40 and kept_again == kept)
        return 0 if run.failures == 0 else 1
    finally:
        if run and run.player.proc:
            run.stop()
        services.stop()
        if args.keep:
            print("kept:", root)
        else:
            shutil.rmtree(root, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--dist", default=os.path.join(bh.REPO, "build", "dist"))
    parser.add_argument("--keep", action="store_true")
    args = parser.parse_args()
    try:
        return measure(args)
    except bp.SetupError as e:
        print("could not run:", e)
        return 2
    except Exception:
        traceback.print_exc()
        return 2


if __name__ == "__main__":
    sys.exit(main())
