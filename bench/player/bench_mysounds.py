#!/usr/bin/env python3
"""The user's own sounds as a user meets them, in the real program on a private X server and a
private pulseaudio (the set-up of bench_player.py):

    bench_mysounds.py [--dist build/dist] [--keep] [--shots FOLDER] [--memory-seconds 300]
                      [--only plays,notch,named,kept,bad,memory]

1. Makes a FLAC, an MP3, an Ogg file, a white-noise FLAC (libsndfile through ctypes) and a folder
   of five tracks at five sample rates, and adds each to the running player with
   "quietdeck --add-sound".
2. Each sound alone on (through the last mix's companion file): it plays at the sink.
3. The 4 s FLAC loops without a click: the largest second difference of the recording after its
   first loop is no larger than before it (times 1.5).
4. The folder's tracks follow each other with no gap: no 2 ms stretch more than 30 dB below its
   neighbours (bench_holes.find_holes) across three joins.
5. The notch at 6 kHz on a white-noise file of ours: Welch's power estimates of the sink with the
   band-stop on and off, same file, same volume: the centre at least 40 dB down, 1.5 kHz and
   12 kHz within 1 dB.
6. A named preset saved through the save dialog (xdotool keys, as a user), the player started
   again, the preset loaded through the load dialog: the same sounds at the same settings at the
   sink and beside the preset, the preset file byte for byte the same mix saved without them.
7. The last mix with the user's sounds on, kept at close and started again: the same sounds at
   the same settings, and its preset record byte for byte the one kept with no sound of the
   user's on.
8. Bad input through the real page and its file dialogs (xdotool clicks and keys): a file that is
   not audio, a damaged FLAC, a FIFO, an unreadable folder, a full disk (the sounds folder a small
   tmpfs in a mount namespace of the player's own; once too small for the copy, once with no
   inode left so that the copy itself fails), a folder that vanishes and a file cut short while
   they play, the 13th sound: each a message (a picture of it with --shots), and the list, the sounds folder and the
   sound that plays unchanged. The mount namespace takes root (or CAP_SYS_ADMIN); without it this
   step cannot run and the bench ends with status 2.

9. Memory: an hour-long FLAC and a 10 s FLAC of the same noise, each alone on for
   --memory-seconds: the player's peak VmRSS with the hour no more than 10 MB above the other's.

Exit status: 0 every check passed, 1 a check failed, 2 the measurement could not run.
"""

import argparse
import array
import cmath
import ctypes
import math
import os
import random
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


def write_sound(path, rate, samples, fmt, repeats=1):
    """Writes mono float `samples` (-1 … 1) with libsndfile, `repeats` times one after another."""
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
    for _ in range(repeats):
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


_TWIDDLES = {}


def fft(values):
    """The discrete Fourier transform of a power-of-two number of values (radix 2, in Python: the
    bench has no numerical library to lean on)."""
    n = len(values)
    if n == 1:
        return list(values)
    even, odd = fft(values[0::2]), fft(values[1::2])
    twiddles = _TWIDDLES.get(n)
    if twiddles is None:
        twiddles = _TWIDDLES[n] = [cmath.exp(-2j * math.pi * k / n) for k in range(n // 2)]
    turned = [w * o for w, o in zip(twiddles, odd)]
    return [e + t for e, t in zip(even, turned)] + [e - t for e, t in zip(even, turned)]


def welch(samples, size=4096):
    """Welch's power by frequency: Hann-windowed segments of `size`, half overlapping, averaged;
    bin k is k * rate / size."""
    window = [0.5 - 0.5 * math.cos(2 * math.pi * i / size) for i in range(size)]
    power = [0.0] * (size // 2 + 1)
    count = 0
    for start in range(0, len(samples) - size + 1, size // 2):
        bins = fft([w * s for w, s in zip(window, samples[start:start + size])])
        for k in range(len(power)):
            power[k] += abs(bins[k]) ** 2
        count += 1
    return [p / max(count, 1) for p in power]


def band_db(power, hz, half_width_hz, rate=44100):
    """Mean power of the bins within `half_width_hz` of `hz`, in dB."""
    size = 2 * (len(power) - 1)
    low = max(0, round((hz - half_width_hz) * size / rate))
    high = min(len(power) - 1, round((hz + half_width_hz) * size / rate))
    mean = sum(power[low:high + 1]) / (high - low + 1)
    return 10 * math.log10(mean) if mean > 0 else float("-inf")


def white_noise(rate, seconds, level=0.15, seed=30):
    """Gaussian white noise at `level` RMS, clipped at full scale, the same for the same seed."""
    draw = random.Random(seed)
    return [max(-1.0, min(1.0, draw.gauss(0.0, level))) for _ in range(int(rate * seconds))]


def tinnitus_ini(notch_on, hz=6000):
    return ("[Match]\r\nFrequency=%d\r\nKind=tone\r\n[Notch]\r\nEnabled=%d\r\nWidth=1.0\r\n"
            % (hz, 1 if notch_on else 0)).encode("ascii")


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

    def launch(self, entries, notch=None, prefix=()):
        """Starts the player on the last mix: no built-in sound, the user's `entries` on (None: the
        last mix as the player kept it); `notch` True or False writes the band-stop's choice at
        6 kHz first, None leaves it as it is; `prefix` is a command the player runs under."""
        side = os.path.join(self.folder, "previous.tmp.mysounds")
        if notch is not None:
            with open(os.path.join(self.folder, "tinnitus.ini"), "wb") as f:
                f.write(tinnitus_ini(notch))
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
        self.player.proc = subprocess.Popen([*prefix, os.path.join(self.folder, "quietdeck")], cwd=self.services.home,
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


def make_music(music):
    """The files a user brings: a FLAC, an MP3, an Ogg file, a folder of five tracks at five rates
    and a white-noise FLAC."""
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
    write_sound(os.path.join(music, "Noise.flac"), 44100, white_noise(44100, 12.0),
                SF_FORMAT_FLAC | SF_FORMAT_PCM_16)


def check_plays(run, services, listed):
    """Each sound alone on plays at the sink; the loop does not click; the folder has no gaps."""
    for sound_id, name in listed:
        if name == "Noise":
            continue
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


def check_notch(run, services, listed):
    """The white-noise file through the band-stop at 6 kHz, against the same file without it at
    the same volume: the centre deep down, an octave and more outside the band untouched."""
    noise = [(i, n) for i, n in listed if n == "Noise"]
    powers = {}
    for notch in (False, True):
        run.launch([(noise[0][0], "Noise", 100, 4410, 12)], notch=notch)
        data = left(record(services, 7.0))
        run.stop()
        # The first second is what the sink rendered before, or the sound coming in.
        body = [float(v) for v in data[44100:]]
        powers[notch] = welch(body)
        print("    notch %s: %.1f s recorded, %.1f dBFS" % ("on" if notch else "off", len(data) / 44100,
                                                          level_db(data[44100:])), flush=True)
    run.launch([], notch=False)   # leaves the band-stop off for what follows
    run.stop()
    drop = {}
    for hz, half in ((6000, 11), (1500, 100), (12000, 100)):
        off, on = band_db(powers[False], hz, half), band_db(powers[True], hz, half)
        drop[hz] = off - on
        print("    %5d Hz ± %3d Hz: power %.1f dB off, %.1f dB on (arbitrary reference)" % (hz, half, off, on),
              flush=True)
    run.check("notch at 6 kHz: centre at least 40 dB down", drop[6000] >= 40, "%.1f dB" % drop[6000])
    run.check("notch at 6 kHz: 1.5 kHz within 1 dB", abs(drop[1500]) <= 1, "%+.2f dB" % -drop[1500])
    run.check("notch at 6 kHz: 12 kHz within 1 dB", abs(drop[12000]) <= 1, "%+.2f dB" % -drop[12000])


def check_kept(run, services, folder, listed):
    """The last mix with the user's sounds on, kept at close and started again."""
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


def tone_db(samples, hz, rate=44100):
    """The peak level of the `hz` component of s16 `samples` in dBFS (Goertzel over all of them,
    Hann-windowed)."""
    n = len(samples)
    coeff = 2 * math.cos(2 * math.pi * hz / rate)
    s1 = s2 = 0.0
    for i, v in enumerate(samples):
        s0 = v * (0.5 - 0.5 * math.cos(2 * math.pi * i / n)) + coeff * s1 - s2
        s2, s1 = s1, s0
    power = s1 * s1 + s2 * s2 - coeff * s1 * s2
    # A Hann-windowed sine of peak A gives A·n/4: the peak in dBFS.
    peak = 4 * math.sqrt(max(power, 0.0)) / n / 32768
    return 20 * math.log10(peak) if peak > 0 else float("-inf")


class Desktop:
    """Keys and windows on the private X server, through xdotool, as a user's hands."""

    def __init__(self, services):
        self.env = dict(os.environ, DISPLAY=services.display)

    def xdo(self, *args):
        r = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=30)
        return r.stdout.strip()

    def window(self, title, timeout=20.0):
        """The id of the visible window called `title`, once it is there."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = self.xdo("search", "--onlyvisible", "--name", "^%s$" % title).split()
            if found:
                return found[-1]
            time.sleep(0.1)
        raise bp.SetupError("no window \"%s\" appeared within %.0f s" % (title, timeout))

    def keys(self, window, *keys):
        self.xdo("windowfocus", "--sync", window)
        self.xdo("key", *keys)

    def click(self, window, at):
        """A left click at `at` (x, y) in `window`."""
        self.xdo("mousemove", "--window", window, str(at[0]), str(at[1]), "click", "1")

    def type(self, window, text):
        self.xdo("windowfocus", "--sync", window)
        self.xdo("type", "--delay", "30", text)

    def shoot(self, window, path):
        """The window as a PNG (ImageMagick's import)."""
        subprocess.run(["import", "-window", window, path], env=self.env, capture_output=True, timeout=30)
        return os.path.exists(path)


def wait_file(path, timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if os.path.exists(path):
            time.sleep(0.3)   # the companion file follows the preset
            return True
        time.sleep(0.05)
    return False


def save_through_dialog(desktop, name):
    main = desktop.window("Sonaveil")
    desktop.keys(main, "alt+v")
    dialog = desktop.window("Save Preset")
    desktop.type(dialog, name)
    desktop.keys(dialog, "Return")


def check_named_preset(run, services, folder, listed, shots):
    """A named preset saved through the save dialog with two of the user's sounds on, the player
    started again with nothing on, the preset loaded through the load dialog: the same sounds at
    the same settings at the sink and beside the preset, and the preset file itself byte for byte
    the one saved of the same mix without them."""
    desktop = Desktop(services)
    ids = dict((n, i) for i, n in listed)
    entries = [(ids["Loop"], "Loop", 150, 4410, 12), (ids["Sea"], "Sea", 70, 4410, 12)]
    saves = os.path.join(folder, "saves")
    night, plain = os.path.join(saves, "Night.svp"), os.path.join(saves, "Plain.svp")
    for path in (night, plain, night + ".mysounds", plain + ".mysounds"):
        if os.path.exists(path):
            os.remove(path)

    run.launch(entries)
    reference = left(record(services, 4.0))[44100:]
    save_through_dialog(desktop, "Night")
    saved = wait_file(night + ".mysounds")
    run.stop()
    run.check("named preset saved through the dialog", saved and os.path.exists(night),
              "%s %s" % (os.path.basename(night), "and its companion" if saved else "missing"))
    run.launch([])
    save_through_dialog(desktop, "Plain")
    wait_file(plain)
    run.stop()
    same = os.path.exists(plain) and open(night, "rb").read() == open(plain, "rb").read()
    run.check("named preset byte for byte the mix without own sounds", same,
              "%d and %d bytes" % (os.path.getsize(night) if os.path.exists(night) else -1,
                                   os.path.getsize(plain) if os.path.exists(plain) else -1))
    run.check("no companion beside the preset without own sounds", not os.path.exists(plain + ".mysounds"))

    run.launch([])
    main = desktop.window("Sonaveil")
    desktop.keys(main, "alt+d")
    dialog = desktop.window("Load Preset")
    if shots:
        desktop.shoot(dialog, os.path.join(shots, "load-dialog.png"))
    desktop.type(dialog, "Night.svp")
    desktop.keys(dialog, "Return")
    time.sleep(1.0)
    loaded = left(record(services, 4.0))[44100:]
    if shots:
        desktop.shoot(desktop.window("Sonaveil"), os.path.join(shots, "loaded.png"))
    run.stop()
    kept = open(os.path.join(folder, "previous.tmp.mysounds"), "rb").read() \
        if os.path.exists(os.path.join(folder, "previous.tmp.mysounds")) else b""
    beside = open(night + ".mysounds", "rb").read() if os.path.exists(night + ".mysounds") else b""
    run.check("loaded: the same sounds at the same settings kept", kept == beside == companion(entries),
              kept.decode(errors="replace").replace("\r\n", " | ")[:120])
    for name, hz in (("Loop", 331.7), ("Sea", 440.0)):
        before, after = tone_db(reference, hz), tone_db(loaded, hz)
        run.check("loaded: %s at the sink as before" % name, abs(after - before) <= 1.0,
                  "%.1f dBFS before, %.1f dBFS after loading" % (before, after))


# The player in a mount namespace of its own, its sounds folder a tmpfs with the given options
# (filled with what the folder held), and without the capabilities that let root read any file:
# a full disk and an unreadable folder as a user meets them, without touching the machine.
CONFINED = ('cp -a "$1/." "$2/" && mount -t tmpfs -o "$3" tmpfs "$1" && cp -a "$2/." "$1/" && '
            'exec setpriv --bounding-set -dac_override,-dac_read_search "$4"')


def confined(folder, root, options):
    stash = tempfile.mkdtemp(prefix="stash-", dir=root)
    return ["unshare", "--mount", "--propagation", "private", "sh", "-c", CONFINED, "sh",
            os.path.join(folder, "sounds"), stash, options]


def folder_bytes(path):
    return sum(os.path.getsize(os.path.join(path, n)) for n in os.listdir(path))


class Messages:
    """The player's message boxes: every window called "Sonaveil" but the main one."""

    def __init__(self, desktop, main):
        self.desktop = desktop
        self.main = main

    def wait(self, timeout=30.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = [w for w in self.desktop.xdo("search", "--onlyvisible", "--name", "^Sonaveil$").split()
                     if w != self.main]
            if found:
                time.sleep(0.5)   # painted
                return found[-1]
            time.sleep(0.1)
        return None

    def close(self, box):
        for _ in range(3):
            self.desktop.keys(box, "Return")
            deadline = time.monotonic() + 5
            while time.monotonic() < deadline:
                if box not in self.desktop.xdo("search", "--onlyvisible", "--name", "^Sonaveil$").split():
                    return True
                time.sleep(0.1)
        return False


def through_dialog(desktop, main, button, title, path):
    """Clicks `button` (x, y in the main window), waits for the file dialog called `title` and
    types `path` into it as a user would."""
    desktop.click(main, button)
    dialog = desktop.window(title)
    desktop.type(dialog, path)
    for _ in range(3):
        desktop.keys(dialog, "Return")
        deadline = time.monotonic() + 3
        while time.monotonic() < deadline:
            if dialog not in desktop.xdo("search", "--onlyvisible", "--name", "^%s$" % title).split():
                return
            time.sleep(0.1)


# Where the page button and the page's two buttons lie in the main window.
MY_SOUNDS_PAGE = (530, 116)
ADD_SOUND = (94, 478)
ADD_FOLDER = (244, 478)


def make_bad_input(music):
    """The files a user may try: text named like a sound, a FLAC with a good header and damaged
    frames, a pipe, a folder nobody may read, a folder that will vanish, and a FLAC too large for
    the room left."""
    bad = os.path.join(music, "bad")
    os.makedirs(bad)
    with open(os.path.join(bad, "notes.wav"), "w") as f:
        f.write("Not a sound: the shopping list.\n" * 200)
    good = open(os.path.join(music, "Noise.flac"), "rb").read()
    garbage = random.Random(7).randbytes(len(good) - 8192)
    with open(os.path.join(bad, "Broken.flac"), "wb") as f:
        f.write(good[:8192] + garbage)
    os.mkfifo(os.path.join(bad, "pipe.flac"))
    locked = os.path.join(bad, "Locked")
    os.makedirs(locked)
    shutil.copy(os.path.join(music, "Album", "01.wav"), locked)
    os.chmod(locked, 0)
    vanish = os.path.join(music, "Vanish")
    os.makedirs(vanish)
    for name in ("01.wav", "02.wav"):
        shutil.copy(os.path.join(music, "Album", name), vanish)
    write_sound(os.path.join(bad, "Big.flac"), 44100, white_noise(44100, 20.0, seed=5),
                SF_FORMAT_FLAC | SF_FORMAT_PCM_16)
    for n in range(1, 8):
        shutil.copy(os.path.join(music, "Sea.mp3"), os.path.join(bad, "Extra%d.mp3" % n))
    return bad


def check_bad_input(run, services, folder, music, root, shots):
    """Each bad input through the real page and its dialogs: a clear message, a picture of it,
    and nothing else lost (the list, the files in the sounds folder, the sound that plays)."""
    bad = make_bad_input(music)
    code, said = run.add(os.path.join(music, "Vanish"))   # into the list before the confined run
    run.stop()
    run.check("add Vanish", code == 0, said)
    listed = sounds_list(folder)
    ids = dict((n, i) for i, n in listed)
    sounds = os.path.join(folder, "sounds")
    room = folder_bytes(sounds) + (9 << 20)   # the player keeps 8 MB spare beyond a copy
    playing = [(ids[n], n, 100, 4410, 12) for n in ("Loop", "Rain", "Vanish")]
    run.launch(playing, notch=False, prefix=confined(folder, root, "size=%d" % room))
    desktop = Desktop(services)
    main = desktop.window("Sonaveil")
    messages = Messages(desktop, main)
    inside = "/proc/%d/root%s" % (run.player.proc.pid, sounds)   # the player's tmpfs

    def state():
        return sorted(os.listdir(inside)), open(os.path.join(inside, "sounds.txt"), "rb").read()

    def expect_message(name, picture):
        box = messages.wait()
        shot = os.path.join(shots, picture) if shots else ""
        if box and shot:
            desktop.shoot(box, shot)
        closed = bool(box) and messages.close(box)
        run.check("%s: a message" % name, bool(box) and closed, shot if box else "no message within 30 s")
        return box

    time.sleep(1.0)
    shutil.rmtree(os.path.join(music, "Vanish"))
    expect_message("a folder that vanishes while it plays", "vanished.png")
    rain = os.path.join(inside, "Rain.ogg")
    os.truncate(rain, os.path.getsize(rain) // 3)
    expect_message("a file cut short while it plays", "cut-short.png")
    desktop.click(main, MY_SOUNDS_PAGE)
    before = state()
    cases = [("a file that is not audio", ADD_SOUND, "Add a Sound", os.path.join(bad, "notes.wav"), "not-audio.png"),
             ("a damaged FLAC", ADD_SOUND, "Add a Sound", os.path.join(bad, "Broken.flac"), "damaged-flac.png"),
             ("a FIFO", ADD_SOUND, "Add a Sound", os.path.join(bad, "pipe.flac"), "fifo.png"),
             ("an unreadable folder", ADD_FOLDER, "Add a Folder of Music", os.path.join(bad, "Locked"),
              "unreadable-folder.png"),
             ("a full disk", ADD_SOUND, "Add a Sound", os.path.join(bad, "Big.flac"), "no-room.png")]
    for name, button, title, path, picture in cases:
        through_dialog(desktop, main, button, title, path)
        expect_message(name, picture)
        run.check("%s: nothing else lost" % name, state() == before)
    if shots:
        desktop.shoot(main, os.path.join(shots, "after-bad-input.png"))

    added = len(listed)
    for n in range(1, 8):
        if added >= 12:
            break
        code, said = run.add(os.path.join(bad, "Extra%d.mp3" % n))
        added += code == 0
    run.check("twelve sounds", added == 12, "%d" % added)
    before = state()
    desktop.click(main, ADD_SOUND)
    expect_message("the 13th sound", "thirteenth.png")
    run.check("the 13th sound: nothing else lost", state() == before)
    data = left(record(services, 3.0))
    db = level_db(data[len(data) // 4:])
    run.check("the sound that played still plays", db > -40, "%.1f dBFS" % db)
    run.stop()
    os.chmod(os.path.join(bad, "Locked"), 0o755)

    # No file can be made in the sounds folder at all (every inode of its tmpfs in use): the
    # copy itself fails with a full disk.
    inodes = len(os.listdir(sounds)) + 1
    run.launch([], notch=False, prefix=confined(folder, root, "size=64m,nr_inodes=%d" % inodes))
    main = desktop.window("Sonaveil")
    messages = Messages(desktop, main)
    inside = "/proc/%d/root%s" % (run.player.proc.pid, sounds)
    desktop.click(main, MY_SOUNDS_PAGE)
    before = state()
    through_dialog(desktop, main, ADD_SOUND, "Add a Sound", os.path.join(music, "Rain.ogg"))
    expect_message("a full disk while copying", "no-room-copying.png")
    run.check("a full disk while copying: nothing else lost", state() == before)
    run.stop()


def check_memory(run, music, seconds):
    """The player playing an hour-long FLAC grows no more than one playing a 10 s FLAC (the same
    noise), each alone on for `seconds`: VmRSS a few seconds after the start and its peak after."""
    block = white_noise(44100, 10, seed=31)
    run.launch([])
    for name, repeats in (("Short", 1), ("Hour", 360)):
        write_sound(os.path.join(music, name + ".flac"), 44100, block, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, repeats)
        code, said = run.add(os.path.join(music, name + ".flac"))
        run.check("add %s.flac" % name, code == 0, said)
    run.stop()
    ids = {name: sound_id for sound_id, name in sounds_list(run.folder)}
    peaks = {}
    for name in ("Short", "Hour"):
        run.launch([(ids[name], name, 200, 4410, 12)])
        time.sleep(3)
        start = bp.proc_memory_mb(run.player.proc.pid)[0]
        peak = start
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            time.sleep(2)
            peak = max(peak, bp.proc_memory_mb(run.player.proc.pid)[0])
        peak = max(peak, bp.proc_memory_mb(run.player.proc.pid)[1])
        run.stop()
        peaks[name] = peak
        print("  %-5s %.0f s: VmRSS %.1f MB after start, peak %.1f MB (grew %.1f MB)"
              % (name, seconds, start, peak, peak - start), flush=True)
    run.check("an hour-long FLAC costs less than 10 MB more than a 10 s one", peaks["Hour"] - peaks["Short"] < 10,
              "%.1f MB against %.1f MB" % (peaks["Hour"], peaks["Short"]))


STEPS = ("plays", "notch", "named", "kept", "bad", "memory")


def measure(args):
    root = tempfile.mkdtemp(prefix="sonaveil-mysounds-")
    services = bp.Services(root)
    run = None
    try:
        folder = os.path.join(root, "program")
        bp.copy_program_folder(args.dist, folder)
        music = os.path.join(root, "music")
        make_music(music)
        if args.shots:
            os.makedirs(args.shots, exist_ok=True)

        services.start_xvfb()
        services.start_pulse()
        run = Run(folder, services, root)
        run.launch([], notch=False)
        for name in ("Loop.flac", "Sea.mp3", "Rain.ogg", "Album", "Noise.flac"):
            code, said = run.add(os.path.join(music, name))
            run.check("add %s" % name, code == 0, said)
        run.stop()
        listed = sounds_list(folder)
        run.check("five sounds listed", len(listed) == 5, ", ".join(n for _, n in listed))

        steps = args.only.split(",") if args.only else STEPS
        if "plays" in steps:
            check_plays(run, services, listed)
        if "notch" in steps:
            check_notch(run, services, listed)
        if "named" in steps:
            check_named_preset(run, services, folder, listed, args.shots)
        if "kept" in steps:
            check_kept(run, services, folder, listed)
        if "bad" in steps:
            run.launch([], notch=False)
            check_bad_input(run, services, folder, music, root, args.shots)
        if "memory" in steps:
            check_memory(run, music, args.memory_seconds)
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
    parser.add_argument("--shots", default="", help="a folder for screenshots of the dialogs and messages")
    parser.add_argument("--only", default="", help="a comma-separated choice of " + ", ".join(STEPS))
    parser.add_argument("--memory-seconds", type=float, default=300.0,
                        help="how long each file plays in the memory step")
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
