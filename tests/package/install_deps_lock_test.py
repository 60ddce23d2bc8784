#!/usr/bin/env python3
"""scripts/install-deps.sh (what `make deb` and `make build` run first) waits while another
package manager holds apt's locks, and goes on once it lets go, rather than failing at once.

    install_deps_lock_test.py SOURCE_DIR

apt and dpkg are pointed at an empty package database and empty package lists in a temporary
folder (APT_CONFIG, DPKG_ADMINDIR), so every package counts as missing and nothing on the
machine is read or changed; a lock holder in this process holds one of their locks as another
apt would (fcntl record locks, as apt takes them). With no package sources, the install that
follows ends in "Unable to locate package": reaching it is what shows the script went on.
"""

import fcntl
import os
import subprocess
import sys
import tempfile
import time

import report

DEADLINE = 120  # seconds for anything to happen on a loaded machine


def make_apt_root(root):
    for folder in ["state/lists/partial", "cache/archives/partial", "etc/sources.list.d", "etc/apt.conf.d",
                   "etc/preferences.d", "admin/updates", "log", "bin"]:
        os.makedirs(os.path.join(root, folder), exist_ok=True)
    for empty in ["admin/status", "etc/sources.list", "state/lists/lock", "admin/lock-frontend", "admin/lock"]:
        open(os.path.join(root, empty), "w").close()
    with open(os.path.join(root, "apt.conf"), "w") as conf:
        conf.write('Dir::State "%s/state";\n' % root)
        conf.write('Dir::State::status "%s/admin/status";\n' % root)
        conf.write('Dir::Cache "%s/cache";\n' % root)
        conf.write('Dir::Etc "%s/etc";\n' % root)
        conf.write('Dir::Log "%s/log";\n' % root)
        conf.write('DPkg::Options { "--admindir=%s/admin"; };\n' % root)
    # Run without root, the script asks sudo; here sudo just runs the command.
    sudo = os.path.join(root, "bin", "sudo")
    with open(sudo, "w") as f:
        f.write('#!/bin/sh\nexec "$@"\n')
    os.chmod(sudo, 0o755)
    env = dict(os.environ, APT_CONFIG=os.path.join(root, "apt.conf"), DPKG_ADMINDIR=os.path.join(root, "admin"),
               PATH=os.path.join(root, "bin") + ":" + os.environ.get("PATH", ""), LC_ALL="C")
    return env


def text(path):
    with open(path, errors="replace") as f:
        return f.read()


def run_with_lock_held(script, root, env, lock, released_when):
    """Starts the script while `lock` is held; lets go once released_when(output) holds and the
    script still runs. Returns (problems, output)."""
    log = os.path.join(root, "output-" + os.path.basename(lock))
    holder = open(os.path.join(root, lock), "r+")
    fcntl.lockf(holder, fcntl.LOCK_EX)
    with open(log, "w") as out:
        proc = subprocess.Popen(["bash", script], stdout=out, stderr=subprocess.STDOUT, env=env)
    problems = []
    end = time.monotonic() + DEADLINE
    while proc.poll() is None and not released_when(text(log)) and time.monotonic() < end:
        time.sleep(0.1)
    if proc.poll() is not None:
        problems.append("%s held: the script ended (status %d) instead of waiting" % (lock, proc.returncode))
    elif not released_when(text(log)):
        problems.append("%s held: the script never said it waits" % lock)
    holder.close()
    try:
        proc.wait(timeout=DEADLINE)
    except subprocess.TimeoutExpired:
        proc.kill()
        problems.append("%s let go: the script did not go on" % lock)
    output = text(log)
    if "Unable to locate package" not in output:
        problems.append("%s: the script never reached the install" % lock)
    return problems, output


def main():
    script = os.path.join(sys.argv[1], "scripts", "install-deps.sh")
    problems = []
    with tempfile.TemporaryDirectory() as root:
        env = make_apt_root(root)
        # The package lists' lock, as the desktop's updater holds it while it updates: the
        # script tells the user it waits.
        found, output = run_with_lock_held(script, root, env, "state/lists/lock",
                                           lambda out: "waiting for it to finish" in out)
        problems += found
        if found:
            print(output)
        # dpkg's front-end lock, as an install in another terminal holds it: the update goes
        # through, the install waits (apt says nothing while it does), a few seconds are enough
        # to tell a wait from a failure.
        started = time.monotonic()
        found, output = run_with_lock_held(script, root, env, "admin/lock-frontend",
                                           lambda out: time.monotonic() - started > 5)
        problems += found
        if "Could not get lock" in output:
            problems.append("admin/lock-frontend: the install gave up on the lock")
        if found:
            print(output)
    return report.finish(problems, "install-deps.sh with apt's locks held")


if __name__ == "__main__":
    sys.exit(main())
