#!/usr/bin/env python3
"""Runs copies of ZORTA.exe with -noerrormsgboxes in folders that lack one piece of its media, or
hold one cut short, and reads its debugger messages through WINEDEBUG=warn+seh. A file the media
search cannot find is reported in its three messages, a mesh or texture that cannot be read in one
"Failed to load mesh: " line with the mesh's name and the reason; every such run ends with the
framework's media code, 4, and writes no ZORTA.dat.
Usage: zorta_missing_media_check.py WINE_RUN ZORTA_EXE"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOM = "Scanner\\ScannerRoom.sdkmesh"


def not_found(name):
    # Wine's debug channel writes a backslash as two.
    return [b"Failed to load resource: ", name.replace("\\", "\\\\").encode(), b"\\n"]


def unreadable(name, reason):
    escaped = re.escape(name.replace("\\", "\\\\").encode())
    return [re.compile(b"Failed to load mesh: " + escaped + b": " + reason + b"\\\\n")]


# What is taken from the media beside the program, how many bytes of it are kept (None: the
# file is removed) and the debugger messages expected.
CASES = [
    ("ZORTA.fx", None, not_found("ZORTA.fx")),
    (ROOM, None, not_found(ROOM)),
    (ROOM, 5000, unreadable(ROOM, rb"[^\"]+")),
    ("Scanner\\room_floor.dds", 100,
     unreadable(ROOM, rb"texture room_floor\.dds: cannot be read, error 0x[0-9A-F]{8}")),
]


def copy_media(source, target):
    for folder, _, files in os.walk(source):
        for name in files:
            if name.lower().endswith((".exe", ".dll")):
                continue
            relative = os.path.relpath(os.path.join(folder, name), source)
            os.makedirs(os.path.dirname(os.path.join(target, relative)), exist_ok=True)
            shutil.copy(os.path.join(source, relative), os.path.join(target, relative))


def matches(messages, expected):
    if len(messages) != len(expected):
        return False
    return all(e.fullmatch(m) if isinstance(e, re.Pattern) else e == m
               for m, e in zip(messages, expected))


def run_case(wine_run, zorta, taken, kept, expected):
    with tempfile.TemporaryDirectory() as work:
        copy_media(os.path.dirname(os.path.abspath(zorta)), work)
        shutil.copy(zorta, os.path.join(work, "ZORTA.exe"))
        path = os.path.join(work, *taken.split("\\"))
        if kept is None:
            os.remove(path)
        else:
            with open(path, "rb") as whole:
                data = whole.read()
            with open(path, "wb") as cut:
                cut.write(data[:kept])
        env = dict(os.environ, WINEDEBUG="warn+seh")
        run = subprocess.run(
            [wine_run, os.path.join(work, "ZORTA.exe"), "-forcehal", "-width:1280",
             "-height:720", "-adapter:0", "-noerrormsgboxes"],
            cwd=work, env=env, capture_output=True, timeout=150)
        messages = re.findall(rb'warn:seh:OutputDebugString[AW] "((?:[^"\\]|\\.)*)"',
                              run.stdout + run.stderr)
        failures = []
        if run.returncode != 4:
            failures.append(f"exit code {run.returncode}")
        if not matches(messages, expected):
            failures.append(f"debugger messages {messages!r}")
        if os.path.exists(os.path.join(work, "ZORTA.dat")):
            failures.append("a ZORTA.dat was written")
        shown = taken if kept is None else f"{taken} cut to {kept} bytes"
        return [f"{shown}: {failure}" for failure in failures]


def main():
    wine_run, zorta = sys.argv[1], sys.argv[2]
    failures = []
    for taken, kept, expected in CASES:
        failures += run_case(wine_run, zorta, taken, kept, expected)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
