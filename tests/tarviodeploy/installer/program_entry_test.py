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
PACK = None  # the pack it carries, from the command line
CONSOLE_HOST = None  # the helper that runs it as a console's prompt does, from the command line
GUARD_FAILURE = "checkGuard() failed. Guard: 911508769"

HELP = (
    "    --acceptEulaAndAutoInstall\n"
    "        > Runs the command-line version of the installer.\n"
    "\n"
    "    -h, --help\n"
    "        > Display this help message.\n"
    "\n"
)

# Lines of each stream, one of them with characters that no console code page has all of.
NAME = "J\u00fcrgen \u017b\u00f3\u0142\u0107"
CONSOLE_CASES = [
    (["--help"], (0, HELP, "")),
    (["--" + NAME], (1, "", f'Error: Argument "{NAME}" is not being recognized.')),
    (["--acceptEulaAndAutoInstall"], (1, "", "Error: Installation must be run from elevated (admin) console.\n")),
]


def run(args, privileges=None, extra_env=None, program=None):
    env = dict(os.environ)
    for name in ("TARVIO_TEST_PRIVILEGES", "TARVIO_TEST_DIALOGS", "TARVIO_TEST_DIALOG_ANSWERS", "TARVIO_TEST_ELEVATION"):
        env.pop(name, None)
    if privileges:
        env["TARVIO_TEST_PRIVILEGES"] = privileges
    env.update(extra_env or {})
    # Output goes to files: a copy the program starts inherits its descriptors under Wine, and would
    # hold pipes open for as long as it runs. The time-out also ends a run that shows a box nobody
    # answers.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        done = subprocess.run([WINE, program or PROGRAM, *args], env=env, stdout=out, stderr=err, timeout=60)
        out.seek(0)
        err.seek(0)
        return done.returncode, text(out.read()), text(err.read())


def text(output):
    return output.decode().replace("\r\n", "\n")


def run_recording_dialogs(args, privileges=None, extra_env=None, program=None):
    """run's result and the lines of the boxes the program would have shown, answered with Ok."""
    with tempfile.TemporaryDirectory() as folder:
        log = os.path.join(folder, "dialogs.txt")
        env = dict(extra_env or {}, TARVIO_TEST_DIALOGS="Z:" + log, TARVIO_TEST_DIALOG_ANSWERS="Ok")
        result = run(args, privileges, env, program)
        if not os.path.exists(log):
            return result, []
        with open(log, encoding="utf-8") as f:
            return result, f.read().splitlines()


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run_from_console(args, privileges=None, redirected=False):
    """Runs the program from a console window: as Wine's prompt starts it, in the console and with
    the console's standard handles; or redirected, as "> out.txt 2> err.txt" at a prompt on
    Windows, where it starts without a console and attaches to the window's. Answers (exit code,
    the console's text, the texts of the standard output's and error's files or None)."""
    with tempfile.TemporaryDirectory() as folder:
        files = [os.path.join(folder, name) for name in ("out.txt", "err.txt")]
        start = ["--stdout", windows_path(files[0]), "--stderr", windows_path(files[1])] if redirected else ["--shared"]
        code, out, err = run([*start, windows_path(PROGRAM), *args], privileges, program=CONSOLE_HOST)
        assert (code, err) == (0, ""), (code, err)
        status, console = out.split("\n", 1)
        written = [None, None]
        if redirected:
            for i, name in enumerate(files):
                with open(name, "rb") as f:
                    written[i] = text(f.read())
        return int(status.removeprefix("exit ")), console, *written


def damaged_copy(folder):
    """A copy of the program in the folder whose embedded pack has its guard word broken."""
    with open(PROGRAM, "rb") as f:
        image = bytearray(f.read())
    with open(PACK, "rb") as f:
        start = f.read(64)
    at = image.find(start)
    assert at >= 0 and image.find(start, at + 1) < 0, "the pack is not in the program once"
    image[at] ^= 0xFF
    copy = os.path.join(folder, os.path.basename(PROGRAM))
    with open(copy, "wb") as f:
        f.write(image)
    return copy


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


def visible_window_titles(pid):
    """Titles of the visible X windows of a Wine process (Wine gives them the process's id)."""
    def xdotool(*args):
        return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=30).stdout
    return [xdotool("getwindowname", window).strip()
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

    def test_attached_to_a_console_redirected_streams_keep_their_lines(self):
        """As "> out.txt 2> err.txt" at a prompt on Windows: the program attaches to the console, and
        its lines still go into the files."""
        for args, (code, out, err) in CONSOLE_CASES:
            with self.subTest(args=args):
                self.assertEqual(run_from_console(args, "user", redirected=True), (code, "", out, err))

    def test_a_console_shows_every_character_whatever_its_code_page(self):
        for args, (code, out, err) in CONSOLE_CASES:
            with self.subTest(args=args):
                # The console's text ends with its last row that holds any.
                console = (out + err).rstrip("\n") + "\n"
                self.assertEqual(run_from_console(args, "user"), (code, console, None, None))

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
        titles = eventually(lambda: visible_window_titles(pid), 30)
        self.assertEqual(len(titles), 1, titles)
        self.assertTrue(titles[0].endswith(" Installer"), titles)
        # The test ends the copy itself. Keys would not do: under Wine they go to the foreground
        # window, which may be another test's on the shared display.
        end_copies(marker)
        self.assertTrue(eventually(lambda: not os.path.exists(f"/proc/{pid}"), 30), "the elevated copy is still up")

    def test_graphical_road_refuses_a_standard_user_in_a_box(self):
        self.assertEqual(run_recording_dialogs([], privileges="user"),
                         ((1, "", ""), ["MessageBox\tError\t2\tTarvio Installer\t"
                                        "Tarvio installer needs to be run by an administrator."]))

    def test_declined_elevation_ends_without_a_box(self):
        marker = f"TARVIO_PROGRAM_ENTRY_TEST={uuid.uuid4()}"
        self.addCleanup(end_copies, marker)
        env = dict([marker.split("=", 1)], TARVIO_TEST_ELEVATION="declined")
        self.assertEqual(run_recording_dialogs([], privileges="unelevated-admin", extra_env=env), ((1, "", ""), []))
        self.assertEqual(copies_marked(marker), {})

    def test_damaged_payload_is_reported_as_each_road_reports(self):
        """Started from Explorer, the graphical road has no error stream: its failure shows in a box."""
        with tempfile.TemporaryDirectory() as folder:
            program = damaged_copy(folder)
            cases = [
                ([], (1, "", ""), ["MessageBox\tError\t2\tTarvio Installer Error\t" + GUARD_FAILURE]),
                (["--acceptEulaAndAutoInstall"], (1, "", "Error: " + GUARD_FAILURE + "\n"), []),
            ]
            for args, result, dialogs in cases:
                with self.subTest(args=args):
                    self.assertEqual(run_recording_dialogs(args, program=program), (result, dialogs))


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    PACK = sys.argv.pop(1)
    CONSOLE_HOST = sys.argv.pop(1)
    unittest.main(verbosity=2)
