#!/usr/bin/python3
"""A scripted listener for the hearing check of a running player, as a user with a known hearing.

  profile_listener.py PID POINTS DIARY

Listens at the sound server's sink (parec on desktop.monitor): when a tone starts it takes the
tone's ear, pitch and peak level from the sound itself and, when the level reaches the listener's
threshold curve at that pitch, presses "I hear it" over the accessibility bus. After POINTS
pitches it stops the check ("Stop (Esc)", which keeps what was found) and compares the diary's
thresholds (DIARY, the player's diary.sqlite) with the curve. It also checks every tone as
measured: none above the ceiling, none more than 5 dB above the tone before it at its ear and
pitch. Exit status 1 when any check fails.
"""
import array
import math
import sqlite3
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, __import__("os").path.dirname(__file__))
from atspi_tree import application, find, press  # noqa: E402

RATE = 48000
CHUNK = RATE // 20  # 50 ms
CEILING_DB = -20.0
PLAN = [250, 500, 750, 1000, 1500, 2000, 3000, 4000, 6000, 8000, 12000]


def curve(ear, hz):
    """The listener's threshold, dB of full scale: off the check's 5 dB grid."""
    return -72.0 + 5.0 * math.log2(hz / 250.0) + (3.0 if ear == "right" else 0.0)


def main():
    pid, points, diary = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    app = application(pid)
    heard_button = find(app, "I hear it (Space)")
    progress = find(app, "Progress of the hearing check")
    rec = subprocess.Popen(["parec", "--device=desktop.monitor", "--format=s16le", "--channels=2",
                            f"--rate={RATE}", "--raw", "--latency-msec=20"], stdout=subprocess.PIPE)
    press(find(app, "Hearing check"))
    tones, failures = [], []
    sounding, peak, crossings, frames, ear = False, [0, 0], 0, 0, None
    deadline = time.time() + 60 * 20
    while time.time() < deadline:
        data = array.array("h", rec.stdout.read(CHUNK * 4))
        left, right = data[0::2], data[1::2]
        level = [max((abs(x) for x in left), default=0), max((abs(x) for x in right), default=0)]
        loud = max(level) > 3  # above the dither of silence
        if loud:
            side = 0 if level[0] >= level[1] else 1
            channel = left if side == 0 else right
            if not sounding:
                sounding, peak, crossings, frames, ear = True, [0, 0], 0, 0, side
                pressed = False
            peak = [max(peak[0], level[0]), max(peak[1], level[1])]
            crossings += sum(1 for a, b in zip(channel, channel[1:]) if (a < 0) != (b < 0))
            frames += len(channel)
            hz = crossings / 2.0 / (frames / RATE)
            pitch = min(PLAN, key=lambda f: abs(math.log2(f / hz)) if hz > 0 else 99)
            db = 20 * math.log10(peak[ear] / 32768.0)
            name = "left" if ear == 0 else "right"
            if frames >= RATE // 5 and not pressed and db >= curve(name, pitch):
                press(heard_button)
                pressed = True
        elif sounding:
            sounding = False
            name = "left" if ear == 0 else "right"
            db = 20 * math.log10(peak[ear] / 32768.0)
            other = peak[1 - ear]
            tones.append((name, pitch, db))
            print(f"tone {name} {pitch} Hz {db:.1f} dBFS{' (other ear ' + str(other) + ')' if other else ''}", flush=True)
            if other:
                failures.append(f"{name} {pitch} Hz reached the other ear")
            if progress.queryValue().currentValue >= points:
                break
    press(find(app, "Stop (Esc)"))
    rec.kill()
    time.sleep(1)

    last = {}
    for name, pitch, db in tones:
        if db > CEILING_DB + 0.5:
            failures.append(f"{name} {pitch} Hz at {db:.1f} dBFS, above the ceiling")
        key = (name, pitch)
        if key in last and db - last[key] > 5.5:
            failures.append(f"{name} {pitch} Hz rose {db - last[key]:.1f} dB")
        last[key] = db
    rows = sqlite3.connect(diary).execute(
        "SELECT ear, hz, value FROM measures WHERE kind = 'threshold' ORDER BY id").fetchall()
    print(f"{len(rows)} thresholds in the diary")
    for ear, hz, value in rows:
        truth = curve(ear, hz)
        ok = value is not None and truth - 0.6 <= value <= truth + 5.0
        print(f"{ear} {hz:g} Hz: found {value} dBFS, listener {truth:.1f} dBFS {'ok' if ok else 'WRONG'}")
        if not ok:
            failures.append(f"{ear} {hz:g} Hz found {value}, listener {truth:.1f}")
    if len(rows) < points:
        failures.append(f"only {len(rows)} thresholds kept")
    for f in failures:
        print("FAILED: " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
