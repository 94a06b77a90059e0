#!/usr/bin/env python3
"""Compares the element boxes pagedump prints with those headless Chromium computes.

usage: compare_with_chromium.py PAGEDUMP_COMMAND_PREFIX FIXTURE.xhtml [...]
The first argument is the command that runs pagedump (for example "wine build/bin/pagedump.exe");
each fixture is laid out at 800 x 600 by both. Prints, per fixture, the elements whose boxes
differ by more than 2 pixels, and a summary line per fixture.
"""
import json
import os
import re
import shlex
import subprocess
import sys
import tempfile

WIDTH, HEIGHT, TOLERANCE = 800, 600, 2

PROBE = """<script type="text/javascript"><![CDATA[
window.addEventListener('load', function () {
  var out = [];
  var all = document.getElementsByTagName('*');
  for (var i = 0; i < all.length; i++) {
    var e = all[i];
    if (!e.id || e.getClientRects().length == 0) continue;
    var r = e.getBoundingClientRect();
    out.push({id: e.id, x: Math.round(r.left), y: Math.round(r.top), w: Math.round(r.width), h: Math.round(r.height)});
  }
  var pre = document.createElementNS('http://www.w3.org/1999/xhtml', 'pre');
  pre.setAttribute('id', '__boxes');
  pre.textContent = JSON.stringify(out);
  document.documentElement.appendChild(pre);
});
]]></script>"""


def chromium_boxes(path):
    with open(path, encoding="utf-8") as source:
        text = source.read()
    text = text.replace("</head>", PROBE + "</head>", 1)
    folder = os.path.dirname(os.path.abspath(path))
    with tempfile.NamedTemporaryFile("w", suffix=".xhtml", dir=folder, delete=False, encoding="utf-8") as probe:
        probe.write(text)
    try:
        dom = subprocess.run(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
             "--hide-scrollbars", "--disable-extensions", "--mute-audio", "--no-first-run",
             f"--window-size={WIDTH},{HEIGHT}", "--dump-dom", "file://" + probe.name],
            capture_output=True, text=True, timeout=60).stdout
    finally:
        os.unlink(probe.name)
    match = re.search(r'<pre id="__boxes"[^>]*>(.*?)</pre>', dom, re.S)
    if not match:
        raise RuntimeError("Chromium gave no boxes for " + path)
    return {box["id"]: box for box in json.loads(match.group(1).replace("&quot;", '"').replace("&amp;", "&"))}


def engine_boxes(command, path):
    windows_path = "Z:" + os.path.abspath(path).replace("/", "\\")
    output = subprocess.run(shlex.split(command) + ["--width", str(WIDTH), "--height", str(HEIGHT), windows_path],
                            capture_output=True, text=True, check=True).stdout
    return {box["id"]: box for box in (json.loads(line) for line in output.splitlines() if line.startswith("{"))}


def main():
    command, fixtures = sys.argv[1], sys.argv[2:]
    failures = 0
    for fixture in fixtures:
        ours, theirs = engine_boxes(command, fixture), chromium_boxes(fixture)
        differing = []
        for ident in sorted(set(ours) | set(theirs)):
            a, b = ours.get(ident), theirs.get(ident)
            if a is None or b is None:
                differing.append(f"  {ident}: only in {'Chromium' if a is None else 'pagedump'}")
                continue
            if any(abs(a[k] - b[k]) > TOLERANCE for k in "xywh"):
                differing.append(f"  {ident}: pagedump {a['x']},{a['y']} {a['w']}x{a['h']}  "
                                 f"Chromium {b['x']},{b['y']} {b['w']}x{b['h']}")
        status = "agrees" if not differing else f"{len(differing)} of {len(set(ours) | set(theirs))} differ"
        print(f"{os.path.basename(fixture)}: {status} within {TOLERANCE} px")
        for line in differing:
            print(line)
        failures += bool(differing)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
