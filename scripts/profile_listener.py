#!/usr/bin/python3
"""A scripted listener for the hearing check of a running player, as a user with a known hearing.

  profile_listener.py PID POINTS DIARY [PITCH]

Listens at the sound server's sink (parec on desktop.monitor, in floating point): when a tone
starts it takes the tone's ear, pitch and level from the sound itself, judged on whole 50 ms
chunks at the tone's full level (the chunk it starts in is part silence and part ramp), the level
as the peak of a sine of the chunk's power (exact whatever phase the samples fall on, where the
largest sample of a 12 kHz tone can be 3 dB short). When the level reaches the listener's threshold
curve at that pitch it presses "I hear it" over the accessibility bus. After POINTS pitches (or the
whole check) it stops the check ("Stop (Esc)", which keeps what was found) and compares the
diary's thresholds (DIARY, the player's diary.sqlite) with the curve. It also checks every tone as
measured: none above the ceiling, none more than 5 dB above the tone before it at its ear and
pitch. With the matched PITCH it then answers the loudness match, the masking level and
residual inhibition from what it hears, and checks that the diary keeps those answers.
Exit status 1 when any check fails. LISTENER_DEBUG=1 also prints when each tone began at the
sink and when each press was sent (wall clock, ms), and each chunk's pitch and level.
"""
import array
import math
import sqlite3
import subprocess
import sys
import threading
import time

import pyatspi

sys.path.insert(0, __import__("os").path.dirname(__file__))
from atspi_tree import application, find, press  # noqa: E402

RATE = 48000
CHUNK = RATE // 20  # 50 ms
CEILING_DB = -20.0
DEBUG = bool(__import__("os").environ.get("LISTENER_DEBUG"))
PLAN = [250, 500, 750, 1000, 1500, 2000, 3000, 4000, 6000, 8000, 12000]


def curve(ear, hz):
    """The listener's threshold, dB of full scale: off the check's 5 dB grid."""
    return -72.0 + 5.0 * math.log2(hz / 250.0) + (3.0 if ear == "right" else 0.0)


def samples(data):
    """Float samples as numbers of the 16-bit scale (full scale 32768), unrounded."""
    floats = array.array("f", data)
    return array.array("d", (x * 32768.0 for x in floats))


def amplitude(channel):
    """A sine's peak from its mean power: exact whatever the phase the samples fall on, where
    the largest sample of a high tone can be 3 dB short of its peak."""
    return math.sqrt(2.0 * sum(x * x for x in channel) / len(channel)) if channel else 0.0


def frequency(channel, peak):
    """The tone's frequency from the rising crossings of half its peak (half the peak keeps
    the dither of the quietest tones from adding crossings); None for too few of them."""
    high, rises = None, []
    for i, x in enumerate(channel):
        if x > peak / 2 and high is not True:
            if high is False:
                rises.append(i)
            high = True
        elif x < -peak / 2:
            high = False
    if len(rises) < 3:
        return None
    return (len(rises) - 1) * RATE / (rises[-1] - rises[0])


def pitch_of(hz):
    """A pitch of the plan when the tone is one of them, else the tone's own (a matched pitch)."""
    nearest = min(PLAN, key=lambda f: abs(math.log2(f / hz)))
    return nearest if abs(math.log2(nearest / hz)) < 0.03 else round(hz)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def db_of(value):
    return 20 * math.log10(value / 32768.0) if value > 0 else -200.0


def main():
    pid, points, diary = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    matched = float(sys.argv[4]) if len(sys.argv) > 4 and sys.argv[4] else None
    if matched:
        PLAN.append(matched)  # the check adds the matched pitch to its plan
    app = application(pid)
    heard_button = find(app, "I hear it (Space)")
    progress = find(app, "Progress of the hearing check")
    rec = subprocess.Popen(["parec", "--device=desktop.monitor", "--format=float32le", "--channels=2",
                            f"--rate={RATE}", "--raw", "--latency-msec=20"], stdout=subprocess.PIPE)
    press(find(app, "Hearing check"))
    tones, failures, answers = [], [], []
    sounding, quiet = False, 0
    deadline = time.time() + 60 * 40
    while time.time() < deadline:
        data = samples(rec.stdout.read(CHUNK * 8))
        left, right = data[0::2], data[1::2]
        level = [max((abs(x) for x in left), default=0), max((abs(x) for x in right), default=0)]
        loud = max(level) > 0.5  # above -96 dBFS
        if loud:
            if not sounding:
                # The chunk a tone starts in is partly silence and partly its ramp: the tone is
                # judged from the whole chunks after it.
                sounding, peak, amp, chunks, pressed, pitch = True, [0, 0], 0.0, 0, False, None
                estimates = []
                ear = 0 if level[0] >= level[1] else 1
                onset = time.time()
                if DEBUG:
                    print(f"onset {onset * 1000:.0f}", flush=True)
            chunks += 1
            peak = [max(peak[0], level[0]), max(peak[1], level[1])]
            channel = left if ear == 0 else right
            if chunks >= 2:
                here = amplitude(channel)
                hz = frequency(channel, level[ear])
                estimates.append(f"{hz or 0:.0f}/{db_of(here):.1f}")
                # The pitch from a chunk of the tone at its full level, not from one of its ramps.
                if hz and here >= 0.95 * amp:
                    pitch = pitch_of(hz)
                amp = max(amp, here)
                name = "left" if ear == 0 else "right"
                if pitch and not pressed and db_of(amp) >= curve(name, pitch):
                    sent = time.time()
                    press(heard_button)
                    pressed = True
                    answers.append(time.time() - onset)
                    if DEBUG:
                        print(f"press {sent * 1000:.0f}", flush=True)
        elif not sounding:
            # Between tones: the check may be over (its last answer comes a second after its
            # last tone), or enough pitches done.
            quiet += 1
            if tones and quiet % 20 == 0 and (progress.queryValue().currentValue >= points or not showing(heard_button)):
                break
        else:
            sounding, quiet = False, 0
            name = "left" if ear == 0 else "right"
            other = peak[1 - ear]
            if pitch is None:
                continue  # too short or too quiet to tell: not heard, and nothing to measure
            tones.append((name, pitch, db_of(amp), db_of(peak[ear])))
            print(f"tone {name} {pitch} Hz {db_of(amp):.1f} dBFS (largest sample {db_of(peak[ear]):.1f})"
                  f"{' pressed' if pressed else ''}{' (other ear ' + str(other) + ')' if other else ''}"
                  f"{' chunks ' + ' '.join(estimates) if DEBUG else ''}", flush=True)
            if other:
                failures.append(f"{name} {pitch} Hz reached the other ear")
            # Enough pitches, or the check is over (the whole plan is shorter than asked).
            if progress.queryValue().currentValue >= points or not showing(heard_button):
                break
    press(find(app, "Stop (Esc)"))
    rec.kill()
    time.sleep(1)

    last, loudest, steepest = {}, -200.0, 0.0
    for name, pitch, db, _ in tones:
        loudest = max(loudest, db)
        if db > CEILING_DB + 0.2:
            failures.append(f"{name} {pitch} Hz at {db:.1f} dBFS, above the ceiling")
        key = (name, pitch)
        if key in last:
            steepest = max(steepest, db - last[key])
            if db - last[key] > 5.2:
                failures.append(f"{name} {pitch} Hz rose {db - last[key]:.1f} dB")
        last[key] = db
    print(f"{len(tones)} tones measured at the sink: the loudest {loudest:.1f} dBFS (ceiling {CEILING_DB:g}), "
          f"the largest rise at one pitch {steepest:.1f} dB")
    if answers:
        answers.sort()
        print(f"pressed {len(answers)} times, {1000 * answers[len(answers) // 2]:.0f} ms after the tone began "
              f"at the sink (median), {1000 * answers[-1]:.0f} ms at the latest")
    rows = sqlite3.connect(diary).execute(
        "SELECT ear, hz, value FROM measures WHERE kind = 'threshold' ORDER BY id").fetchall()
    print(f"{len(rows)} thresholds in the diary")
    for ear, hz, value in rows:
        truth = curve(ear, hz)
        ok = value is not None and truth <= value < truth + 5.0
        error = f"{value - truth:+.1f} dB" if value is not None else "none"
        print(f"{ear} {hz:g} Hz: found {value} dBFS, listener {truth:.1f} dBFS, {error} {'ok' if ok else 'WRONG'}")
        if not ok:
            failures.append(f"{ear} {hz:g} Hz found {value}, listener {truth:.1f}")
    if len(rows) < points:
        failures.append(f"only {len(rows)} thresholds kept")
    if matched:
        other_measures(app, matched, diary, failures)
    for f in failures:
        print("FAILED: " + f)
    return 1 if failures else 0


class Sink:
    """The sink's monitor, read on a thread of its own so that nothing of it is lost or stale
    while the listener waits for the window: chunks of CHUNK frames, left and right."""

    def __init__(self):
        self.proc = subprocess.Popen(["parec", "--device=desktop.monitor", "--format=float32le", "--channels=2",
                                      f"--rate={RATE}", "--raw", "--latency-msec=20"], stdout=subprocess.PIPE)
        self.chunks, self.cond, self.largest = [], threading.Condition(), 0.0
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        while True:
            data = self.proc.stdout.read(CHUNK * 8)
            if len(data) < CHUNK * 8:
                return
            data = samples(data)
            largest = max(abs(x) for x in data)
            with self.cond:
                self.largest = max(self.largest, largest)
                self.chunks.append((data[0::2], data[1::2], time.time()))
                self.cond.notify_all()

    def after(self, count):
        """The `count` chunks that arrive from now on."""
        with self.cond:
            start = len(self.chunks)
            self.cond.wait_for(lambda: len(self.chunks) >= start + count, timeout=30)
            return self.chunks[start:start + count]

    def level(self, count=4):
        """Power of the next `count` chunks as the peak of a sine of that power (dBFS), both ears."""
        got = self.after(count)
        left = [x for chunk in got for x in chunk[0]]
        right = [x for chunk in got for x in chunk[1]]
        return db_of(amplitude(left)), db_of(amplitude(right))

    def stop(self):
        self.proc.kill()


def adjust(app, sink, start_name, target, failures, label, window):
    """Starts a level measure and raises it with "Louder (Up)", one step at a time, until the
    sound at the sink reaches `target` (its power over `window` chunks); then Accept. Returns the
    steps taken and the levels heard."""
    press(find(app, start_name))
    louder, accept = find(app, "Louder (Up)"), find(app, "Accept")
    sink.after(6)  # its ramp
    heard = [sink.level(window)[0]]
    steps = 0
    while heard[-1] < target and steps < 80:
        press(louder)
        steps += 1
        # Each step is 1 dB: wait until it is heard, then take the level it settled at.
        for _ in range(10):
            if sink.level(4)[0] > heard[-1] + 0.5:
                break
        heard.append(sink.level(window)[0])
    press(accept)
    rises = [b - a for a, b in zip(heard, heard[1:])]
    print(f"{label}: {steps} steps up, heard from {heard[0]:.1f} to {heard[-1]:.1f} dBFS, "
          f"largest step {max(rises, default=0):.2f} dB, target {target:.1f}")
    if max(rises, default=0) > 5.2:
        failures.append(f"{label} rose {max(rises):.1f} dB at once")
    if max(heard) > CEILING_DB + 0.2:
        failures.append(f"{label} reached {max(heard):.1f} dBFS, above the ceiling")
    return steps, heard


def latest(db, kind):
    """The newest result of `kind`, once the window has kept it (its buttons act a moment after
    they are pressed)."""
    for _ in range(100):
        row = db.execute("SELECT value, above_threshold, detail FROM measures WHERE kind = ? ORDER BY id DESC LIMIT 1",
                         (kind,)).fetchone()
        if row:
            return row
        time.sleep(0.1)
    return None, None, None


def other_measures(app, pitch, diary, failures):
    """Loudness match, masking level (pink noise) and residual inhibition, answered by the
    listener from what it hears at the sink; each result in the diary is checked against the
    answer given."""
    db = sqlite3.connect(diary)
    sink = Sink()
    found = min((v for (v,) in db.execute(
        "SELECT value FROM measures WHERE kind = 'threshold' AND abs(hz - ?) < 1 AND value IS NOT NULL", (pitch,))),
        default=None)
    start = min(-60.0, found - 5.0) if found is not None else -60.0  # below the threshold found

    # Loudness: the tinnitus is as loud as a tone 12 dB over the listener's own threshold.
    tinnitus = curve("left", pitch) + 12.0
    steps, heard = adjust(app, sink, "Loudness match", tinnitus, failures, "loudness match", 4)
    value, above, _ = latest(db, "loudness")
    print(f"loudness match kept: {value} dBFS, {above} dB over the threshold found; "
          f"the listener accepted {heard[-1]:.1f} dBFS after {steps} steps from {start:g}")
    if value != start + steps or abs(value - heard[-1]) > 0.3 or (found is not None and abs(above - (value - found)) > 0.01):
        failures.append(f"loudness match kept {value} / {above}, the listener accepted {heard[-1]:.1f} dBFS")

    # Masking level: pink noise covers the tinnitus once its power at the sink reaches -50 dBFS.
    covers = -50.0
    steps, heard = adjust(app, sink, "Masking level", covers, failures, "masking level", 20)
    value, above, detail = latest(db, "masking")
    offset = start - heard[0]  # the noise's level as set, over its power as heard
    print(f"masking level kept: {value} dBFS ({detail}), {above} dB over the threshold found; the listener "
          f"accepted {heard[-1]:.1f} dBFS of power after {steps} steps from {start:g} (level {offset:.1f} dB over power)")
    if value != start + steps or detail != "pink" or abs(value - offset - heard[-1]) > 1.0:
        failures.append(f"masking level kept {value} ({detail}), the listener accepted {heard[-1]:.1f} dBFS")

    # Residual inhibition: a minute of that noise 10 dB louder; the tinnitus comes back 17 s
    # after the noise stops, partly gone.
    # The answer's button is looked up now: a search of the window takes a while over the bus.
    back = find(app, "Back: it had gone partly")
    press(find(app, "Residual inhibition"))
    levels, silent, quiet_at = [], 0, time.time()
    while True:
        window = sink.after(5)  # a quarter of a second
        now = db_of(amplitude([x for chunk in window for x in chunk[0]]))
        if now < -150:
            if levels:
                # The noise stopped in the first silent chunk: it began a chunk before it came.
                quiet_at = window[0][2] - CHUNK / RATE
                break
            silent += 1
            if silent > 40:
                failures.append("residual inhibition played no noise")
                break
            continue
        levels.append(now)
        if len(levels) > 320:
            failures.append("the noise of residual inhibition did not stop")
            break
    # Its steps, half a second apart: each quarter second against the one half a second before,
    # leaving out the first, which holds silence too. Pink noise's power wavers from one quarter
    # second to the next (as measured over the last ten seconds, where it is steady): a rise
    # counts as more than 5 dB only beyond three times that.
    plateau = sorted(levels[-40:])
    level = plateau[len(plateau) // 2]
    mean = sum(levels[-40:]) / max(1, len(levels[-40:]))
    waver = math.sqrt(sum((x - mean) ** 2 for x in levels[-40:]) / max(1, len(levels[-40:]) - 1))
    rises = [levels[i] - levels[i - 2] for i in range(3, len(levels))]
    allowed = 5.0 + 3 * math.sqrt(2) * waver
    print(f"residual inhibition: noise for {len(levels) / 4:.1f} s at {level:.1f} dBFS of power (the masking "
          f"level's {heard[-1]:.1f} + 10), largest rise in half a second {max(rises, default=0):.1f} dB "
          f"(power wavers {waver:.2f} dB a quarter second: {allowed:.1f} dB allowed)")
    if abs(level - (heard[-1] + 10)) > 1.0 or max(rises, default=0) > allowed:
        failures.append(f"residual inhibition's noise at {level:.1f} dBFS, rising {max(rises, default=0):.1f} dB at once")
    time.sleep(max(0.0, quiet_at + 17.0 - time.time()))
    press(back)
    time.sleep(1)
    value, _, detail = latest(db, "inhibition")
    print(f"residual inhibition kept: {value} s, {detail}; the listener answered 17 s, partly")
    # The player counts from when it stopped the noise, a few tens of milliseconds before it is
    # heard, to when the press reaches it (its button acts a tenth of a second after a press).
    if value is None or not 17.0 <= value <= 17.6 or detail != "partial":
        failures.append(f"residual inhibition kept {value} s ({detail}), the listener answered 17 s, partly")
    largest = db_of(sink.largest)
    print(f"the largest sample at the sink during these measures: {largest:.1f} dBFS (ceiling {CEILING_DB:g})")
    if largest > CEILING_DB:
        failures.append(f"a sample of {largest:.1f} dBFS at the sink, above the ceiling")
    sink.stop()


if __name__ == "__main__":
    sys.exit(main())
