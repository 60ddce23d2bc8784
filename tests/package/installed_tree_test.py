#!/usr/bin/env python3
"""Installs the build into a temporary prefix and runs the programs from there.

    installed_tree_test.py SOURCE_DIR BUILD_DIR

- The install rules put exactly the expected files into the tree, with relative links only.
- With the program folder read-only (as a package leaves it), the player starts from the tree
  (liblumidot.so found beside it), copies the starter files into the user's data folder once,
  writes its files there on closing and nothing into the program folder; the recorder does the
  same with its own file; quietdeck-render finds the samples through its link in bin/.
- A second start after an upgrade that changed a starter keeps the user's version.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import report

PROGRAMS = ["quietdeck", "recorder", "conver", "quietdeck-render"]


def expected_files(source, dist):
    files = {"lib/sonaveil/" + p for p in PROGRAMS}
    files |= {"bin/" + p for p in PROGRAMS}
    files.add("lib/sonaveil/lib/liblumidot.so")
    files.add("lib/sonaveil/lib/libsonaveil-plots.so")
    files |= {"lib/sonaveil/bin/%d.isz" % n for n in range(1, 31)}
    files |= {"lib/sonaveil/bin/%d.wav" % n for n in range(31, 36)}
    # What the shipped sample files are, so that a replaced one is told from ours.
    files.add("lib/sonaveil/bin/sounds.digest")
    # The mark that the folder belongs to an installation and is never written.
    files.add("lib/sonaveil/.sonaveil-installation")
    files |= {"lib/sonaveil/help/" + n for n in os.listdir(os.path.join(dist, "help"))}
    files |= {"lib/sonaveil/" + n for n in ["bronze.jpg", "blank.jpg", "splash.jpg", "sonaveil.png",
                                            "sonaveil-64.png", "sonaveil-32.png", "sonaveil-16.png",
                                            "config/alarms/default.wav"]}
    for folder, target, ending in [("saves", "saves", ".svp"), ("presets", "presets", ".eqf"),
                                   ("colors", "config/colors", ".clr")]:
        files |= {"lib/sonaveil/%s/%s" % (target, n) for n in os.listdir(os.path.join(source, "assets", folder))
                  if n.endswith(ending)}
    translations = os.path.join(dist, "translations")
    if os.path.isdir(translations):
        files |= {"lib/sonaveil/translations/" + n for n in os.listdir(translations)}
    files |= {"share/applications/sonaveil.desktop", "share/applications/sonaveil-recorder.desktop",
              "share/metainfo/org.sonaveil.Sonaveil.metainfo.xml", "share/mime/packages/sonaveil.xml",
              "share/icons/hicolor/scalable/apps/sonaveil.svg",
              "share/doc/sonaveil/copyright", "share/doc/sonaveil/changelog.gz",
              "share/lintian/overrides/sonaveil"}
    files |= {"share/icons/hicolor/%dx%d/apps/sonaveil.png" % (s, s) for s in (16, 32, 48, 64, 128, 256)}
    files |= {"share/man/man1/%s.1.gz" % p for p in PROGRAMS}
    return files


def tree_files(root):
    found = set()
    for folder, _, names in os.walk(root):
        for n in names:
            found.add(os.path.relpath(os.path.join(folder, n), root))
    return found


class ReadOnly:
    """The folder refuses writes: its permissions for a user, a read-only bind mount for root."""

    def __init__(self, folder):
        self.folder = folder
        self.mounted = False
        if os.geteuid() == 0:
            r = subprocess.run(["mount", "--bind", folder, folder], capture_output=True)
            if r.returncode != 0:
                raise RuntimeError("cannot bind-mount %s: %s" % (folder, r.stderr.decode()))
            self.mounted = True
            subprocess.run(["mount", "-o", "remount,bind,ro", folder], check=True)
        else:
            subprocess.run(["chmod", "-R", "a-w", folder], check=True)

    def undo(self):
        if self.mounted:
            subprocess.run(["umount", "-l", self.folder])
        else:
            subprocess.run(["chmod", "-R", "u+w", self.folder])


def wait_for(condition, seconds, what, proc=None, log=None):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return
        if proc is not None and proc.poll() is not None:
            break
        time.sleep(0.05)
    tail = open(log, errors="replace").read()[-2000:] if log and os.path.exists(log) else ""
    raise AssertionError("%s within %d s\n%s" % (what, seconds, tail))


def start_pulse(work, env):
    """A private sound server with one null sink; its address goes into env."""
    folder = os.path.join(work, "pulse")
    os.makedirs(folder)
    socket = os.path.join(folder, "native")
    pulse_env = dict(env, HOME=folder, PULSE_RUNTIME_PATH=os.path.join(folder, "runtime"))
    proc = subprocess.Popen(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                             "--disable-shm=yes", "-L", "module-native-protocol-unix socket=%s auth-anonymous=1" % socket,
                             "-L", "module-null-sink sink_name=installed"], env=pulse_env,
                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env["PULSE_SERVER"] = "unix:" + socket
    wait_for(lambda: os.path.exists(socket), 10, "the private sound server answered", proc)
    return proc


def main():
    source, build = sys.argv[1], sys.argv[2]
    dist = os.path.join(build, "dist")
    failures = []

    def check(ok, message):
        if not ok:
            failures.append(message)

    with tempfile.TemporaryDirectory(prefix="sonaveil-install-") as work:
        prefix = os.path.join(work, "opt", "somewhere")
        subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL)
        found, expected = tree_files(prefix), expected_files(source, dist)
        for name in sorted(expected - found):
            failures.append("not installed: " + name)
        for name in sorted(found - expected):
            failures.append("installed but not expected: " + name)
        for name in found:
            path = os.path.join(prefix, name)
            if os.path.islink(path) and os.path.isabs(os.readlink(path)):
                failures.append("absolute link: %s -> %s" % (name, os.readlink(path)))

        program = os.path.join(prefix, "lib", "sonaveil")
        home = os.path.join(work, "home")
        runtime = os.path.join(work, "run")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        user = os.path.join(home, ".local", "share", "sonaveil")
        ready = os.path.join(work, "ready")
        log = os.path.join(work, "player.log")
        env = {k: v for k, v in os.environ.items() if k not in ("XDG_DATA_HOME", "SONAVEIL_DIST", "DISPLAY")}
        env.update({"HOME": home, "XDG_RUNTIME_DIR": runtime, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                    "QT_QPA_PLATFORM": "offscreen", "SONAVEIL_READY_FILE": ready,
                    "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(work, "no-bus")})
        pulse = start_pulse(work, env)
        before = tree_files(program)
        read_only = ReadOnly(program)
        try:
            out = os.path.join(work, "night.wav")
            r = subprocess.run([os.path.join(prefix, "bin", "quietdeck-render"), "--preset",
                                os.path.join(program, "saves", "Ocean Night.svp"), "--seconds", "0.5", "--out", out],
                               env=env, capture_output=True, text=True)
            check(r.returncode == 0 and os.path.getsize(out) > 80000, "quietdeck-render: " + r.stderr.strip())

            def run_player():
                if os.path.exists(ready):
                    os.remove(ready)
                with open(log, "ab") as f:
                    proc = subprocess.Popen([os.path.join(prefix, "bin", "quietdeck")], cwd=home, env=env,
                                            stdout=f, stderr=f, stdin=subprocess.DEVNULL)
                wait_for(lambda: os.path.exists(ready), 60, "the player reported ready", proc, log)
                return proc

            def quit_player(proc):
                subprocess.run([os.path.join(prefix, "bin", "quietdeck"), "--quit"], env=env, timeout=30,
                               capture_output=True)
                proc.wait(timeout=30)

            proc = run_player()
            check(os.path.isfile(os.path.join(user, "saves", "Ocean Night.svp")), "starter presets not copied")
            check(os.path.isfile(os.path.join(user, "config", "alarms", "default.wav")), "alarm sound not copied")
            check(os.path.isfile(os.path.join(user, ".starter-files")), "no record of the starters")
            quit_player(proc)
            check(os.path.isfile(os.path.join(user, "previous.tmp")), "no previous.tmp in the data folder")

            # The user changes a starter; an upgrade brings a new version of it; the user's stays.
            with open(os.path.join(user, "saves", "Ocean Night.svp"), "w") as f:
                f.write("mine\n")
            read_only.undo()
            shutil.copy(os.path.join(program, "saves", "Soft Rain.svp"), os.path.join(program, "saves", "Ocean Night.svp"))
            read_only = ReadOnly(program)
            quit_player(run_player())
            check(open(os.path.join(user, "saves", "Ocean Night.svp")).read() == "mine\n",
                  "the user's preset was replaced by an upgrade")

            recorder_log = os.path.join(work, "recorder.log")
            with open(recorder_log, "wb") as f:
                rec = subprocess.Popen([os.path.join(prefix, "bin", "recorder")], cwd=home, env=env,
                                       stdout=f, stderr=f, stdin=subprocess.DEVNULL)
            time.sleep(3)
            check(rec.poll() is None, "the recorder ended at start: " + open(recorder_log, errors="replace").read()[-500:])
            rec.send_signal(signal.SIGTERM)
            try:
                rec.wait(timeout=30)
            except subprocess.TimeoutExpired:
                rec.kill()
                rec.wait()
                failures.append("the recorder did not end on SIGTERM")
            check(os.path.isfile(os.path.join(user, "recset.inl")), "no recset.inl in the data folder")
            check(os.path.isdir(os.path.join(user, "saved recordings")), "no saved recordings folder")

            # Whoever can write the installed folder (root from a system install) leaves it as
            # it is: the user's files still go to the data folder.
            read_only.undo()
            os.remove(os.path.join(user, "previous.tmp"))
            quit_player(run_player())
            check(os.path.isfile(os.path.join(user, "previous.tmp")), "a writable installed folder took the user's files")
        finally:
            read_only.undo()
            pulse.terminate()
            pulse.wait()
        after = tree_files(program)
        check(after == before, "the program folder changed while it ran: %s" % sorted(after ^ before))

    return report.finish(failures, "installed tree checked")


if __name__ == "__main__":
    sys.exit(main())
