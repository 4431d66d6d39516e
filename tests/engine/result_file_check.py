#!/usr/bin/env python3
"""The result file of real runs of CorvanaRunEngine.exe under Wine, with the fake child standing in
for the CPU and GPU statistics children, where a test program under Wine cannot reach: Unix
symbolic links, which Wine shows as plain files, and two runs at once in one folder.
- A stale "rawresults.dat.partial" that is a link (to a read-only file or an empty folder outside
  the run's folder, or dangling): this run and the next end with exit code 0 and a whole result
  file, and the link and what it points to stay as they were.
- A link named "rawresults.dat" to a file outside: the run replaces the link, and the file it
  pointed to stays as it was.
- Two runs started together in one folder, with an answer of some megabytes: both end with exit
  code 0, no partial file is left, and "rawresults.dat" is one whole document.
Usage: result_file_check.py WINE_RUN BIN_DIR DECODE_RESULTS"""
import json
import os
import random
import stat
import subprocess
import sys
import tempfile

from engine_folder import prepare_run_folder

GPU_ANSWER = '{"GPUSTATS_EXIT_CODE":"0"}'
RUNS_AT_ONCE = 2
PAIRS = 4
# Hexadecimal digits of random bytes hardly compress: the file holds some megabytes too.
BIG_TEXT_BYTES = 3 * 1024 * 1024


def cpu_answer(blob):
    return json.dumps({"benchmarks": [{"intScore": 9}],
                       "componentInfo": [{"cvnVersion": "1", "checkBlob": blob}]},
                      separators=(",", ":"))


def prepare(bin_dir, work, cpu):
    prepare_run_folder(bin_dir, work, {"CVNCPUBench": cpu, "CVNGPUStats": GPU_ANSWER})


def start(wine_run, work):
    return subprocess.Popen([wine_run, os.path.join(work, "CorvanaRunEngine.exe"), "start"],
                            cwd=work, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)


def finish(process):
    output, _ = process.communicate(timeout=600)
    return process.returncode, output.decode(errors="replace")


def document_of(work):
    """The decoded document of the folder's result file, or None with what was wrong."""
    done = subprocess.run([DECODE, os.path.join(work, "rawresults.dat")], capture_output=True)
    if done.returncode != 0:
        return None, done.stderr.decode(errors="replace")[-2000:]
    try:
        return json.loads(done.stdout), ""
    except ValueError as e:
        return None, f"not JSON: {e}"


def processor_blob(document):
    """The processor's "checkBlob", as the answer sent it (the engine keeps it as JSON text)."""
    for component in document.get("components", []):
        info = component.get("componentInfo", {}) if isinstance(component, dict) else {}
        if isinstance(info, dict) and "checkBlob" in info:
            return json.loads(info["checkBlob"])
    return None


def partial_files(work):
    return sorted(n for n in os.listdir(work) if n.endswith(".partial"))


def state_of(path):
    """What a name is, without following a link, and what a link points to: its target's mode and
    content, or that it is a folder or missing."""
    def describe(p):
        if not os.path.lexists(p):
            return "missing"
        if os.path.isdir(p):
            return ("folder", sorted(os.listdir(p)))
        with open(p, "rb") as f:
            return ("file", stat.S_IMODE(os.stat(p).st_mode), f.read())
    if os.path.islink(path):
        target = os.readlink(path)
        return ("link", target, describe(path) if os.path.exists(path) else "dangling")
    return describe(path)


# What a link outside the run's folder points to: made in the folder outside, returning the path.
def read_only_file(outside):
    path = os.path.join(outside, "precious.txt")
    with open(path, "w") as f:
        f.write("not the engine's")
    os.chmod(path, 0o444)
    return path


def empty_folder(outside):
    path = os.path.join(outside, "empty")
    os.mkdir(path)
    return path


def nowhere(outside):
    return os.path.join(outside, "missing", "nothing.dat")


def writable_file(outside):
    path = os.path.join(outside, "elsewhere.dat")
    with open(path, "w") as f:
        f.write("rawBenchData=elsewhere")
    return path


# What a case shows, the name of the link in the run's folder, what it points to, and whether the
# runs leave the link itself in place (a stale partial link) or replace it (the result file).
LINK_CASES = [
    ("a stale partial link to a read-only file outside", "rawresults.dat.partial",
     read_only_file, True),
    ("a stale partial link to an empty folder outside", "rawresults.dat.partial",
     empty_folder, True),
    ("a dangling stale partial link", "rawresults.dat.partial", nowhere, True),
    ("a result file that is a link to a file outside", "rawresults.dat", writable_file, False),
]


def check_link_case(wine_run, bin_dir, name, make, link_stays):
    failures = []
    with tempfile.TemporaryDirectory() as outside, tempfile.TemporaryDirectory() as work:
        target = make(outside)
        os.symlink(target, os.path.join(work, name))
        link_before = state_of(os.path.join(work, name))
        target_before = state_of(target)
        outside_before = sorted(os.listdir(outside))
        prepare(bin_dir, work, cpu_answer("small"))
        for run in (1, 2):
            code, output = finish(start(wine_run, work))
            if code != 0:
                failures.append(f"run {run} ended with {code}: {output[-2000:]}")
            document, why = document_of(work)
            if document is None or processor_blob(document) != "small":
                failures.append(f"run {run} left no whole result file: {why}")
            if os.path.islink(os.path.join(work, "rawresults.dat")):
                failures.append(f"run {run} left rawresults.dat a link")
            if partial_files(work) != ([name] if link_stays else []):
                failures.append(f"run {run} left the partial files {partial_files(work)}")
            if link_stays and state_of(os.path.join(work, name)) != link_before:
                failures.append(f"run {run} changed the link: {state_of(os.path.join(work, name))}")
            if state_of(target) != target_before:
                failures.append(f"run {run} changed {target}: {state_of(target)}")
            if sorted(os.listdir(outside)) != outside_before:
                failures.append(f"run {run} wrote outside its folder: {sorted(os.listdir(outside))}")
    return failures


def check_runs_at_once(wine_run, bin_dir, pair):
    failures = []
    blob = random.Random(pair).randbytes(BIG_TEXT_BYTES // 2).hex()
    with tempfile.TemporaryDirectory() as work:
        prepare(bin_dir, work, cpu_answer(blob))
        processes = [start(wine_run, work) for _ in range(RUNS_AT_ONCE)]
        for run, process in enumerate(processes, 1):
            code, output = finish(process)
            if code != 0:
                failures.append(f"run {run} ended with {code}: {output[-2000:]}")
        result = os.path.join(work, "rawresults.dat")
        size = os.path.getsize(result) if os.path.exists(result) else 0
        document, why = document_of(work)
        if document is None or processor_blob(document) != blob:
            failures.append(f"rawresults.dat ({size} bytes) is no whole document: {why}")
        elif size < 1024 * 1024:
            failures.append(f"rawresults.dat holds only {size} bytes, not some megabytes")
        if partial_files(work):
            failures.append(f"partial files left: {partial_files(work)}")
    return failures


def main():
    global DECODE
    wine_run, bin_dir, DECODE = sys.argv[1:4]
    failed = False
    for what, name, make, link_stays in LINK_CASES:
        for failure in check_link_case(wine_run, bin_dir, name, make, link_stays):
            print(f"FAIL: {what}: {failure}")
            failed = True
    for pair in range(1, PAIRS + 1):
        for failure in check_runs_at_once(wine_run, bin_dir, pair):
            print(f"FAIL: two runs at once, pair {pair}: {failure}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
