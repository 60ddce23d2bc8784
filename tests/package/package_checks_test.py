#!/usr/bin/env python3
"""What lintian and a user of another language need from the package, checked on the build.

    package_checks_test.py BUILD_DIR

- Every program and the display library it ships are linked with -z relro -z now (BIND_NOW) and
  use the fortified variants of the C library's buffer functions (_FORTIFY_SOURCE=2).
- The package depends on Qt's own catalogues (qt6-translations-l10n), without which Qt's file
  dialogs and message box buttons stay English for a German or Spanish user.
- A stripped install, as the package's, leaves no compiler notes (.comment) in what it ships.
"""

import os
import re
import subprocess
import sys
import tempfile

import report

SHIPPED = ["quietdeck", "recorder", "conver", "quietdeck-render", "liblumidot.so", "libsonaveil-plots.so"]
# Built hardened like the rest, but without a single call whose buffer size the compiler can see:
# nothing in it to turn into a checked call.
NO_SIZED_CALLS = {"libsonaveil-plots.so"}


def main():
    build = sys.argv[1]
    dist = os.path.join(build, "dist")
    failures = []
    for name in SHIPPED:
        path = os.path.join(dist, name)
        if not os.path.isfile(path):
            failures.append("not built: " + path)
            continue
        dynamic = subprocess.run(["readelf", "-d", "-W", path], capture_output=True, text=True, check=True).stdout
        if not re.search(r"\(FLAGS\)\s+.*BIND_NOW|\(BIND_NOW\)|\(FLAGS_1\)\s+.*NOW", dynamic):
            failures.append(name + ": not linked with -z now")
        headers = subprocess.run(["readelf", "-l", "-W", path], capture_output=True, text=True, check=True).stdout
        if "GNU_RELRO" not in headers:
            failures.append(name + ": no read-only relocations (-z relro)")
        symbols = subprocess.run(["readelf", "--dyn-syms", "-W", path], capture_output=True, text=True,
                                 check=True).stdout
        if not re.search(r"__\w+_chk\b", symbols) and name not in NO_SIZED_CALLS:
            failures.append(name + ": no fortified function (built without _FORTIFY_SOURCE=2)")

    config = open(os.path.join(build, "CPackConfig.cmake")).read()
    depends = re.search(r'set\(CPACK_DEBIAN_PACKAGE_DEPENDS "([^"]*)"\)', config)
    if not depends or "qt6-translations-l10n" not in depends.group(1):
        failures.append("the package does not depend on qt6-translations-l10n")

    with tempfile.TemporaryDirectory(prefix="sonaveil-stripped-") as prefix:
        subprocess.run(["cmake", "--install", build, "--prefix", prefix, "--strip"], check=True,
                       stdout=subprocess.DEVNULL)
        shipped = 0
        for folder, _, names in os.walk(prefix):
            for name in names:
                path = os.path.join(folder, name)
                if os.path.islink(path) or not os.path.isfile(path):
                    continue
                with open(path, "rb") as f:
                    if f.read(4) != b"\x7fELF":
                        continue
                shipped += 1
                sections = subprocess.run(["readelf", "-S", "-W", path], capture_output=True, text=True,
                                          check=True).stdout
                if re.search(r"\s\.comment\s", sections):
                    failures.append(os.path.relpath(path, prefix) + ": stripped, yet keeps .comment")
        if shipped != len(SHIPPED):
            failures.append("%d programs and libraries installed, %d expected" % (shipped, len(SHIPPED)))

    return report.finish(failures, "package checked")


if __name__ == "__main__":
    sys.exit(main())
