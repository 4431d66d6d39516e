#!/usr/bin/env python3
"""Runs ZORTA.exe under Wine and, while it runs, reads the screen of the Xvfb that scripts/test
started (the XWD file in CORVANA_XVFB_FBDIR) to see the scene drawn: the room's greys, the
monitors' green screens and enough distinct colours to be a picture, not a clear colour.

Wine's Direct3D runs a program's commands on a thread of its own and puts a frame on the screen
about two presents after the program made it. On a busy host ZORTA presents only a few frames in
its four seconds and closes its window before Wine has shown any, so the check runs it with that
thread off (WINE_D3D_CONFIG csmt=0): each frame is on the screen once its present returns, and
stays there while the next one is drawn. Wine's dxgi trace counts the presents. A run whose one
frame was shown only while the program ended proves nothing either way and is run again, a few
times at most; a run that presented two frames or more and showed no scene fails, as does one
that presented none. ZORTA runs in a session of its own, so that where the kernel groups the
scheduling by session (autogroup) it shares the processors with the host's other sessions as one
of them, not with every process of the session that started the check.
Usage: zorta_frame_check.py WINE_RUN ZORTA_EXE"""
import collections
import os
import re
import struct
import subprocess
import sys
import tempfile
import time

RUNS = 3  # at most, while a run cannot tell
RUN_LIMIT = 120  # seconds


def read_xwd(path):
    """The screen's pixels as a count of (r, g, b) colours, sampled every second pixel."""
    with open(path, "rb") as f:
        data = f.read()
    header = struct.unpack(">25I", data[:100])
    header_size, width, height = header[0], header[4], header[5]
    bits_per_pixel, bytes_per_line, byte_order, colours = header[11], header[12], header[7], header[19]
    if bits_per_pixel != 32:
        raise ValueError(f"{bits_per_pixel} bits per pixel")
    start = header_size + colours * 12
    values = collections.Counter()
    for y in range(0, height, 2):
        line = memoryview(data)[start + y * bytes_per_line:start + y * bytes_per_line + width * 4]
        values.update(line.cast("I")[::2])
    # Least significant byte first: blue, green, red; otherwise the other way round.
    shifts = (16, 8, 0) if byte_order == 0 else (8, 16, 24)
    pixels = collections.Counter()
    for value, n in values.items():
        pixels[tuple((value >> s) & 0xFF for s in shifts)] += n
    return pixels


def judge(pixels):
    """What the frame lacks for a drawn scene; empty when it shows one."""
    total = sum(pixels.values())
    greys = sum(n for (r, g, b), n in pixels.items()
                if 60 <= r <= 230 and abs(r - g) <= 12 and abs(g - b) <= 12)
    screens = sum(n for (r, g, b), n in pixels.items() if g >= r + 20 and g >= b + 8)
    # The frame's first clear (0, 1, 1) and the environment map's (0, 1, 0) must be painted over.
    clears = pixels.get((0, 255, 255), 0) + pixels.get((0, 255, 0), 0)
    lacks = []
    if len(pixels) < 300:
        lacks.append(f"only {len(pixels)} colours")
    if greys < total // 20:
        lacks.append(f"room greys on {greys} of {total} pixels")
    if screens < 500:
        lacks.append(f"monitor green on {screens} pixels")
    if clears > total // 100:
        lacks.append(f"a clear colour on {clears} pixels")
    return lacks


def screen_folder():
    """The folder of the Xvfb screen file: CORVANA_XVFB_FBDIR, else the one that CTest's display
    fixture recorded in the file CORVANA_DISPLAY_FILE; None when neither names one."""
    folder = os.environ.get("CORVANA_XVFB_FBDIR")
    if folder:
        return folder
    display_file = os.environ.get("CORVANA_DISPLAY_FILE")
    if display_file and os.path.exists(display_file):
        with open(display_file) as f:
            for line in f:
                if line.startswith("CORVANA_XVFB_FBDIR="):
                    return line.rstrip("\n").split("=", 1)[1] or None
    return None


def run_once(wine_run, zorta, screen):
    """One run: (failures, presents, scene seen)."""
    config = ",".join(filter(None, [os.environ.get("WINE_D3D_CONFIG"), "csmt=0x0"]))
    env = dict(os.environ, WINE_D3D_CONFIG=config, WINEDEBUG="-all,trace+dxgi")
    with tempfile.TemporaryDirectory() as work:
        trace_path = os.path.join(work, "wine-trace.log")
        with open(trace_path, "wb") as trace:
            process = subprocess.Popen(
                [wine_run, zorta, "-forcehal", "-width:1280", "-height:720", "-adapter:0"],
                cwd=work, env=env, stderr=trace, start_new_session=True)
            verdicts = []
            deadline = time.time() + RUN_LIMIT
            while process.poll() is None and time.time() < deadline:
                time.sleep(0.1)
                lacks = judge(read_xwd(screen))
                verdicts.append(lacks)
                if not lacks:
                    break
            try:
                code = process.wait(timeout=max(1, deadline - time.time()))
            except subprocess.TimeoutExpired:
                process.kill()
                code = f"{process.wait()} after {RUN_LIMIT} s"
        with open(trace_path, "rb") as trace:
            presents = len(re.findall(rb":trace:dxgi:\w+_Present1? ", trace.read()))
        result = os.path.join(work, "ZORTA.dat")
        failures = []
        if code != 0:
            failures.append(f"exit code {code}")
        if not os.path.exists(result):
            failures.append("no ZORTA.dat")
        else:
            with open(result, "rb") as f:
                first = f.read().split(b"\r\n")[0]
            if not float(first) > 0:
                failures.append(f"frame rate {first!r}")
    seen = any(not lacks for lacks in verdicts)
    if not seen:
        failures.append(f"no frame showed the scene ({presents} presented): " + "; ".join(
            ", ".join(lacks) for lacks in verdicts[-3:]))
    return failures, presents, seen


def main():
    wine_run, zorta = sys.argv[1], sys.argv[2]
    folder = screen_folder()
    screen = os.path.join(folder, "Xvfb_screen0") if folder else None
    if not screen or not os.path.exists(screen):
        print("FAIL: this check reads the screen of an Xvfb started with -fbdir, and found "
              + (f"no {screen}" if screen else "no folder of one")
              + ". Run it through scripts/test or plain ctest without DISPLAY (both start such an"
              " Xvfb), or set CORVANA_XVFB_FBDIR to the -fbdir folder of the Xvfb at DISPLAY.")
        return 1
    for attempt in range(1, RUNS + 1):
        failures, presents, seen = run_once(wine_run, zorta, screen)
        # A single frame was on the screen only while the window closed: too busy to tell.
        if seen or presents != 1 or len(failures) > 1 or attempt == RUNS:
            break
        print(f"run {attempt}: one frame presented in the four seconds, too few to see; again")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
