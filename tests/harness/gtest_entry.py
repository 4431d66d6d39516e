#!/usr/bin/env python3
"""The verdict of one GoogleTest program's CTest entry. Runs the program through the runner that
starts it under Wine, with GoogleTest's JSON report, passes its output on as it comes, and passes
only when all of these hold:
- GoogleTest wrote its report, which it does once every test has run: under Wine a program that
  ends in the middle of its run can end with exit code 0;
- the report lists a test (run, skipped or disabled): a run of no test proves nothing;
- the report names no failed test, and Wine reported no unhandled exception;
- the program ended with exit code 0: a failure after the report (abort() in a static destructor,
  a nonzero return from main) shows only there.
The report is read, not the output, so a test that prints a line like GoogleTest's summary cannot
fake a pass. The caller's GTEST_* variables, and the Bazel ones GoogleTest also reads, are dropped:
every entry runs all its program's tests.
Prints the output, then one "verdict: " line; ends with exit code 0 for a pass, 1 otherwise.
Usage: gtest_entry.py RUNNER... PROGRAM.exe"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading

UNHANDLED = b"wine: Unhandled "
# How long the output may still come once the program has ended.
OUTPUT_GRACE_S = 5
# Read by GoogleTest besides its GTEST_* variables: a filter, fail-fast and a report file.
BAZEL_VARIABLES = ("TESTBRIDGE_TEST_ONLY", "TESTBRIDGE_TEST_RUNNER_FAIL_FAST", "XML_OUTPUT_FILE")


def program_environment():
    return {name: value for name, value in os.environ.items()
            if not name.startswith("GTEST_") and name not in BAZEL_VARIABLES}


def run(command):
    """Runs command with its output passed on; returns its exit code and whether Wine reported an
    unhandled exception. The program's end, not the end of its output, ends the run: a process it
    started, Wine's desktop process among them, can hold the output pipe long after it."""
    unhandled = False

    def pass_on(stream):
        nonlocal unhandled
        for line in stream:
            sys.stdout.buffer.write(line)
            sys.stdout.buffer.flush()
            unhandled = unhandled or UNHANDLED in line

    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               env=program_environment())
    reader = threading.Thread(target=pass_on, args=(process.stdout,), daemon=True)
    reader.start()
    code = process.wait()
    # What the program wrote before it ended is in the pipe already.
    reader.join(OUTPUT_GRACE_S)
    return code, unhandled


def ending(code):
    if code < 0:
        return f"the program died of signal {-code}"
    return f"the program ended with exit code {code}"


def reasons(code, unhandled, report_path):
    """Why the entry fails; none when it passes."""
    found = []
    try:
        with open(report_path, encoding="utf-8") as f:
            report = json.load(f)
        if not isinstance(report, dict):
            raise ValueError
    except FileNotFoundError:
        found.append("GoogleTest wrote no report: the run ended before every test had run")
    except ValueError:
        found.append("GoogleTest's report is not whole")
    else:
        if not report.get("tests"):
            found.append("no test ran: GoogleTest's report lists none")
        if report.get("failures"):
            found.append(f"GoogleTest's report names failed tests ({report['failures']})")
    if unhandled:
        found.append("Wine reported an unhandled exception")
    if code != 0:
        found.append(ending(code))
    return found


def main():
    command = sys.argv[1:]
    if not command:
        print(__doc__.rsplit("\n", 1)[-1], file=sys.stderr)
        return 2
    # A folder of its own below the working folder, named relatively: the program's working
    # folder is the same one, so no Unix path needs turning into a Windows one.
    folder = tempfile.mkdtemp(prefix="gtest-report-", dir=".")
    try:
        report_path = os.path.join(folder, "report.json")
        code, unhandled = run(command + ["--gtest_output=json:" + report_path])
        found = reasons(code, unhandled, report_path)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    sys.stdout.flush()
    if found:
        print("verdict: FAILED: " + "; ".join(found))
        return 1
    print("verdict: passed: GoogleTest's report of the whole run, exit code 0")
    return 0


if __name__ == "__main__":
    sys.exit(main())
