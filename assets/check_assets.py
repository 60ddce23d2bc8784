#!/usr/bin/env python3
"""Checks the program folder's pictures and user guide.

    check_assets.py ARTWORK_PROGRAM PROGRAM_FOLDER

- Two runs of the artwork program give the same bytes (a build never changes a picture by chance).
- Every picture has the size the windows expect.
- The guide works offline: no scripts, no outside addresses, every local link and anchor resolves.
"""

import html.parser
import os
import struct
import subprocess
import sys
import tempfile
import urllib.parse

PICTURES = {
    "bronze.jpg": (1200, 800),
    "blank.jpg": (1200, 800),
    "splash.jpg": (480, 300),
    "sonaveil.png": (256, 256),
    "sonaveil-128.png": (128, 128),
    "sonaveil-64.png": (64, 64),
    "sonaveil-48.png": (48, 48),
    "sonaveil-32.png": (32, 32),
    "sonaveil-16.png": (16, 16),
    "help/masking-level.png": (560, 200),
}


def picture_size(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        return struct.unpack(">II", data[16:24])
    if data[:2] == b"\xff\xd8":
        i = 2
        while i + 9 < len(data):
            if data[i] != 0xFF:
                raise ValueError(f"{path}: broken JPEG marker")
            marker = data[i + 1]
            length = struct.unpack(">H", data[i + 2:i + 4])[0]
            if marker in (0xC0, 0xC1, 0xC2):
                h, w = struct.unpack(">HH", data[i + 5:i + 9])
                return w, h
            i += 2 + length
    raise ValueError(f"{path}: neither PNG nor JPEG")


class GuideParser(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links = []
        self.ids = set()
        self.problems = []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "script":
            self.problems.append("a <script> element")
        for name in attrs:
            if name.startswith("on"):
                self.problems.append(f"an event attribute {name} on <{tag}>")
        if "id" in attrs:
            self.ids.add(attrs["id"])
        for name in ("href", "src"):
            if name in attrs:
                self.links.append(attrs[name])


def check_svg_icon(path, failures):
    """The scalable icon is well-formed SVG, square, and self-contained (no outside references)."""
    import xml.etree.ElementTree as ET
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError) as e:
        failures.append(f"sonaveil.svg: {e}")
        return
    if root.tag != "{http://www.w3.org/2000/svg}svg" or root.get("viewBox") != "0 0 256 256":
        failures.append("sonaveil.svg: not a square SVG picture")
    paths = root.findall(".//{http://www.w3.org/2000/svg}path")
    if len(paths) != 4 or any(not p.get("d", "").startswith("M") for p in paths):
        failures.append("sonaveil.svg: expected the moon and three waves as paths")
    for element in root.iter():
        for name, value in element.attrib.items():
            if name.endswith("href") or "url(" in value and not value.startswith("url(#"):
                failures.append(f"sonaveil.svg: outside reference {value}")


def check_guide(folder, failures):
    help_dir = os.path.join(folder, "help")
    pages = {}
    for name in sorted(os.listdir(help_dir)):
        if name.endswith(".html"):
            parser = GuideParser()
            with open(os.path.join(help_dir, name), encoding="utf-8") as f:
                parser.feed(f.read())
            pages[name] = parser
    if "index.html" not in pages:
        failures.append("help/index.html is missing")
    for name, parser in pages.items():
        for problem in parser.problems:
            failures.append(f"help/{name}: {problem}")
        for link in parser.links:
            url = urllib.parse.urlsplit(link)
            if url.scheme in ("http", "https", "ftp", "javascript") or url.netloc:
                failures.append(f"help/{name}: outside address {link}")
                continue
            if url.scheme == "mailto":
                continue
            target = name if not url.path else os.path.normpath(os.path.join(os.path.dirname(name), urllib.parse.unquote(url.path)))
            if not os.path.exists(os.path.join(help_dir, target)):
                failures.append(f"help/{name}: link to a missing file {link}")
            elif url.fragment and target in pages and url.fragment not in pages[target].ids:
                failures.append(f"help/{name}: link to a missing anchor {link}")


def main():
    program, folder = sys.argv[1], sys.argv[2]
    failures = []

    runs = []
    with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
        for out in (a, b):
            subprocess.run([program, out], check=True)
        for name in PICTURES:
            runs.append((name, open(os.path.join(a, name), "rb").read() == open(os.path.join(b, name), "rb").read()))
    with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
        for out in (a, b):
            subprocess.run([program, out], check=True)
        svg = [open(os.path.join(out, "sonaveil.svg"), "rb").read() for out in (a, b)]
    runs.append(("sonaveil.svg", svg[0] == svg[1]))
    check_svg_icon(os.path.join(folder, "sonaveil.svg"), failures)
    for name, same in runs:
        if not same:
            failures.append(f"{name} differs between two runs")

    for name, expected in PICTURES.items():
        path = os.path.join(folder, name)
        if not os.path.exists(path):
            failures.append(f"{name} is missing from the program folder")
            continue
        size = tuple(picture_size(path))
        if size != expected:
            failures.append(f"{name} is {size[0]} x {size[1]}, expected {expected[0]} x {expected[1]}")

    check_guide(folder, failures)

    for f in failures:
        print("FAIL:", f)
    print(f"{len(PICTURES)} pictures and the guide checked, {len(failures)} problem(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
