#!/usr/bin/env python3
"""The helper of bench/full_run: runs a command and times, from /proc, the life of every Windows
program it starts under Wine whose name is listed, then prints the run engine's share of the run.

Usage: process_times.py ENGINE.exe CHILD.exe... -- COMMAND...
Wine runs each Windows program as a Linux process whose command line is the program's path, so a
child is counted from its start time in /proc/PID/stat (clock ticks since boot) to the first poll
that finds it gone or a zombie, and the engine, which keeps the command's process id, from the
first poll that finds it under its name to the command's end.
"""
import os
import subprocess
import sys
import time

POLL_SECONDS = 0.005
# Each child's fixed measuring windows in normal mode (warm-up and window per round):
# cpubench/cpu_benchmark.cpp (5 thread counts, 3 workloads, 350 + 650 ms),
# rambench/throughput_benchmark.cpp (3 thread counts, 3 modes, 450 + 450 ms),
# gputest (four seconds of scene).
FIXED_WINDOWS = {"CVNCPUBench.exe": 15.0, "CVNRAMBench.exe": 8.1, "ZORTA.exe": 4.0}
TICKS = os.sysconf("SC_CLK_TCK")


def now() -> float:
    return time.clock_gettime(time.CLOCK_BOOTTIME)


def program_name(pid: str) -> str:
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            first = f.read().split(b"\0")[0].decode("utf-8", "replace")
    except OSError:
        return ""
    return first.replace("\\", "/").rsplit("/", 1)[-1]


def stat_fields(pid: str):
    """(state, start in seconds since boot), or None when the process is gone."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            rest = f.read().rsplit(")", 1)[1].split()
    except OSError:
        return None
    return rest[0], int(rest[19]) / TICKS


def main(argv):
    split = argv.index("--")
    engine, names = argv[1], set(argv[1:split])
    command = argv[split + 1:]

    began = now()
    log = open("run-output.txt", "wb")
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
    # The command execs its way into the engine, so the engine keeps the command's process id.
    own = str(process.pid)
    engine_life = [None, None]
    lives = {}  # child pid -> [name, start, end]
    ignored = set()
    while True:
        moment = now()
        if engine_life[0] is None and program_name(own) == engine:
            engine_life[0] = moment
        for pid in os.listdir("/proc"):
            if not pid.isdigit() or pid == own or pid in ignored or pid in lives:
                continue
            fields = stat_fields(pid)
            if fields is None or fields[1] < began - 0.01:
                ignored.add(pid)
                continue
            # A new Windows process is a fork of its parent, under the parent's name until it
            # execs Wine's loader for the child program: counted from the fork on.
            name = program_name(pid)
            if name in names and name != engine:
                lives[pid] = [name, fields[1], None]
            elif name != engine and moment - fields[1] > 2.0:
                ignored.add(pid)
        for pid, life in lives.items():
            if life[2] is None:
                fields = stat_fields(pid)
                if fields is None or fields[0] in "ZX":
                    life[2] = moment
        if process.poll() is not None:
            engine_life[1] = engine_life[1] or moment
            if all(life[2] is not None for life in lives.values()):
                break
        time.sleep(POLL_SECONDS)
    ended = now()

    if engine_life[0] is None:
        sys.exit(f"{engine} never ran; see run-output.txt")
    children = sorted(lives.values(), key=lambda life: life[1])
    engine_start = engine_life[0]
    engine_life = engine_life[1] - engine_life[0]
    inside = sum(end - begin for _, begin, end in children)
    windows = sum(FIXED_WINDOWS.get(name, 0.0) for name, _, _ in children)
    own = engine_life - inside

    print(f"command wall time (with the Wine start-up around it): {ended - began:8.2f} s")
    print(f"{engine} process:                        {engine_life:8.2f} s")
    for name, begin, end in children:
        window = FIXED_WINDOWS.get(name)
        extra = f"   (fixed measuring windows {window:.1f} s)" if window else ""
        print(f"  inside {name:<20} from {begin - engine_start:7.2f} s: {end - begin:8.2f} s{extra}")
    print(f"  inside the children together:                 {inside:8.2f} s")
    print(f"  the run engine's own time:                    {own:8.2f} s"
          f" = {100 * own / engine_life:.2f} % of the run")
    # Where the engine's own time goes: the stretches of the run with no child running.
    marks = [("start", engine_start)] + [m for name, begin, end in children
                                         for m in ((f"{name} starts", begin), (f"{name} ends", end))]
    marks.append(("end", engine_start + engine_life))
    for (what, at), (next_what, next_at) in zip(marks[0::2], marks[1::2]):
        print(f"    engine alone from {what} to {next_what}: {next_at - at:6.2f} s")
    beyond = engine_life - windows
    print(f"  the run beyond the fixed windows ({windows:.1f} s):     {beyond:8.2f} s;"
          f" own time {100 * own / beyond:.2f} % of it (limit 2 %)")
    print(f"(process times from /proc, polled every {POLL_SECONDS * 1000:.0f} ms;"
          f" the run's output is in {os.path.abspath('run-output.txt')};"
          f" exit code {process.returncode})")


if __name__ == "__main__":
    main(sys.argv)
