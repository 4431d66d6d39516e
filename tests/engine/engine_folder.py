"""A folder for a real run of CorvanaRunEngine.exe under Wine, shared by the engine's Python
checks: the engine, with the fake child in the place of each child named, answering its one
result line."""
import os
import shutil


def prepare_run_folder(bin_dir, work, answers):
    """Copies the engine into work and, for each child name of answers ("CVNCPUBench", say), the
    fake child under that name with a script that sends "R: " and the child's answer."""
    shutil.copy(os.path.join(bin_dir, "CorvanaRunEngine.exe"), work)
    for child, answer in answers.items():
        shutil.copy(os.path.join(bin_dir, "fake_child.exe"), os.path.join(work, child + ".exe"))
        with open(os.path.join(work, child + ".script"), "w", newline="") as f:
            f.write("line:R: " + answer + "\n")
