#!/usr/bin/env python3
"""Answers whose keys have an empty segment ("", ".", "a..b", "a.", ".a"), each sent by one child
of a real run of CorvanaRunEngine.exe under Wine, with the fake child standing in for the CPU, RAM
and GPU statistics children: the run ends with exit code 0, only that answer's phase fails, with
its error line, every component's "componentInfo" and "benchmarks" are objects, and
scripts/decode-results --summary reads the file with exit code 0. Then crafted documents with
arrays, texts and numbers where the layout has objects: the summary still ends with exit code 0
and names each member of an unexpected shape.
Usage: empty_key_check.py WINE_RUN BIN_DIR DECODE_RESULTS"""
import base64
import json
import os
import re
import subprocess
import sys
import tempfile
import zlib

from engine_folder import prepare_run_folder

GOOD_CPU = '{"benchmarks":[{"intScore":9}],"componentInfo":[{"cvnVersion":"1"}]}'
GOOD_RAM = ('{"benchmarks":[{"1CoreReadRAMBench":12}],"componentInfo":[{"ramModuleTag":"DDR4"}],'
            '"stateData":[{"1KB":"1.5"}]}')
GOOD_GPU = '{"GPUSTATS_EXIT_CODE":"0","monHWName":"Fake Monitor"}'

# Which child sends the odd answer, the answer, the start of the one error line, and which
# results the run keeps: the CPU's scores, the RAM component, the latency state, the graphics
# component.
CASES = [
    ("RAM", '{"benchmarks":[{"1CoreReadRAMBench":12}],"componentInfo":[{"":"4"}]}',
     'ERROR: RAMBench failed with error: key "componentInfo." has an empty segment (',
     dict(cpu=True, ram=False, state=False, graphics=True)),
    ("CPU", '{"benchmarks":[{"intScore":9},{".":"4"}]}',
     'ERROR: CPUBench failed with error: key "." has an empty segment (',
     dict(cpu=False, ram=True, state=True, graphics=True)),
    ("CPU", '{"componentInfo":[{"a..b":"4"}],"benchmarks":[{"intScore":9}]}',
     'ERROR: CPUBench failed with error: key "componentInfo.a..b" has an empty segment (',
     dict(cpu=False, ram=True, state=True, graphics=True)),
    ("RAM", '{"benchmarks":[{"a.":1}],"stateData":[{"1KB":"1.5"}]}',
     'ERROR: RAMBench failed with error: key "a." has an empty segment (',
     dict(cpu=True, ram=False, state=True, graphics=True)),
    ("RAM", '{"benchmarks":[{"1CoreReadRAMBench":12}],"stateData":[{".a":"1.5"}]}',
     'ERROR: RAMBench failed with error: key ".a" has an empty segment (',
     dict(cpu=True, ram=False, state=False, graphics=True)),
    ("GPU", '{"GPUSTATS_EXIT_CODE":"0","":"x"}',
     'ERROR: GPU benchmark error: key "componentInfo." has an empty segment',
     dict(cpu=True, ram=True, state=True, graphics=False)),
]
LOG_LINE = re.compile(r"^[SB] +\d+ +[\d.]+ +(.*)$")


def decode(wine_file):
    return subprocess.run([DECODE, wine_file], capture_output=True, check=True).stdout


def summary(path):
    """Exit code and output of decode-results --summary; a traceback never counts as a summary."""
    done = subprocess.run([DECODE, path, "--summary"], capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


def arrays_in(value, where):
    """The places below value that hold an array."""
    if isinstance(value, list):
        return [where]
    if isinstance(value, dict):
        return [p for key, member in value.items() for p in arrays_in(member, f"{where}.{key}")]
    return []


def object_member(value, name):
    """The object member name of value, or an empty one where value or the member is not an
    object: the check names those shapes as failures of their own."""
    found = value.get(name) if isinstance(value, dict) else None
    return found if isinstance(found, dict) else {}


def run_engine(wine_run, bin_dir, work, answers):
    prepare_run_folder(bin_dir, work, answers)
    return subprocess.run([wine_run, os.path.join(work, "CorvanaRunEngine.exe"), "start"],
                          cwd=work, capture_output=True, timeout=600)


def check_case(wine_run, bin_dir, child, answer, error, keeps):
    failures = []
    answers = {"CVNCPUBench": GOOD_CPU, "CVNRAMBench": GOOD_RAM, "CVNGPUStats": GOOD_GPU}
    answers[{"CPU": "CVNCPUBench", "RAM": "CVNRAMBench", "GPU": "CVNGPUStats"}[child]] = answer
    with tempfile.TemporaryDirectory() as work:
        done = run_engine(wine_run, bin_dir, work, answers)
        result = os.path.join(work, "rawresults.dat")
        if done.returncode != 0 or not os.path.exists(result):
            return [f"exit code {done.returncode}, result file {os.path.exists(result)}:"
                    f" {done.stdout[-2000:]!r} {done.stderr[-2000:]!r}"]
        document = json.loads(decode(result))
        messages = [LOG_LINE.match(line).group(1) for line in document["logs"]]
        errors = [m for m in messages
                  if m.startswith("ERROR: ") and (" failed with error: " in m or "GPU benchmark error" in m)]
        if len(errors) != 1 or not errors[0].startswith(error):
            failures.append(f"error lines {errors}, expected one starting with {error!r}")
        if document["systemInfo"]["clientCrashed"] != "true":
            failures.append("clientCrashed is not true")
        components = document["components"]
        for i, component in enumerate(components):
            if not isinstance(component, dict):
                failures.append(f"components[{i}] is {component!r}")
                continue
            for member in ("componentInfo", "benchmarks"):
                if member in component and not isinstance(component[member], dict):
                    failures.append(f"components[{i}].{member} is {component[member]!r}")
            failures += [f"an array at {p}" for p in arrays_in(component, f"components[{i}]")]
        family = lambda c: object_member(c, "componentInfo").get("familyGroup")
        kept = dict(
            cpu="intScore" in object_member(
                next((c for c in components if family(c) == "Processor"), {}), "benchmarks"),
            ram=any("1CoreReadRAMBench" in object_member(c, "benchmarks") for c in components),
            state=bool(document.get("systemStates")),
            graphics=any(family(c) == "Graphics Card" for c in components))
        if kept != keeps:
            failures.append(f"kept {kept}, expected {keeps}")
        code, out, err = summary(result)
        if code != 0 or err or "Traceback" in out:
            failures.append(f"summary ended with {code}: {out}{err}")
    return failures


def encoded(document_text):
    payload = base64.b64encode(zlib.compress(document_text.encode()), altchars=b"-_")
    return b"rawBenchData=" + payload.replace(b"=", b"*")


# Documents of unexpected shapes and the notes the summary gives for them.
CRAFTED = [
    ({"systemInfo": {"osName": "x"},
      "components": [{"componentInfo": ["4"], "benchmarks": [["\"4\""]]},
                     {"componentInfo": {"familyGroup": ["Drive"]}, "benchmarks": 5}],
      "logs": ["S 1     0    INFO: x", 7]},
     ["components[0].componentInfo is an array, not an object",
      "components[0].benchmarks is an array, not an object",
      "components[1].benchmarks is a number, not an object", "logs[1] is a number, not a text"]),
    ({"systemInfo": [], "systemStates": {"a": 1}, "components": [None, "x"], "logs": "S"},
     ["systemInfo is an array, not an object", "systemStates is an object, not an array",
      "components[1] is a text, not an object", "logs is a text, not an array"]),
    ([{"componentInfo": {}}], ["the document is an array, not an object"]),
    ("text", ["the document is a text, not an object"]),
]


def check_crafted(document, notes):
    with tempfile.TemporaryDirectory() as work:
        path = os.path.join(work, "rawresults.dat")
        with open(path, "wb") as f:
            f.write(encoded(json.dumps(document)))
        code, out, err = summary(path)
        failures = [] if code == 0 and not err and "Traceback" not in out else [f"ended with {code}"]
        failures += [f"no note {n!r}" for n in notes if f"Unexpected shape: {n}" not in out]
        return [f"{f}:\n{out}{err}" for f in failures]


def main():
    global DECODE
    wine_run, bin_dir, DECODE = sys.argv[1:4]
    failed = False
    for child, answer, error, keeps in CASES:
        for failure in check_case(wine_run, bin_dir, child, answer, error, keeps):
            print(f"FAIL: {child} answer {answer}: {failure}")
            failed = True
    for document, notes in CRAFTED:
        for failure in check_crafted(document, notes):
            print(f"FAIL: crafted {json.dumps(document)}: {failure}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
