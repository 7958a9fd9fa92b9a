"""Runs the installer under Wine and checks what each road of its entry prints and returns."""
import os
import subprocess
import sys
import unittest

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


def run(args, privileges=None):
    env = dict(os.environ)
    env.pop("TARVIO_TEST_PRIVILEGES", None)
    if privileges:
        env["TARVIO_TEST_PRIVILEGES"] = privileges
    done = subprocess.run([WINE, PROGRAM, *args], env=env, capture_output=True, timeout=60)
    return done.returncode, done.stdout.decode().replace("\r\n", "\n"), done.stderr.decode().replace("\r\n", "\n")


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
        # The elevated copy, started without arguments, takes the graphical road on its own.
        code, out, _ = run([], privileges="unelevated-admin")
        self.assertEqual((code, out), (0, ""))

    def test_graphical_road_refuses_a_standard_user(self):
        code, out, err = run([], privileges="user")
        self.assertEqual((code, out), (1, ""))
        self.assertIn("Tarvio installer needs to be run by an administrator.", err)


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    unittest.main(verbosity=2)
