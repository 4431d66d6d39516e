#!/usr/bin/env python3
"""Runs copies of ZORTA.exe with -noerrormsgboxes in folders that lack one piece of its media, or
hold one cut short, or a mesh file crafted to read cleanly but hold nothing to draw, and reads its
debugger messages through WINEDEBUG=warn+seh. A file the media search cannot find is reported in
its three messages, a mesh or texture that cannot be read or drawn in one "Failed to load mesh: "
line with the mesh's name and the reason; every such run ends with the framework's media code, 4,
writes no ZORTA.dat and leaves the trace of a missing file, which ends where the device-created
callback failed.
Usage: zorta_missing_media_check.py WINE_RUN ZORTA_EXE"""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

ROOM = "Scanner\\ScannerRoom.sdkmesh"
ARM = "Scanner\\ScannerArm.sdkmesh"
SPHERE = "misc\\ReflectSphere.sdkmesh"
# The trace point after which the device-created callback's failure ends the trace.
DEVICE_CREATED_FAILED = 4099

# The header's tables (gputest/media/mesh_file_layout.md): their place among the seven and the
# size of one record.
MESHES, SUBSETS, FRAMES = (2, 48), (3, 24), (4, 40)


def not_found(name):
    # Wine's debug channel writes a backslash as two.
    return [b"Failed to load resource: ", name.replace("\\", "\\\\").encode(), b"\\n"]


def unreadable(name, reason):
    escaped = re.escape(name.replace("\\", "\\\\").encode())
    return [re.compile(b"Failed to load mesh: " + escaped + b": " + reason + b"\\\\n")]


def empty_tables(data):
    """The head alone: magic and version, then every table's count and offset zero."""
    return data[:8] + bytes(56)


def set_in_every_record(table, field, value):
    """Writes value at field of every record of the table."""
    (place, size) = table

    def change(data):
        data = bytearray(data)
        count, offset = struct.unpack_from("<2I", data, 8 + 8 * place)
        for record in range(count):
            struct.pack_into("<I", data, offset + record * size + field, value)
        return bytes(data)
    return change


def without_records(table):
    def change(data):
        data = bytearray(data)
        struct.pack_into("<I", data, 8 + 8 * table[0], 0)
        return bytes(data)
    return change


def cut_to(size):
    return lambda data: data[:size]


def without_geometry(name, reason):
    return unreadable(name, re.escape(reason.encode()))


# What each case shows, what it takes from the media beside the program, how it is changed
# (None: the file is removed) and the debugger messages expected. The first case's trace is the
# one of a missing file.
CASES = [
    ("the effect removed", "ZORTA.fx", None, not_found("ZORTA.fx")),
    ("the room removed", ROOM, None, not_found(ROOM)),
    ("the room cut to 5000 bytes", ROOM, cut_to(5000), unreadable(ROOM, rb"[^\"]+")),
    ("a texture cut to 100 bytes", "Scanner\\room_floor.dds", cut_to(100),
     unreadable(ROOM, rb"texture room_floor\.dds: cannot be read, error 0x[0-9A-F]{8}")),
    # Files that read cleanly but hold nothing the scene would draw.
    ("the room's tables all empty", ROOM, empty_tables,
     without_geometry(ROOM, "the file holds no mesh")),
    ("the sphere's tables all empty", SPHERE, empty_tables,
     without_geometry(SPHERE, "the file holds no mesh")),
    ("the room's mesh without subsets", ROOM, set_in_every_record(MESHES, 40, 0),
     without_geometry(ROOM, "its first mesh has no subsets")),
    ("the arm's subsets without indices", ARM, set_in_every_record(SUBSETS, 12, 0),
     without_geometry(ARM, "its first mesh has no subset with indices")),
    ("the sphere's subsets without indices", SPHERE, set_in_every_record(SUBSETS, 12, 0),
     without_geometry(SPHERE, "the mesh of frame ReflectSphere has no subset with indices")),
    ("the sphere without frames", SPHERE, without_records(FRAMES),
     without_geometry(SPHERE, "the file holds no frame")),
    ("the sphere's frames naming no mesh", SPHERE, set_in_every_record(FRAMES, 32, 0xFFFFFFFF),
     without_geometry(SPHERE, "no frame names a mesh")),
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


def trace_lines(log):
    """The line field of every trace log line, after the time and the source file's name."""
    return [int(m.group(1)) for m in re.finditer(rb"^[ 0-9]{4,}\S+ +([0-9]+) ", log, re.M)]


def run_case(wine_run, zorta, shows, taken, change, expected, missing_file_trace):
    """The case's failures, and the trace it left."""
    with tempfile.TemporaryDirectory() as work:
        copy_media(os.path.dirname(os.path.abspath(zorta)), work)
        shutil.copy(zorta, os.path.join(work, "ZORTA.exe"))
        path = os.path.join(work, *taken.split("\\"))
        if change is None:
            os.remove(path)
        else:
            with open(path, "rb") as whole:
                data = whole.read()
            with open(path, "wb") as changed:
                changed.write(change(data))
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
        with open(os.path.join(work, "gputrace.log"), "rb") as log:
            trace = trace_lines(log.read())
        if missing_file_trace is not None and trace != missing_file_trace:
            failures.append(f"trace {trace}, not a missing file's {missing_file_trace}")
        return [f"{shows}: {failure}" for failure in failures], trace


def main():
    wine_run, zorta = sys.argv[1], sys.argv[2]
    failures = []
    missing_file_trace = None
    for shows, taken, change, expected in CASES:
        case_failures, trace = run_case(wine_run, zorta, shows, taken, change, expected,
                                        missing_file_trace)
        failures += case_failures
        if missing_file_trace is None:
            missing_file_trace = trace
            if not trace or trace[-1] != DEVICE_CREATED_FAILED:
                failures.append(f"a missing file's trace {trace} does not end at "
                                f"{DEVICE_CREATED_FAILED}")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
