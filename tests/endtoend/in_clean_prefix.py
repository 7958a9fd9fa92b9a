"""Runs each test of a GoogleTest program under Wine in a fresh copy of the end-to-end tests' clean
prefix, on a display of its own: for in-process tests of the graphical installer, whose runs share the
single-instance lock, the log file, the registry and Program Files with everything else in a prefix.
The exit code is the first failing test's, else 0.

With --whole the program runs once, all its tests in one copy: for tests that only need a desktop of
their own (its foreground window, and a LogPixels they may change) away from the tests running beside
them.

    in_clean_prefix.py [--whole] PROGRAM.exe
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cli_installation_test as cli  # noqa: E402
import gui_installation_test as gui  # noqa: E402

TIMEOUT = 240  # seconds for one test
WHOLE_TIMEOUT = 800  # seconds for a whole program


def run_in_copy(template, program, args, timeout=TIMEOUT):
    """The program's exit code and output in a fresh copy of the template."""
    machine = gui.GuiMachine(template)
    try:
        machine.open()
        code, out, err = cli.call([cli.WINE, program, *args], machine.gui_env, timeout=timeout)
        return code, out.decode("utf-8", errors="replace"), err.decode("utf-8", errors="replace")
    finally:
        machine.close()


def test_names(listing):
    """"Suite.Test" for each test of --gtest_list_tests' output."""
    names, suite = [], None
    for line in listing.replace("\r\n", "\n").splitlines():
        if not line.strip():
            continue
        if not line.startswith(" "):
            suite = line.split()[0]
        else:
            names.append(suite + line.split()[0])
    return names


def main():
    whole = sys.argv[1] == "--whole"
    program = os.path.abspath(sys.argv[-1])
    template = cli.clean_template()
    if whole:
        code, out, err = run_in_copy(template, program, [], timeout=WHOLE_TIMEOUT)
        sys.stdout.write(out + err)
        return code
    code, out, err = run_in_copy(template, program, ["--gtest_list_tests"])
    if code != 0:
        sys.stdout.write(out + err)
        return code
    failed = 0
    for name in test_names(out):
        code, out, err = run_in_copy(template, program, ["--gtest_filter=" + name])
        sys.stdout.write(out + err)
        sys.stdout.flush()
        failed = failed or code
    return failed


if __name__ == "__main__":
    sys.exit(main())
