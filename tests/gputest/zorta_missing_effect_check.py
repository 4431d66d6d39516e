#!/usr/bin/env python3
"""Runs a copy of ZORTA.exe in a folder without "ZORTA.fx" and with -noerrormsgboxes, and reads
its debugger messages through WINEDEBUG=warn+seh: the media search reports the missing file in
three messages and the program ends with the framework's media code, 4.
Usage: zorta_missing_effect_check.py WINE_RUN ZORTA_EXE"""
import os
import re
import shutil
import subprocess
import sys
import tempfile


def main():
    wine_run, zorta = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as work:
        shutil.copy(zorta, os.path.join(work, "ZORTA.exe"))
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
        expected = [b"Failed to load resource: ", b"ZORTA.fx", b"\\n"]
        if messages != expected:
            failures.append(f"debugger messages {messages!r}")
        if os.path.exists(os.path.join(work, "ZORTA.dat")):
            failures.append("a ZORTA.dat was written")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
