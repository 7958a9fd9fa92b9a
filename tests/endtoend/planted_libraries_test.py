"""The installer started from a download folder that also holds files named like the system libraries it
uses (as a web page can save them there unasked): none of them is loaded, on the command line nor when
the wizard starts. Each planted library leaves "<name>.loaded" beside itself when it is loaded.

Wine takes its own copy of a system library before any file of that name, wherever the file is; told to
prefer other copies ("n,b"), it looks for them as Windows does, in the program's folder first. Not so
for version.dll, winspool.drv and uxtheme.dll: Wine's own user32 and comdlg32 import the first two, and
user32 loads the third by name, as the process starts, before any of the program's code (Windows'
do not), so under that setting they would come from the program's folder whatever the program did.
They are planted all the same, under Wine's own choice; the import table test covers them.

    planted_libraries_test.py INSTALLER.exe --probe WINDOWPROBE.exe --sleeper SLEEPER.exe --payload DIR
                              [--payload DIR ...] [--working-file FILE ...] --planted LIBRARY [--planted ...]
                              [unittest arguments]
"""
import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cli_installation_test as cli  # noqa: E402
import gui_installation_test as gui  # noqa: E402

ARGS = None
DOWNLOADS = "C:\\endtoend\\Downloads"
LOADED_BY_WINE_ITSELF = {"version.dll", "winspool.drv", "uxtheme.dll"}


class PlantedLibraries(unittest.TestCase):
    template = None

    @classmethod
    def setUpClass(cls):
        cls.template = cli.clean_template()

    def machine(self):
        """A machine with a 3ds Max to install into and the installer in a download folder beside the
        planted libraries."""
        machine = gui.GuiMachine(self.template)
        self.addCleanup(machine.close)
        machine.open()
        names = ",".join(os.path.basename(file).removesuffix(".dll") for file in ARGS.planted
                         if os.path.basename(file) not in LOADED_BY_WINE_ITSELF)
        for env in (machine.env, machine.gui_env):
            env["WINEDLLOVERRIDES"] = names + "=n,b"
        machine.add_max(cli.MAX_2015)
        os.makedirs(machine.host(DOWNLOADS))
        for file in (ARGS.installer, *ARGS.planted):
            shutil.copy(file, machine.host(DOWNLOADS))
        return machine, machine.host(DOWNLOADS + "\\" + os.path.basename(ARGS.installer))

    def assertNoneLoaded(self, machine):
        loaded = sorted(name for name in os.listdir(machine.host(DOWNLOADS)) if name.endswith(".loaded"))
        self.assertEqual(loaded, [])

    def test_command_line_installation(self):
        machine, installer = self.machine()
        code, out, err = machine.run_installer(installer=installer)
        self.assertNoneLoaded(machine)
        self.assertEqual(code, 0, out + err)
        self.assertIn("Installation has been finished", err)

    def test_wizard_start(self):
        machine, installer = self.machine()
        machine.start_installer(installer, wait=False)
        # Until the window is up, or the program has ended without one.
        deadline = time.monotonic() + gui.TIMEOUT
        shown = None
        while shown is None and machine.installer.poll() is None and time.monotonic() < deadline:
            shown = machine.probe(gui.TITLE)
        self.assertNoneLoaded(machine)
        self.assertIsNotNone(shown, f"the wizard did not start (exit code {machine.installer.poll()})")


def main():
    global ARGS
    ARGS, rest = gui.read_arguments(file_lists=["--planted"])
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
