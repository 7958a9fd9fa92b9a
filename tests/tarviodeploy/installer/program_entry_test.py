"""Runs the installer under Wine and checks what each road of its entry prints and returns."""
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import uuid

WINE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "scripts", "wine.sh")
PROGRAM = None  # the testing build of the installer, from the command line

HELP = (
    "    --acceptEulaAndAutoInstall\n"
    "        > Runs the command-line version of the installer.\n"
    "\n"
    "    -h, --help\n"
    "        > Display this help message.\n"
    "\n"
)


def run(args, privileges=None, extra_env=None):
    env = dict(os.environ)
    for name in ("TARVIO_TEST_PRIVILEGES", "TARVIO_TEST_DIALOGS", "TARVIO_TEST_DIALOG_ANSWERS"):
        env.pop(name, None)
    if privileges:
        env["TARVIO_TEST_PRIVILEGES"] = privileges
    env.update(extra_env or {})
    # Output goes to files: a copy the program starts inherits its descriptors under Wine, and would
    # hold pipes open for as long as it runs. The time-out also ends a run that shows a box nobody
    # answers.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        done = subprocess.run([WINE, PROGRAM, *args], env=env, stdout=out, stderr=err, timeout=60)
        out.seek(0)
        err.seek(0)
        return done.returncode, text(out.read()), text(err.read())


def text(output):
    return output.decode().replace("\r\n", "\n")


def copies_marked(marker):
    """Unix process ids and command lines of this program's copies whose environment holds marker
    (NAME=VALUE): under Wine a started process inherits its starter's environment."""
    name = os.path.basename(PROGRAM).lower()
    found = {}
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/environ", "rb") as f:
                if marker.encode() not in f.read().split(b"\0"):
                    continue
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                argv = [a.decode(errors="replace") for a in f.read().split(b"\0") if a]
        except OSError:
            continue
        if argv and argv[0].lower().endswith(name):
            found[int(pid)] = argv
    return found


def visible_windows(pid):
    """(id, title) of each visible X window of a Wine process (Wine gives them the process's id)."""
    def xdotool(*args):
        return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=30).stdout
    return [(window, xdotool("getwindowname", window).strip())
            for window in xdotool("search", "--onlyvisible", "--pid", str(pid)).split()]


def eventually(condition, seconds):
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(0.2)


def end_copies(marker):
    """No copy may outlive the test, whatever failed."""
    for pid in copies_marked(marker):
        os.kill(pid, signal.SIGKILL)


class ProgramEntry(unittest.TestCase):
    def test_help_wins_and_exits_zero(self):
        for args in (["--help"], ["-h"], ["-help"], ["--h"], ["-h", "--acceptEulaAndAutoInstall"],
                     ["--acceptEulaAndAutoInstall", "--help"], ["plain", "--help"]):
            with self.subTest(args=args):
                self.assertEqual(run(args, privileges="user"), (0, HELP, ""))

    def test_parse_errors_exit_one(self):
        cases = [
            (["--Help"], 'Error: Argument "Help" is not being recognized.'),
            (["-h", "--bogus"], 'Error: Argument "bogus" is not being recognized.'),
            (["--help:"], 'Error: Missing sub-argument name in "help".'),
            (["--acceptEulaAndAutoInstall:x=1"], 'Error: Sub-argument "x" is not being recognized.'),
        ]
        for args, error in cases:
            with self.subTest(args=args):
                self.assertEqual(run(args), (1, "", error))

    def test_command_line_road_needs_an_elevated_console(self):
        for privileges in ("user", "unelevated-admin"):
            with self.subTest(privileges=privileges):
                self.assertEqual(run(["--acceptEulaAndAutoInstall"], privileges),
                                 (1, "", "Error: Installation must be run from elevated (admin) console.\n"))

    def test_graphical_road_relaunches_an_unelevated_administrator_elevated(self):
        marker = f"TARVIO_PROGRAM_ENTRY_TEST={uuid.uuid4()}"
        self.addCleanup(end_copies, marker)
        code, out, err = run([], privileges="unelevated-admin", extra_env=dict([marker.split("=", 1)]))
        self.assertEqual((code, out, err), (0, "", ""))
        # One copy, started without arguments, and elevated: it takes the graphical road and its
        # wizard shows.
        copies = eventually(lambda: copies_marked(marker), 30)
        self.assertEqual(len(copies), 1, copies)
        [(pid, argv)] = copies.items()
        self.assertEqual(len(argv), 1, argv)
        windows = eventually(lambda: visible_windows(pid), 30)
        self.assertEqual(len(windows), 1, windows)
        [(window, title)] = windows
        self.assertTrue(title.endswith(" Installer"), title)
        # Closed as a person would (the keys go to its window alone: other tests share the
        # display), the copy ends.
        subprocess.run(["xdotool", "key", "--window", window, "alt+F4"], check=True, timeout=30)
        self.assertTrue(eventually(lambda: not os.path.exists(f"/proc/{pid}"), 30),
                        "the elevated copy did not end when its window was closed")

    def test_graphical_road_refuses_a_standard_user_in_a_box(self):
        with tempfile.TemporaryDirectory() as folder:
            log = os.path.join(folder, "dialogs.txt")
            code, out, err = run([], privileges="user",
                                 extra_env={"TARVIO_TEST_DIALOGS": "Z:" + log, "TARVIO_TEST_DIALOG_ANSWERS": "Ok"})
            self.assertEqual((code, out, err), (1, "", ""))
            with open(log, encoding="utf-8") as f:
                self.assertEqual(f.read(), "MessageBox\tError\t2\tTarvio Installer\t"
                                           "Tarvio installer needs to be run by an administrator.\n")


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    unittest.main(verbosity=2)
