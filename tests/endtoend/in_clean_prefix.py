"""Runs a test program under Wine in a fresh copy of the end-to-end tests' clean prefix, on a display of
its own, and returns its exit code: for in-process tests of the graphical installer, whose runs share
the single-instance lock, the log file, the registry and Program Files with everything else in a prefix.

    in_clean_prefix.py PROGRAM.exe [ARGS...]
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cli_installation_test as cli  # noqa: E402
import gui_installation_test as gui  # noqa: E402

TIMEOUT = 240  # seconds for the whole program


def main():
    program, *args = sys.argv[1:]
    machine = gui.GuiMachine(cli.clean_template())
    try:
        machine.open()
        # The program's own output goes straight to ours: no Wine process outlives it here that
        # could hold our pipes, since the machine's server ends with it.
        return subprocess.run([cli.WINE, os.path.abspath(program), *args], env=machine.gui_env,
                              stdin=subprocess.DEVNULL, timeout=TIMEOUT).returncode
    finally:
        machine.close()


if __name__ == "__main__":
    sys.exit(main())
