"""End-to-end test of the graphical installer.

Starts the installer without arguments under Wine, each scenario in its own fresh copy of the clean prefix
of the command-line test and on its own Xvfb display, and drives the wizard as a person would: mouse
clicks and keys sent with xdotool. What the run leaves behind is checked with the command-line test's
records (files, registry, install database, log file, installation report); the live log is read from
the window with a small helper program.

    gui_installation_test.py INSTALLER.exe --probe WINDOWPROBE.exe --sleeper SLEEPER.exe
                             --console-host CONSOLEHOST.exe --payload DIR [--payload DIR ...]
                             [--working-file FILE ...] [--screenshots DIR] [unittest arguments]

With --screenshots the Typical run and the running-application run save pictures of the five pages and
of the prerequisites dialog there.
"""
import argparse
import dataclasses
import datetime
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cli_installation_test as cli  # noqa: E402

TITLE = "Tarvio Renderer for 3ds Max 2 Installer"
PREREQUISITES_TITLE = "Tarvio (Un)installer warning"
ERROR_TITLE = "Tarvio Installer Error"
TIMEOUT = 180  # seconds for every wait, and for the installation itself: Wine starts slowly on a busy machine
ARGS = None

ACCEPTANCE = "I accept the terms and conditions."
TYPE_CHOICES = {"typical": "Typical", "custom": "Custom", "unpack": "Unpack files"}
RUNNING_APPLICATIONS = "These applications appear to be running, you should close these applications before continuing"
BUTTON_HEIGHT = 24  # the skinned buttons of the wizard and the prerequisites dialog, at 96 DPI
PAGE_MARKERS = {  # a text that only that page shows
    "welcome": ACCEPTANCE,
    "type": TYPE_CHOICES["custom"],
    "options": "Please select plugins and utilities to install:",
    "summary": "You may also be interested in:",
}


# ---- What the graphical road logs beyond the command-line one ----------------------------------------

CLEAN_UP = cli.step_messages("Removing all extracted temporary files", (), "done")
FINISHED = "Installation has been finished"


def gui_messages(components):
    """The command-line run's messages with the graphical road's end: the clean-up step, then the closing
    text whatever the result."""
    messages = cli.run_messages(components)[:-1]
    return messages + CLEAN_UP + [FINISHED]


# ---- A display of the test's own, and a machine on it ---------------------------------------------------

class GuiMachine(cli.Machine):
    """A machine with a display of its own, on which the installer runs without arguments."""

    def open(self):
        super().open()
        self.gui_env = dict(self.env, TARVIO_TEST_REPORT_URL=self.reports.base)
        self.installer = None

    def close(self):
        if self.installer:
            if self.installer.poll() is None:
                self.installer.kill()
                self.installer.wait(timeout=TIMEOUT)
            self.output.close()
        super().close()

    def start_installer(self, installer=None, wait=True):
        """Starts the wizard (ARGS.installer, or that host path) in a working folder that holds the
        working-folder files; with wait, returns the window's probe once it is shown."""
        work = "C:\\endtoend\\work"
        shutil.rmtree(self.host(work), ignore_errors=True)
        os.makedirs(self.host(work))
        for file in ARGS.working_file:
            shutil.copy(file, self.host(work))
        self.output = tempfile.TemporaryFile()
        self.installer = subprocess.Popen([cli.WINE, installer or ARGS.installer], env=self.gui_env,
                                          cwd=self.host(work), stdin=subprocess.DEVNULL, stdout=self.output,
                                          stderr=self.output)
        return self.wait_window(TITLE) if wait else None

    def wait_installer(self):
        """The installer's exit code once it has ended by itself."""
        return self.installer.wait(timeout=TIMEOUT)

    def probe(self, title):
        """The window with that title and its visible descendants as (class, x, y, width, height, text), or
        None when no such window is shown."""
        code, out, _ = self.wine([ARGS.probe, title], env=self.gui_env)
        if code != 0:
            return None
        rows = []
        for line in out.decode("utf-8").replace("\r\n", "\n").splitlines():
            kind, x, y, width, height, text = line.split("|", 5)
            rows.append((kind, int(x), int(y), int(width), int(height), text.replace("\\n", "\n")))
        return rows

    def wait_window(self, title, gone=False):
        """The window's probe once it is shown (or None once it is gone)."""
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            found = self.probe(title)
            if (found is None) == gone:
                time.sleep(0.5)  # let it paint
                return found
            if not gone and self.installer and self.installer.poll() is not None:
                raise AssertionError(f"window {title!r} not shown: the program ended")
            time.sleep(0.2)
        raise AssertionError(f"window {title!r} {'still shown' if gone else 'not shown'}")

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=dict(os.environ, DISPLAY=self.display.name), check=True,
                       timeout=TIMEOUT)

    def click_row(self, row, clicks=1, delay=12):
        """A left click (or a double click, its clicks delay milliseconds apart) in the middle of a probed
        window."""
        _, x, y, width, height, _ = row
        self.xdotool("mousemove", str(x + width // 2), str(y + height // 2), "click", "--repeat", str(clicks),
                     "--delay", str(delay), "1")
        time.sleep(0.5)

    def click_text(self, title, text):
        """A click on the control that shows the text (a check box, a radio button, a text field)."""
        rows = [row for row in self.wait_window(title)[1:] if row[5] == text]
        assert len(rows) == 1, (text, self.probe(title))
        self.click_row(rows[0])

    def buttons(self, title):
        """The skinned buttons shown at the bottom of the window, from left to right."""
        window, *children = self.wait_window(title)
        bottom = window[2] + window[4]
        rows = [row for row in children if row[4] == BUTTON_HEIGHT and bottom - 50 <= row[2] and row[2] + row[4] <= bottom]
        return sorted(rows, key=lambda row: row[1])

    def press(self, name, clicks=1, delay=12):
        """Back, Next or Cancel (Finish) of the wizard. Back stands alone on the left; Next and Cancel
        share the right end, where Cancel is the last one."""
        window = self.wait_window(TITLE)[0]
        buttons = self.buttons(TITLE)
        middle = window[1] + window[3] // 2
        left = [b for b in buttons if b[1] < middle]
        right = [b for b in buttons if b[1] >= middle]
        button = {"back": left[:1], "next": right[:1], "cancel": right[-1:]}[name]
        assert button, (name, buttons)
        self.click_row(button[0], clicks, delay)

    def page(self):
        """The wizard's page by what it shows: "welcome", "type", "options" or "summary"; None for the
        installation page."""
        texts = {row[5] for row in self.wait_window(TITLE)[1:]}
        shown = [page for page, marker in PAGE_MARKERS.items() if marker in texts]
        return shown[0] if len(shown) == 1 else None

    def wait_page(self, page):
        deadline = time.monotonic() + TIMEOUT
        while self.page() != page:
            assert time.monotonic() < deadline, f"page {page!r} not shown, but {self.page()!r}"
            time.sleep(0.2)

    def answer_prerequisites(self, answer):
        """Retry, Ignore or Abort in the prerequisites dialog."""
        retry, ignore, abort = self.buttons(PREREQUISITES_TITLE)
        self.click_row({"retry": retry, "ignore": ignore, "abort": abort}[answer])

    def key(self, *keys):
        self.xdotool("key", *keys)
        time.sleep(0.5)

    def log_text(self):
        """The text of the wizard's live log (the rich-edit control of the installation page)."""
        return "".join(row[5] for row in self.probe(TITLE) or () if row[0].lower().startswith("richedit"))

    def wait_log(self, text):
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            if text in self.log_text():
                time.sleep(0.5)
                return
            time.sleep(0.5)
        raise AssertionError(f"{text!r} not in the log: {self.log_text()!r}")

    def screenshot(self, name):
        """The window (or dialog) shown for that picture, cut out of the screen into the screenshot folder."""
        if not ARGS.screenshots:
            return
        title = {"prerequisites": PREREQUISITES_TITLE}.get(name, TITLE)
        if title != TITLE:
            # Under Wine on Xvfb a dialog's first paint reaches the screen only once the dialog has moved:
            # until then it shows black.
            self.xdotool("search", "--name", "^" + re.escape(title) + "$", "windowmove", "100", "100")
            time.sleep(1)
        _, x, y, width, height, _ = self.probe(title)[0]
        os.makedirs(ARGS.screenshots, exist_ok=True)
        with tempfile.NamedTemporaryFile() as dump:
            subprocess.run(["xwd", "-root", "-silent", "-display", self.display.name, "-out", dump.name], check=True,
                           timeout=TIMEOUT)
            subprocess.run(["convert", "xwd:" + dump.name, "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                            os.path.join(ARGS.screenshots, f"wizard-{name}.png")], check=True, timeout=TIMEOUT)


# ---- The scenarios --------------------------------------------------------------------------------------

# The folders an "Unpack files" run makes, one per registered component, and its two files.
UNPACKED = tuple(f"3ds Max {year} Plugin" for year in range(2013, 2020)) + (
    "Material Library", "DR Server", "Licensing Server", "Standalone", "Image Editor", "LUT bundle", "IES bundle",
    "Microsoft Dependencies", "readme.txt", "3rd-party-licenses.txt")


class GuiInstallation(cli.CliInstallation):
    """The command-line test's checks of a finished run, applied to runs driven through the wizard."""

    machine_type = GuiMachine

    def machine_with_running_3ds_max(self):
        machine = self.machine()
        fake = "C:\\endtoend\\bin\\3dsmax.exe"
        with open(ARGS.sleeper, "rb") as sleeper:
            machine.write(fake, sleeper.read())
        machine.start_program(fake)
        return machine

    def start_and_choose(self, machine, kind):
        """Starts the wizard, accepts the licence and chooses the installation type; ends on page 1."""
        machine.start_installer()
        machine.screenshot("welcome")
        machine.click_text(TITLE, ACCEPTANCE)
        machine.press("next")
        machine.click_text(TITLE, TYPE_CHOICES[kind])
        machine.screenshot("installation-type")

    def finish(self, machine, screenshots=False, double_clicks=False):
        """Next to the summary once the installation has ended, then Finish: the program ends with 0. With
        double_clicks, Next is double-clicked first (see double_click_next_at_the_end)."""
        machine.wait_log(FINISHED)
        if screenshots:
            machine.screenshot("installation")
        if double_clicks:
            self.double_click_next_at_the_end(machine)
        machine.press("next")
        if screenshots:
            machine.screenshot("summary")
        machine.press("cancel")  # "Finish"
        self.assertEqual(machine.wait_installer(), 0)

    def double_click_next_at_the_end(self, machine):
        """At the end of the installation Next stands where the summary's Finish comes. The second press of a
        double click there, xdotool's 12 ms after the first or a quarter of a second later, reaches Finish
        under Wine as a plain press, as under Windows (a double-click only on the first press's window), and
        ends nothing: the summary shows and stays. Back returns to the installation page each time."""
        for delay in (12, 250):  # milliseconds, both within the double-click time
            machine.press("next", clicks=2, delay=delay)
            try:
                self.assert_page_stays(machine, "summary")
            except AssertionError as failure:
                raise AssertionError(f"a double click on Next, its clicks {delay} ms apart: {failure}") from None
            machine.press("back")
            machine.wait_page(None)

    def check_installation(self, machine, run, others=(cli.DATABASE,)):
        """The records of an installation of the components, as the command-line test checks them; others:
        the files besides the installed ones that the run leaves in the watched folders."""
        components, before, expected_database, started, messages = run
        folders = self.watched_folders(cli.MACHINE, components)
        # The live log shows the log file's entries without their dates.
        self.assertLog(machine, [messages], started)
        leftovers = {cli.windows_join(i.folder, f) for i in cli.MACHINE if i.view == 64 for f in i.leftovers}
        self.assertFiles(machine, before, machine.files_under(folders), cli.written_files(components),
                         removed=leftovers, others=set(others))
        self.assertRegistry(machine, components)
        self.assertDatabase(machine, *expected_database)
        self.assertReports(machine, [components])

    def assert_page_stays(self, machine, page):
        """The page shows and stays, and the program runs on."""
        machine.wait_page(page)
        time.sleep(2)  # time enough for anything more that the clicks would do
        self.assertIsNone(machine.installer.poll(), "the program ended")
        self.assertEqual(machine.page(), page)

    def prepare_installation(self, machine):
        components = cli.detected_components(cli.MACHINE)
        before = machine.files_under(self.watched_folders(cli.MACHINE, components))
        return components, before, self.expected_database(machine, components), datetime.datetime.now()

    def test_typical_installation(self):
        machine = self.machine()
        components, before, expected_database, started = self.prepare_installation(machine)
        machine.start_installer()
        machine.screenshot("welcome")
        machine.click_text(TITLE, ACCEPTANCE)
        # A double click on Next moves one page: the next page's Next, under the pointer, takes no part
        # (Typical: it would install at once; Custom: it would skip the options).
        machine.press("next", clicks=2)
        self.assert_page_stays(machine, "type")
        machine.click_text(TITLE, TYPE_CHOICES["typical"])
        machine.screenshot("installation-type")
        # A look at the options of a custom installation, and back.
        machine.click_text(TITLE, TYPE_CHOICES["custom"])
        machine.press("next", clicks=2)
        self.assert_page_stays(machine, "options")
        machine.screenshot("options")
        machine.press("back")
        machine.click_text(TITLE, TYPE_CHOICES["typical"])
        machine.press("next")  # "Install"
        messages = gui_messages(components)
        machine.wait_log(FINISHED)
        self.assertEqual(machine.log_text(), "".join(messages))
        self.finish(machine, screenshots=True, double_clicks=True)
        self.check_installation(machine, (components, before, expected_database, started, messages))

    def test_running_3ds_max_retry_then_ignore(self):
        machine = self.machine_with_running_3ds_max()
        components, before, expected_database, started = self.prepare_installation(machine)
        self.start_and_choose(machine, "typical")
        machine.press("next")
        dialog = machine.wait_window(PREREQUISITES_TITLE)
        self.assertEqual([row[5] for row in dialog if row[0].lower().startswith("richedit")],
                         [RUNNING_APPLICATIONS + ":\n  \u2022 3ds Max\n"])
        machine.screenshot("prerequisites")
        machine.answer_prerequisites("retry")
        # Still running: the question comes again, in a new dialog.
        machine.wait_window(PREREQUISITES_TITLE)
        machine.answer_prerequisites("ignore")
        machine.wait_window(PREREQUISITES_TITLE, gone=True)
        messages = gui_messages(components)
        uninstaller = len(cli.install_messages(cli.UNINSTALLER))
        messages.insert(uninstaller, "Ignoring running applications...\n")
        machine.wait_log(FINISHED)
        self.assertEqual(machine.log_text(), "".join(messages))
        self.finish(machine)
        self.check_installation(machine, (components, before, expected_database, started, messages))

    def test_running_3ds_max_abort(self):
        machine = self.machine_with_running_3ds_max()
        components, before, _, started = self.prepare_installation(machine)
        self.start_and_choose(machine, "typical")
        machine.press("next")
        machine.wait_window(PREREQUISITES_TITLE)
        machine.answer_prerequisites("abort")
        # Nothing was extracted for temporary use, so there is no clean-up step.
        messages = (cli.install_messages(cli.UNINSTALLER) +
                    ["Installation aborted due to some running applications.\n", FINISHED])
        machine.wait_log(FINISHED)
        self.assertEqual(machine.log_text(), "".join(messages))
        self.finish(machine)
        # The uninstaller, its entry and the product key come first; no component, no database.
        self.assertLog(machine, [messages], started)
        folders = self.watched_folders(cli.MACHINE, components)
        self.assertFiles(machine, before, machine.files_under(folders), cli.written_files([]))
        self.assertRegistry(machine, [])
        self.assertReports(machine, [])

    def test_damaged_database_box(self):
        machine = self.machine()
        damaged = b'<Database version="1"><File>'
        machine.write(cli.DATABASE, damaged)
        components, before, expected_database, started = self.prepare_installation(machine)
        self.start_and_choose(machine, "typical")
        machine.press("next")
        box = machine.wait_window(ERROR_TITLE)
        message = cli.DATABASE_FAILURE[len(ERROR_TITLE + ": "):] + cli.CORRUPTED_DATABASE
        # The toolkit's box shows a first line followed by a blank line as its heading, the rest below it.
        self.assertEqual([row[5] for row in box[1:] if row[5] and row[5] != "OK"], message.split("\n\n", 1))
        machine.click_text(ERROR_TITLE, "OK")
        machine.wait_window(ERROR_TITLE, gone=True)
        self.finish(machine)
        self.assertEqual(machine.read(cli.CORRUPTED_DATABASE), damaged)
        # The box is not logged.
        self.check_installation(machine, (components, before, expected_database, started, gui_messages(components)),
                                others=(cli.DATABASE, cli.CORRUPTED_DATABASE))

    def test_the_wizard_lets_go_of_the_console_it_was_started_from(self):
        """A console's prompt comes back at once after starting a windowed program, and closing that
        console would end a program still attached to it, in the middle of an installation."""
        machine = self.machine()
        installer = "Z:" + ARGS.installer.replace("/", "\\")
        code, out, _ = machine.wine([ARGS.console_host, "--window", installer], env=machine.gui_env)
        self.assertEqual((code, out.decode()), (0, "detached\n"))

    def test_unpack_files_into_a_chosen_folder(self):
        machine = self.machine()
        target = "C:\\endtoend\\unpacked"
        self.start_and_choose(machine, "unpack")
        machine.click_text(TITLE, "C:\\endtoend\\work\\Tarvio Renderer")  # the folder field
        machine.key("End", "shift+Home")
        machine.xdotool("type", "--delay", "20", target)
        machine.press("next")  # "Unpack"
        self.finish(machine)
        self.assertEqual(sorted(os.listdir(machine.host(target))), sorted(UNPACKED))
        for name in UNPACKED:
            if "." not in name:
                self.assertTrue(os.listdir(machine.host(target + "\\" + name)), name)
        # Nothing but the unpacked files: no product key, Uninstall entry, database or report.
        self.assertFalse(os.path.exists(machine.host(cli.PRODUCT_FOLDER)))
        self.assertIsNone(machine.registry_values(cli.PRODUCT_KEY))
        self.assertIsNone(machine.registry_values(cli.UNINSTALL_KEY))
        self.assertReports(machine, [])


# The command-line scenarios are not run again here.
for _name in dir(cli.CliInstallation):
    if _name.startswith("test_") and _name not in GuiInstallation.__dict__:
        setattr(GuiInstallation, _name, None)


def read_arguments(files=(), file_lists=()):
    """The command line of a test that drives the installer's windows, with the paths made absolute, and the
    arguments left for unittest; files and file_lists name a caller's further options (one file, and a file
    each time given)."""
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("installer")
    parser.add_argument("--probe", required=True)
    parser.add_argument("--sleeper", required=True)
    parser.add_argument("--payload", action="append", required=True)
    parser.add_argument("--working-file", action="append", default=[])
    parser.add_argument("--screenshots")
    for option in files:
        parser.add_argument(option, required=True)
    for option in file_lists:
        parser.add_argument(option, action="append", required=True)
    ARGS, rest = parser.parse_known_args()
    for name in ("installer", "probe", "sleeper", *(option[2:].replace("-", "_") for option in files)):
        setattr(ARGS, name, os.path.abspath(getattr(ARGS, name)))
    for name in ("payload", "working_file", *(option[2:].replace("-", "_") for option in file_lists)):
        setattr(ARGS, name, [os.path.abspath(path) for path in getattr(ARGS, name)])
    if ARGS.screenshots:
        ARGS.screenshots = os.path.abspath(ARGS.screenshots)
    cli.ARGS = ARGS
    return ARGS, rest


def main():
    _, rest = read_arguments(files=["--console-host"])
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
