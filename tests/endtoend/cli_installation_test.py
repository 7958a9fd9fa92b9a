"""End-to-end test of the command-line installation.

Runs the installer with --acceptEulaAndAutoInstall under Wine, each scenario in its own fresh copy of a
clean prefix that holds fake 3ds Max installations, and checks what a user and the uninstaller see
afterwards: the exit code, the console, the log file, every installed file against the payload, the
registry (64-bit view) and the install database, record by record.

What each component installs is data (the Component tables below): a component that joins the
installer joins this test by adding its expectations to OTHER_COMPONENTS.

    cli_installation_test.py INSTALLER.exe --sleeper SLEEPER.exe --payload DIR [--payload DIR ...]
                             [--working-file FILE ...] --unsafe-material-library FILE [unittest arguments]
"""
import argparse
import dataclasses
import datetime
import errno
import fcntl
import functools
import getpass
import glob
import hashlib
import http.server
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.parse
import xml.etree.ElementTree as ElementTree
from dataclasses import dataclass

WINE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "wine.sh")
TIMEOUT = 60  # seconds, for every single Wine call
ARGS = None  # the command line (installer, sleeper, payload folders, working-folder files)
PRODUCT_VERSION = "2"  # the descriptor's, and every component's unless it says otherwise


# ---- What the installer puts where ------------------------------------------------------------------

@dataclass(frozen=True)
class File:
    """A file the installer writes. destination: relative to the component's folder ("/" separators)
    or an absolute Windows path; source: the payload file it holds, None for a file made otherwise (a
    shortcut: only its presence is checked); recorded: listed in the component's database entry."""
    destination: str
    source: str
    recorded: bool = True


@dataclass(frozen=True)
class RecordedFile:
    """A path listed in the component's database entry without being written."""
    path: str


@dataclass(frozen=True)
class TemporaryFile:
    """A file the installer extracts for its own use during the run and deletes at its end: neither
    left behind nor recorded."""
    destination: str
    source: str


@dataclass(frozen=True)
class RegistryKey:
    """A key the installer creates (recorded as created even when it existed)."""
    key: str


@dataclass(frozen=True)
class RegistryValue:
    """A value the installer writes; kind and data as "reg query" shows them."""
    key: str
    name: str
    kind: str
    data: str


@dataclass(frozen=True)
class Component:
    """One installation step of the run, in the order the installer takes them.

    folder: the component's folder as the installer holds it (Windows form); id: its database entry,
    None for a component without one (its registry records then go to the database's global list and
    its files are not recorded); prepared: the lines it logs while it fetches what it needs, before
    its previous installation is removed; reported: the lines its installation logs between its title
    and its result; unwritten: destinations that fail to install (recorded all the same); version: what
    its entry records, where an empty one never equals the stored one, so a second run reinstalls it."""
    name: str
    folder: str
    steps: tuple
    id: str = None
    prepared: tuple = ()
    reported: tuple = ()
    result: str = "done"
    unwritten: tuple = ()
    version: str = PRODUCT_VERSION


PRODUCT_FOLDER = r"C:\Program Files\Tarvio"
PRODUCT_KEY = r"HKEY_LOCAL_MACHINE\Software\TarvioRenderer"
UNINSTALL_KEY = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\TarvioForMax"
DATABASE = PRODUCT_FOLDER + r"\TarvioRemove.xml"
CORRUPTED_DATABASE = PRODUCT_FOLDER + r"\TarvioRemove.corrupted.xml"
UNINSTALLER_FILE = PRODUCT_FOLDER + r"\RemoveTarvioForMax.exe"
PRODUCT_TAG = "TarvioForMax"

# Written before everything else and listed in the database's global list.
LICENCES = File(PRODUCT_FOLDER + r"\3rd-party-licenses.txt", "3rd-party-licenses.txt")

UNINSTALLER = Component("Uninstaller", PRODUCT_FOLDER, (
    File("RemoveTarvioForMax.exe", "Uninstaller_Release.exe"),
    RegistryKey(UNINSTALL_KEY),
    RegistryValue(UNINSTALL_KEY, "Publisher", "REG_SZ", "Kelvane"),
    RegistryValue(UNINSTALL_KEY, "DisplayName", "REG_SZ", "Tarvio Renderer for 3ds Max"),
    RegistryValue(UNINSTALL_KEY, "InstallLocation", "REG_SZ", PRODUCT_FOLDER),
    RegistryValue(UNINSTALL_KEY, "UninstallString", "REG_SZ", f'"{UNINSTALLER_FILE}"'),
    RegistryValue(UNINSTALL_KEY, "NoModify", "REG_DWORD", "0x1"),
    RegistryValue(UNINSTALL_KEY, "NoRepair", "REG_DWORD", "0x1"),
    RegistryValue(UNINSTALL_KEY, "NoRemove", "REG_DWORD", "0x0"),
    RegistryValue(UNINSTALL_KEY, "DisplayVersion", "REG_SZ", PRODUCT_VERSION),
    RegistryValue(UNINSTALL_KEY, "DisplayIcon", "REG_SZ", UNINSTALLER_FILE),
))

# The product key is created before the uninstaller, "Referral" written after it.
PRODUCT_KEY_CREATED = RegistryKey(PRODUCT_KEY)
REFERRAL = RegistryValue(PRODUCT_KEY, "Referral", "REG_SZ", "5000")

RENDERER_LIBRARIES = tuple(File(name, source) for name, source in (
    ("wxmsw310u_vc_tarvio_v141.dll", "dependencies/wxmsw310u_vc_tarvio_v141.dll"),
    ("TarvioOpenExr2-v141-x64-Release.dll", "dependencies/TarvioOpenExr2-v141-x64-Release.dll"),
    ("Tarviotbb-v141-x64-Release.dll", "dependencies/Tarviotbb-v141-x64-Release.dll"),
    ("Tarvio_Release.dll", "Tarvio_Release.dll"),
    ("TarvioLib_Release.dll", "TarvioLib_Release.dll"),
))

MAX_SCRIPTS = (("tarvioConverter", "1.42"), ("tarvioProxyExporter", "0.07"), ("tarvioScatterLister", "1.13"))
TOOLBAR_BITMAPS = ("TarvioOfficialToolbar_16a.bmp", "TarvioOfficialToolbar_16i.bmp",
                   "TarvioOfficialToolbar_24a.bmp", "TarvioOfficialToolbar_24i.bmp")
REPLACED_YEAR = {2014: 2013, 2016: 2015}  # whose plug-in modules the version's entry also lists


def max_plugin(year, folder):
    steps = [File(f"plugins/Tarvio{year}.dlr", f"TarvioMax_Release-{year}.dll"),
             File(f"plugins/TarvioUtils{year}.dlt", f"TarvioMaxUtils_Release-{year}.dll")]
    steps += [File(f"scripts/TarvioRenderer/{script}_v{version}.ms", f"scripts/{script}.ms")
              for script, version in MAX_SCRIPTS]
    steps.append(File("scripts/Startup/TarvioRenderer_InitScripts.ms", "scripts/TarvioRenderer_InitScripts.ms",
                      recorded=False))
    for bitmap in TOOLBAR_BITMAPS:
        steps += [File(f"UI_ln/Icons/{bitmap}", f"toolbar/{bitmap}"), File(f"UI_ln/IconsDark/{bitmap}", f"toolbar/{bitmap}")]
    steps.append(File("Tarvio_maxHairFur.dll", f"maxHairFur/{year}/Tarvio_maxHairFur.dll"))
    steps += RENDERER_LIBRARIES
    if year in REPLACED_YEAR:
        steps += [RecordedFile(f"plugins/Tarvio{REPLACED_YEAR[year]}.dlr"),
                  RecordedFile(f"plugins/TarvioUtils{REPLACED_YEAR[year]}.dlt")]
    return Component(f"3ds Max {year} Plugin", folder, tuple(steps), id=f"Max{year}")


# The machine's user folders (Wine names the user after the host's).
USER_FOLDER = "C:\\users\\" + getpass.getuser()
CLASSES_KEY = r"HKEY_CURRENT_USER\SOFTWARE\Classes"


def file_association(prefix, program, extension):
    """What registering program for the extension writes where no association exists yet: the keys
    it creates and the default values."""
    extension_key = CLASSES_KEY + "\\." + extension
    program_key = CLASSES_KEY + "\\" + prefix + "." + extension
    command_key = program_key + r"\shell\open\command"
    return (RegistryKey(extension_key),
            RegistryValue(extension_key, "", "REG_SZ", prefix + "." + extension),
            RegistryKey(program_key), RegistryKey(program_key + r"\shell"), RegistryKey(program_key + r"\shell\open"),
            RegistryKey(command_key),
            RegistryValue(command_key, "", "REG_SZ", f'"{program}" "%1"'),
            RegistryKey(program_key + r"\DefaultIcon"),
            RegistryValue(program_key + r"\DefaultIcon", "", "REG_SZ", program + ",0"))


# The side programs that the default selection installs (not the licensing server), in their
# registration order.
SUPPORT_TOOLS = (
    Component("DR Server", PRODUCT_FOLDER, (File("DrServer.exe", "DrServer_Release.exe"),), id="DR Server"),
    Component("Standalone", PRODUCT_FOLDER, (
        *RENDERER_LIBRARIES,
        File("Tarvio.exe", "TarvioStandalone_Release.exe"),
        *file_association("TarvioStandalone", PRODUCT_FOLDER + r"\Tarvio.exe", "scn"),
        RegistryValue(PRODUCT_KEY, "StandaloneInstallPath", "REG_SZ", PRODUCT_FOLDER),
        RecordedFile("TarvioStandalone_log.txt"),
    ), id="Standalone"),
    Component("Image Editor", PRODUCT_FOLDER, (
        File("TarvioImageCmd.exe", "TarvioImageEditor.Cli_x64_Release.exe"),
        File("TarvioImage.exe", "TarvioImageEditor.Gui_x64_Release.exe"),
        *file_association("TarvioImageEditor", PRODUCT_FOLDER + r"\TarvioImage.exe", "kxr"),
        *file_association("TarvioImageEditor", PRODUCT_FOLDER + r"\TarvioImage.exe", "kexr"),
        File(USER_FOLDER + r"\Desktop\Tarvio Image Editor.lnk", None),
    ), id="Image Editor"),
)

# Installed in every run, after the categorised components: the two bundles (every file of their
# payload folder, in the payload's order) and the runtime redistributable, which has no entry.
UNCATEGORISED = (
    Component("LUT bundle", PRODUCT_FOLDER + r"\lut", tuple(
        File(name, "LUT/" + name) for name in ("Film/Cool.cube", "Film/Warm.cube", "Neutral.cube")), id="LUT bundle"),
    Component("IES bundle", PRODUCT_FOLDER + r"\ies", tuple(
        File(name, "IES/" + name) for name in ("Downlights/Narrow.ies", "Point.ies", "Spots/Wide.ies")),
        id="IES bundle"),
    Component("Microsoft Dependencies", USER_FOLDER + r"\Temp", (
        TemporaryFile("vc_redist.x64.exe", "dependencies/vc_redist.2017.x64.exe"),)),
)

# The material library, from the additional installer data: the pack in the working folder, whose
# version is not known, so every run installs it again.
MATERIAL_FILES = tuple(File(name, "materials/" + name) for name in ("Metals/Steel.mat", "README.txt", "Woods/Oak.mat"))
MATERIAL_LIBRARY = Component("Material Library", PRODUCT_FOLDER + r"\materials", MATERIAL_FILES, id="MaterialLibrary",
                             prepared=("Using local file MaterialLibrary instead of downloading the file from web.\n",),
                             version="")

# The components installed after the 3ds Max plug-ins, in registration order, with their expectations.
OTHER_COMPONENTS = (MATERIAL_LIBRARY,) + SUPPORT_TOOLS + UNCATEGORISED


# ---- The machine's 3ds Max installations ------------------------------------------------------------

MAX_SUBFOLDERS = ("plugins", "scripts", "scripts/Startup", "UI_ln/Icons", "UI_ln/IconsDark")
USER_FILE = "plugins/UserPlugin.dlo"  # someone else's plug-in: must stay untouched


@dataclass(frozen=True)
class MaxInstallation:
    """A 3ds Max registered under HKLM\\SOFTWARE\\Autodesk\\<key> ("Installdir" = folder) in the given
    registry view. leftovers: files of the previous installer generation, removed by the installation."""
    year: int
    key: str
    folder: str
    view: int = 64
    plugins_is_file: bool = False
    leftovers: tuple = ()


MAX_2015 = MaxInstallation(2015, r"3dsMax\17.0\MAX-1:407", r"C:\Autodesk\3ds Max 2015",
                           leftovers=("scripts/tarvioConverter_v1.0.ms", "plugins/Tarvio2014.dlr", "TarvioOpenExr2.dll"))
MAX_2016 = MaxInstallation(2016, r"3dsMax\18.0", r"C:\Autodesk\3ds Max 2016")
MAX_DESIGN_2018 = MaxInstallation(2018, r"3dsMaxDesign\20.0", "C:\\Autodesk\\3ds Max Design 2018\\")
MAX_2017_32_BIT = MaxInstallation(2017, r"3dsMax\19.0", r"C:\Autodesk\3ds Max 2017", view=32)
MAX_2013_BROKEN = MaxInstallation(2013, r"3dsMax\15.0", r"C:\Autodesk\3ds Max 2013", plugins_is_file=True)
MACHINE = (MAX_2015, MAX_2016, MAX_DESIGN_2018, MAX_2017_32_BIT)


def detected_components(installations):
    """The components a run installs on a machine with these 3ds Max installations."""
    detected = sorted((i for i in installations if i.view == 64), key=lambda i: i.year)
    return [max_plugin(i.year, i.folder) for i in detected] + list(OTHER_COMPONENTS)


# ---- Derived expectations ---------------------------------------------------------------------------

def windows_join(folder, path):
    """The component-relative or absolute path as the installer writes it (Windows form)."""
    if re.match(r"^[A-Za-z]:\\", path):
        return path
    return folder.rstrip("\\") + "\\" + path.replace("/", "\\")


def database_path(path):
    return path.replace("\\", "/")


def registry_records(steps):
    for step in steps:
        if isinstance(step, RegistryKey):
            yield ("RegistryKey", (), step.key)
        elif isinstance(step, RegistryValue):
            yield ("RegistryValue", (("keyPath", step.key),), step.name)


def entry_records(component, is_directory, created):
    """The records of a component's database entry, in recording order. A file's missing folders are
    recorded from the root down as they are created (judged by is_directory, the machine before the
    run, and created, the folders the run made so far)."""
    records = []
    for step in component.steps:
        if isinstance(step, File):
            target = windows_join(component.folder, step.destination)
            for folder in missing_folders(target, is_directory, created):
                records.append(("Directory", (), database_path(folder) + "/"))
            if step.recorded:
                records.append(("File", (), database_path(target)))
        elif isinstance(step, RecordedFile):
            records.append(("File", (), database_path(windows_join(component.folder, step.path))))
        else:
            records += registry_records([step])
    return records


def missing_folders(target, is_directory, created):
    """The folders above target that writing it creates, from the root down; none when one of them is
    a file (the creation fails)."""
    parts = target.split("\\")[:-1]
    missing = []
    for end in range(1, len(parts) + 1):
        folder = "\\".join(parts[:end])
        if end == 1 or folder.lower() in created:
            continue
        state = is_directory(folder)
        if state is None:  # a file stands in the way
            return []
        if not state:
            missing.append(folder)
    created.update(folder.lower() for folder in missing)
    return missing


def run_global_records(components):
    """The global records one installation run appends."""
    records = [("File", (), database_path(LICENCES.destination))]
    records += registry_records([PRODUCT_KEY_CREATED])
    records += registry_records(UNINSTALLER.steps)
    records += registry_records([REFERRAL])
    for component in components:
        if component.id is None:
            records += registry_records(component.steps)
    return records


def component_element(component, records):
    attributes = (("id", component.id), ("name", component.name), ("tags", PRODUCT_TAG),
                  ("version", component.version), ("corrupted", "1" if component.result == "failed" else "0"))
    return ("Component", attributes, records)


def step_messages(title, reported, result):
    """A logged step: its title, what it reported, its result line."""
    return [title + "... ", *reported, ("Operation result: " if reported else "") + result + "\n"]


def install_messages(component):
    return step_messages("Installing " + component.name, component.reported, component.result)


def run_messages(components, again=False):
    """The logger's texts of one installation run, in order; again: the database holds the components
    from an earlier run of the same version."""
    messages = install_messages(UNINSTALLER)
    for component in components:
        if again and component.id is not None and component.version:
            messages.append(f"Component {component.name} is already installed in current version, skipping.\n")
            continue
        messages += component.prepared
        if again and component.id is not None:
            messages += step_messages("Removing previous installation of " + component.name, (), "done")
        messages += install_messages(component)
    messages += step_messages("Writing installation database", (), "done")
    failed = any(component.result == "failed" for component in components)
    messages.append("Installation of some of the components has failed" if failed else "Installation has been finished")
    return messages


def written_files(components):
    """Every file a run writes (Windows paths) with its payload source."""
    files = {LICENCES.destination: LICENCES.source}
    for component in (UNINSTALLER, *components):
        for step in component.steps:
            if isinstance(step, File) and step.destination not in component.unwritten:
                files[windows_join(component.folder, step.destination)] = step.source
    return files


def expected_registry(components):
    """Key -> {value name: (kind, data)} for every key the run writes values into."""
    keys = {}
    for component in (UNINSTALLER, *components):
        for step in (*component.steps, REFERRAL):
            if isinstance(step, RegistryValue):
                keys.setdefault(step.key, {})[step.name] = (step.kind, step.data)
    return keys


# ---- A machine: a fresh copy of the clean prefix ----------------------------------------------------

# Files of the prefix that nothing writes: shared with the template instead of copied.
SHARED_SUFFIXES = {".dll", ".exe", ".drv", ".sys", ".ocx", ".cpl", ".acm", ".ax", ".tlb", ".nls", ".ds", ".vxd",
                   ".dll16", ".exe16", ".mod", ".msstyles"}


def call(command, env, cwd=None, timeout=TIMEOUT):
    """Runs a command with a hard time-out; output through files, so that a Wine process left running
    in the background cannot hold it. Returns (exit code, stdout bytes, stderr bytes)."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run(command, env=env, cwd=cwd, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                              timeout=timeout).returncode
        out.seek(0)
        err.seek(0)
        out, err = out.read(), err.read()
    # What scripts/wine.sh says of a start it made again shows in the test's own output.
    for line in err.splitlines():
        if line.startswith(b"[wine.sh] "):
            print(line.decode(errors="replace"), file=sys.stderr, flush=True)
    return code, out, err


def wine_env(prefix):
    env = dict(os.environ, TARVIO_WINEPREFIX=prefix)
    env.pop("TARVIO_TEST_PRIVILEGES", None)
    # Every road of the program starts the GUI toolkit, so each machine gets a display of its own
    # (Machine.open): a second prefix's desktop on a display that other tests share makes their
    # windows fail (access denied).
    env.pop("DISPLAY", None)
    return env


class Display:
    """A private Xvfb server."""

    def __init__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-nolisten", "tcp", "-screen", "0",
                                         "1280x1024x24"], pass_fds=(write,), stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            self.name = ":" + pipe.readline().strip()

    def close(self):
        self.process.kill()
        self.process.wait(timeout=TIMEOUT)


def open_text(path):
    with open(path) as file:
        return file.read()


def remove_copy(root):
    """Stops the wineserver of the prefix copied into root and deletes it."""
    prefix = os.path.join(root, "prefix")
    if os.path.isfile(os.path.join(prefix, ".tarvio-ready")):  # else wine.sh would make a new prefix
        call([WINE, "--stop-server"], wine_env(prefix))
    shutil.rmtree(root, ignore_errors=True)


def clean_template():
    """A prefix made for this test alone, beside the project's prefix and made once: the project's prefix
    is shared with tests that leave keys and files behind while they run."""
    base = subprocess.run([WINE, "--prefix-only"], capture_output=True, text=True, check=True,
                          timeout=300).stdout.strip()
    template = base.rstrip("/") + "-endtoend-template"
    wine_version = subprocess.run(["wine", "--version"], capture_output=True, text=True, timeout=TIMEOUT).stdout
    stamp = os.path.join(template, ".endtoend-wine-version")
    with open(template + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.isfile(stamp) or open_text(stamp) != wine_version:
            shutil.rmtree(template, ignore_errors=True)
            subprocess.run([WINE, "--prefix-only"], env=wine_env(template), check=True, timeout=300,
                           stdout=subprocess.DEVNULL)
            with open(stamp, "w") as file:
                file.write(wine_version)
        # Copies of a run that was killed, with their servers.
        for stale in glob.glob(template + "-run-*"):
            if time.time() - os.path.getmtime(stale) > 3600:
                remove_copy(stale)
    return template


# ---- The installation report's endpoint --------------------------------------------------------------

REPORT_PATH = "/customer-zone/automatic"
REPORT_SALT = "9d3b7e15a06c2f48e1d94b70c5a2e83f61b0d7c4"
REPORT_KEYS = ["type", "computer-id", "system", "application", "version", "components", "signature"]


class LocalServer:
    """An HTTP server on 127.0.0.1 at a free port, serving on a thread of its own."""

    def start(self, handler):
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.base = f"http://127.0.0.1:{self.server.server_address[1]}"
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


class ReportServer(LocalServer):
    """The report endpoint on 127.0.0.1, recording every request as (method, path, content type, body)."""

    def __init__(self):
        requests = self.requests = []

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_POST(self):
                body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
                requests.append(("POST", self.path, self.headers.get("Content-Type"), body.decode("latin-1")))
                self.send_response(200)
                self.send_header("Content-Length", "2")
                self.end_headers()
                self.wfile.write(b"ok")

            def do_GET(self):
                requests.append(("GET", self.path, None, ""))
                self.send_response(404)
                self.send_header("Content-Length", "0")
                self.end_headers()

            def log_message(self, *args):
                pass

        self.start(Handler)


class InstallerDataServer(LocalServer):
    """The installer web server on 127.0.0.1: serves the pack at /3dsmax/2/MaterialLibrary with the
    ETag etag, without a Content-Length (the connection ends the body); counts the requests."""

    def __init__(self, pack, etag):
        requests = self.requests = []

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                requests.append(self.path)
                found = self.path == "/3dsmax/2/MaterialLibrary"
                self.send_response(200 if found else 404)
                if found:
                    self.send_header("ETag", etag)
                self.end_headers()
                if found:
                    self.wfile.write(pack)

            def log_message(self, *args):
                pass

        self.start(Handler)


def form_encoded(text):
    """The installer's form encoding: letters, digits and "-._~" kept, blanks as "+", other UTF-8 bytes as
    "%" and two lowercase hexadecimal digits."""
    safe = b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~"
    return "".join(chr(b) if b in safe else "+" if b == 0x20 else f"%{b:02x}" for b in text.encode("utf-8"))


class Machine:
    """A fresh copy of the template with a persistent wineserver: open() makes it, close() ends it and
    deletes it (also after a partial open)."""

    def __init__(self, template):
        self.template = template
        self.root = tempfile.mkdtemp(prefix=os.path.basename(template) + "-run-", dir=os.path.dirname(template))
        self.prefix = os.path.join(self.root, "prefix")
        self.env = wine_env(self.prefix)
        self.background = []
        self.log_file = None
        self.reports = None
        self.installer_data = None
        self.display = None

    def open(self):
        windows = os.path.join(self.template, "drive_c", "windows") + os.sep

        def copy(source, target):
            if source.startswith(windows) and os.path.splitext(source)[1].lower() in SHARED_SUFFIXES:
                try:
                    os.link(source, target)
                    return target
                except OSError:
                    pass
            return shutil.copy2(source, target)

        shutil.copytree(self.template, self.prefix, symlinks=True, copy_function=copy)
        self.reports = ReportServer()
        self.display = Display()
        self.env["DISPLAY"] = self.display.name
        self.wine_checked(["--start-server"])
        users = [name for name in os.listdir(self.host("C:\\users")) if name != "Public"]
        assert len(users) == 1, users
        self.log_file = f"C:\\users\\{users[0]}\\AppData\\Local\\TarvioRenderer\\DeployLog.txt"

    def close(self):
        if self.reports:
            self.reports.close()
        for process in self.background:
            process.kill()
            process.wait(timeout=TIMEOUT)
        remove_copy(self.root)
        if self.display:
            self.display.close()

    def host(self, path):
        """The host path of a C: path of the machine."""
        assert path[:3].upper() == "C:\\", path
        return os.path.join(self.prefix, "drive_c", *[part for part in path[3:].split("\\") if part])

    def wine(self, args, env=None, cwd=None):
        return call([WINE, *args], env or self.env, cwd)

    def wine_checked(self, args):
        code, out, err = self.wine(args)
        assert code == 0, (args, code, out, err)

    def write(self, path, content=b""):
        host = self.host(path)
        os.makedirs(os.path.dirname(host), exist_ok=True)
        with open(host, "wb") as file:
            file.write(content)

    def read(self, path):
        with open(self.host(path), "rb") as file:
            return file.read()

    def is_directory(self, path):
        """True, False, or None when a file is there."""
        host = self.host(path)
        return None if os.path.isfile(host) else os.path.isdir(host)

    def add_max(self, installation):
        folder = installation.folder.rstrip("\\")
        for subfolder in MAX_SUBFOLDERS:
            if not (installation.plugins_is_file and subfolder == "plugins"):
                os.makedirs(self.host(windows_join(folder, subfolder)), exist_ok=True)
        if installation.plugins_is_file:
            self.write(windows_join(folder, "plugins"), b"not a folder")
        else:
            self.write(windows_join(folder, USER_FILE), b"a user's own plug-in")
        for leftover in installation.leftovers:
            self.write(windows_join(folder, leftover), b"left by the previous installer")
        self.wine_checked(["reg", "add", "HKLM\\SOFTWARE\\Autodesk\\" + installation.key, "/v", "Installdir",
                           "/t", "REG_SZ", "/d", installation.folder, "/f", f"/reg:{installation.view}"])

    def registry_values(self, key, view=64):
        """{name: (kind, data)}, or None when the key does not exist in that view."""
        # scripts/wine.sh runs reg in English and starts it again when Wine lost it before it ran.
        code, out, err = self.wine(["reg", "query", key, f"/reg:{view}"])
        if code != 0:
            assert b"Unable to find the specified registry key" in out, (key, view, code, out, err)
            return None
        values = {}
        for line in out.decode(errors="replace").splitlines():
            match = re.match(r"^ {4}(\S.*?) {4}(REG_[A-Z_]+)(?: {4}(.*))?$", line)
            if match:
                name = "" if match.group(1) == "(Default)" else match.group(1)
                values[name] = (match.group(2), match.group(3) or "")
        return values

    def files_under(self, folders):
        """{Windows path: bytes} of every file under the folders."""
        files = {}
        for folder in folders:
            top = self.host(folder)
            for directory, _, names in os.walk(top):
                for name in names:
                    relative = os.path.relpath(os.path.join(directory, name), top)
                    path = folder.rstrip("\\") + "\\" + relative.replace(os.sep, "\\")
                    files[path] = self.read(path)
        return files

    def run_installer(self, privileges=None, installer=None, working_files=None):
        """Runs the command-line installation (of ARGS.installer, or of that host path) in a working
        folder that holds the working-folder files (ARGS.working_file unless given), or, when
        installer_data is set (the base address of a local installer web server), none of them. Returns
        (exit code, stdout, stderr) with line ends as LF."""
        work = "C:\\endtoend\\work"
        shutil.rmtree(self.host(work), ignore_errors=True)
        os.makedirs(self.host(work))
        for file in (working_files or ARGS.working_file) if self.installer_data is None else ():
            shutil.copy(file, self.host(work))
        env = dict(self.env, TARVIO_TEST_REPORT_URL=self.reports.base)
        if self.installer_data is not None:
            env["TARVIO_TEST_INSTALLER_DATA_URL"] = self.installer_data
        if privileges:
            env["TARVIO_TEST_PRIVILEGES"] = privileges
        code, out, err = self.wine([installer or ARGS.installer, "--acceptEulaAndAutoInstall"], env,
                                   cwd=self.host(work))
        return code, text(out), text(err)

    def start_program(self, path):
        """Starts a program of the machine in the background and waits until Windows lists it."""
        self.background.append(subprocess.Popen([WINE, path], env=self.env, stdin=subprocess.DEVNULL,
                                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                                start_new_session=True))
        name = path.split("\\")[-1].lower()
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            _, out, _ = self.wine(["wmic", "process", "get", "name"])
            if name in [line.strip().lower() for line in out.decode("utf-16", errors="replace").splitlines()]:
                return
            time.sleep(0.2)
        raise AssertionError(f"{path} did not start")


def text(output):
    return output.decode("utf-8", errors="replace").replace("\r\n", "\n")


def payload(source):
    for folder in ARGS.payload:
        path = os.path.join(folder, source)
        if os.path.isfile(path):
            with open(path, "rb") as file:
                return file.read()
    raise AssertionError(f"payload file {source} not found in {ARGS.payload}")


# ---- The scenarios ----------------------------------------------------------------------------------

STAMP = r"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d) "
DATABASE_FAILURE = ("Tarvio Installer Error: Installation database failed to load.\n\nSome of the previously installed "
                    "components may not be properly uninstalled. Please contact Tarvio technical support and attach "
                    "the following file to your issue report:\n\n")


class CliInstallation(unittest.TestCase):
    template = None

    @classmethod
    def setUpClass(cls):
        cls.template = clean_template()

    machine_type = Machine

    def machine(self, installations=MACHINE):
        machine = self.machine_type(self.template)
        self.addCleanup(machine.close)
        machine.open()
        for installation in installations:
            machine.add_max(installation)
        return machine

    def max_folders(self, installations):
        return [i.folder.rstrip("\\") for i in installations]

    def watched_folders(self, installations, components):
        """Every folder the run may write into: the product's, the components', the 3ds Max ones, and
        those of the files written elsewhere."""
        folders = {PRODUCT_FOLDER, *self.max_folders(installations),
                   *(c.folder.rstrip("\\") for c in components),
                   *(path.rsplit("\\", 1)[0] for path in written_files(components))}
        # Nested folders are walked once, from the outermost.
        return sorted(f for f in folders if not any(f.lower().startswith(o.lower() + "\\") for o in folders))

    def expected_database(self, machine, components):
        """The global records and the component elements that a first run on this machine records."""
        created = set()
        # The product folder comes with the licences and the uninstaller, outside any entry.
        entry_records(Component("", PRODUCT_FOLDER, (LICENCES, *UNINSTALLER.steps)), machine.is_directory, created)
        entries = {}
        for component in components:
            records = entry_records(component, machine.is_directory, created)
            if component.id is not None:
                entries[component.id] = records
        elements = [component_element(c, entries[c.id]) for c in sorted(components, key=lambda c: c.id or "") if c.id]
        return run_global_records(components), elements

    def assertDatabase(self, machine, global_records, components):
        raw = machine.read(DATABASE)
        self.assertTrue(raw.startswith(b"<Database"), raw[:40])  # no byte-order mark, no declaration
        self.assertNotRegex(raw.replace(b"\r\n", b""), b"[\r\n]", "line ends are CR LF")
        root = ElementTree.fromstring(raw.decode("utf-8"))
        self.assertEqual((root.tag, list(root.attrib.items())), ("Database", [("version", "1")]))

        def record(element):
            return (element.tag, tuple(element.attrib.items()), element.text or "")

        found_global = [record(e) for e in root if e.tag != "Component"]
        found_components = [(e.tag, tuple(e.attrib.items()), [record(r) for r in e]) for e in root if e.tag == "Component"]
        self.assertEqual(found_global, global_records)
        self.assertEqual(found_components, components)
        tags = [e.tag for e in root]
        self.assertEqual(tags, sorted(tags, key=lambda tag: tag == "Component"), "global records come first")

    def assertLog(self, machine, runs, started):
        """The log holds the runs' messages, each after its date and time, behind one byte-order mark."""
        raw = machine.read(machine.log_file)
        self.assertTrue(raw.startswith(b"\xef\xbb\xbf"), raw[:20])
        pattern = "".join(STAMP + re.escape(message.replace("\n", "\r\n")) for messages in runs for message in messages)
        match = re.fullmatch(pattern, raw[3:].decode("utf-8"), re.DOTALL)
        self.assertIsNotNone(match, raw.decode("utf-8", errors="replace"))
        earliest = started.replace(microsecond=0) - datetime.timedelta(seconds=2)
        latest = datetime.datetime.now() + datetime.timedelta(seconds=2)
        for stamp in match.groups():
            self.assertTrue(earliest <= datetime.datetime.strptime(stamp, "%Y-%m-%d %H:%M:%S") <= latest, stamp)

    def assertFiles(self, machine, before, after, written, removed=(), others=()):
        """after holds exactly the files before it, less the removed, plus the written ones with their
        payload's bytes, plus the others (whose contents other checks look at)."""
        others = {*others, *(path for path, source in written.items() if source is None)}
        expected = {path: content for path, content in before.items() if path not in removed and path not in others}
        expected.update({path: payload(source) for path, source in written.items() if source is not None})
        self.assertEqual(sorted(after), sorted(set(expected) | others))
        for path, content in expected.items():
            self.assertEqual(after[path], content, path)

    def assertRegistry(self, machine, components):
        for key, values in expected_registry(components).items():
            self.assertEqual(machine.registry_values(key), values, key)
        # The 32-bit program writes the 64-bit view only.
        for key in (PRODUCT_KEY, UNINSTALL_KEY):
            self.assertIsNone(machine.registry_values(key, view=32), key)

    def assertReports(self, machine, runs):
        """One signed report per run that installed, each naming that run's components."""
        requests = machine.reports.requests
        self.assertEqual(len(requests), len(runs), requests)
        for (method, path, content_type, body), components in zip(requests, runs):
            self.assertEqual((method, path, content_type),
                             ("POST", REPORT_PATH, "application/x-www-form-urlencoded"))
            fields = urllib.parse.parse_qsl(body, keep_blank_values=True, strict_parsing=True)
            self.assertEqual([key for key, _ in fields], REPORT_KEYS, body)
            self.assertEqual(body, "&".join(key + "=" + form_encoded(value) for key, value in fields))
            values = [value for _, value in fields]
            # A 28-character Base64 id whose last byte, that of the referral number 5000, is 0.
            self.assertRegex(values[1], r"^[A-Za-z0-9+/]{27}A$")
            self.assertEqual(values[:1] + values[2:6],
                             ["installer", "win", "TarvioForMax", "2", ";".join(c.id or c.name for c in components)])
            signed = "".join(values[:6]) + REPORT_SALT
            self.assertEqual(values[6], hashlib.md5(signed.encode("utf-8")).hexdigest())

    def install_and_check(self, installations, components, machine=None):
        """A first installation on a clean machine, checked whole."""
        machine = machine or self.machine(installations)
        folders = self.watched_folders(installations, components)
        before = machine.files_under(folders)
        global_records, entries = self.expected_database(machine, components)
        started = datetime.datetime.now()
        code, out, err = machine.run_installer()
        failed = any(c.result == "failed" for c in components)
        messages = run_messages(components)
        self.assertEqual((code, out, err), (1 if failed else 0, "", "".join(messages)))
        self.assertLog(machine, [messages], started)
        leftovers = {windows_join(i.folder, f) for i in installations if i.view == 64 for f in i.leftovers}
        self.assertFiles(machine, before, machine.files_under(folders), written_files(components),
                         removed=leftovers, others={DATABASE})
        self.assertRegistry(machine, components)
        self.assertDatabase(machine, global_records, entries)
        self.assertReports(machine, [components])
        return machine, started, global_records, entries

    def test_first_installation(self):
        self.install_and_check(MACHINE, detected_components(MACHINE))

    def test_second_installation_skips_what_is_installed(self):
        components = detected_components(MACHINE)
        machine, started, global_records, entries = self.install_and_check(MACHINE, components)
        folders = self.watched_folders(MACHINE, components)
        before = machine.files_under(folders)
        code, out, err = machine.run_installer()
        messages = run_messages(components, again=True)
        self.assertEqual((code, out, err), (0, "", "".join(messages)))
        self.assertLog(machine, [run_messages(components), messages], started)
        reinstalled = [c for c in components if c.id is None or not c.version]
        self.assertFiles(machine, before, machine.files_under(folders), written_files(reinstalled),
                         others={DATABASE})
        self.assertRegistry(machine, components)
        # Every run appends its global records again; the entries stay as they were.
        self.assertDatabase(machine, global_records + run_global_records(components), entries)
        self.assertReports(machine, [components, components])

    def test_running_3ds_max_aborts_before_any_component(self):
        machine = self.machine()
        components = detected_components(MACHINE)
        fake = "C:\\endtoend\\bin\\3dsmax.exe"
        with open(ARGS.sleeper, "rb") as sleeper:
            machine.write(fake, sleeper.read())
        machine.start_program(fake)
        folders = self.watched_folders(MACHINE, components)
        before = machine.files_under(folders)
        started = datetime.datetime.now()
        code, out, err = machine.run_installer()
        messages = install_messages(UNINSTALLER) + ["Installation aborted due to some running applications.\n",
                                                    "Installation of some of the components has failed"]
        self.assertEqual((code, out, err), (1, "These applications appear to be running, you should close these "
                                               "applications before continuing:\n\t3ds Max\n"
                                               "\nResolve all issues and try again.\n", "".join(messages)))
        self.assertLog(machine, [messages], started)
        # The uninstaller, its entry and the product key come first; no component, no database.
        self.assertFiles(machine, before, machine.files_under(folders), written_files([]))
        self.assertRegistry(machine, [])
        self.assertReports(machine, [])

    def test_damaged_database_is_kept_aside_and_the_installation_goes_on(self):
        machine = self.machine()
        damaged = b'<Database version="1"><File>'
        machine.write(DATABASE, damaged)
        components = detected_components(MACHINE)
        folders = self.watched_folders(MACHINE, components)
        before = machine.files_under(folders)
        global_records, entries = self.expected_database(machine, components)
        started = datetime.datetime.now()
        code, out, err = machine.run_installer()
        messages = run_messages(components)
        self.assertEqual((code, out, err), (0, "", DATABASE_FAILURE + CORRUPTED_DATABASE + "\n" + "".join(messages)))
        self.assertLog(machine, [messages], started)  # the user interface's error is not logged
        self.assertEqual(machine.read(CORRUPTED_DATABASE), damaged)
        self.assertFiles(machine, before, machine.files_under(folders), written_files(components),
                         removed={windows_join(MAX_2015.folder, f) for f in MAX_2015.leftovers},
                         others={DATABASE, CORRUPTED_DATABASE})
        self.assertDatabase(machine, global_records, entries)
        self.assertReports(machine, [components])

    def test_failing_component_fails_the_run_but_not_the_others(self):
        installations = (MAX_2013_BROKEN, *MACHINE)
        plugins = windows_join(MAX_2013_BROKEN.folder, "plugins")
        broken = dataclasses.replace(
            max_plugin(2013, MAX_2013_BROKEN.folder),
            reported=(f"Failed to create directory {plugins}\n",) * 2, result="failed",
            unwritten=("plugins/Tarvio2013.dlr", "plugins/TarvioUtils2013.dlt"))
        self.install_and_check(installations, [broken, *detected_components(MACHINE)])

    def material_library_server(self, pack, etag):
        server = InstallerDataServer(pack, etag)
        self.addCleanup(server.close)
        return server

    def test_material_library_from_the_installer_web_server(self):
        """Without a local pack the library is downloaded; the server's ETag is its version, so a second
        run with the same data leaves it alone."""
        pack_file, = (file for file in ARGS.working_file if os.path.basename(file) == "MaterialLibrary")
        with open(pack_file, "rb") as file:
            server = self.material_library_server(file.read(), '"ml-2"')
        machine = self.machine()
        machine.installer_data = server.base
        library = dataclasses.replace(MATERIAL_LIBRARY, prepared=("Downloading additional installer data \n",),
                                      version='"ml-2"')
        components = [library if c is MATERIAL_LIBRARY else c for c in detected_components(MACHINE)]
        self.install_and_check(MACHINE, components, machine)
        code, _, err = machine.run_installer()
        self.assertEqual(code, 0, err)
        self.assertIn("Component Material Library is already installed in current version, skipping.\n", err)
        # The first run downloads and then asks for the version; the second only asks.
        self.assertEqual(server.requests, ["/3dsmax/2/MaterialLibrary"] * 3)

    def test_material_library_stays_when_its_data_cannot_be_had(self):
        machine, _, _, _ = self.install_and_check(MACHINE, detected_components(MACHINE))
        before = machine.files_under([MATERIAL_LIBRARY.folder])

        def library_entry():
            root = ElementTree.fromstring(machine.read(DATABASE).decode("utf-8"))
            return [(e.attrib, [(r.tag, r.attrib, r.text) for r in e]) for e in root if e.get("id") == "MaterialLibrary"]

        entry = library_entry()
        # A newer version on the server, but not a pack.
        machine.installer_data = self.material_library_server(b"not a pack", '"ml-3"').base
        code, _, err = machine.run_installer()
        self.assertEqual(code, 1, err)
        self.assertIn("Failed to download additional installer data (MaterialLibrary): ", err)
        self.assertIn("Component Material Library was not installed; its previous installation stays.\n", err)
        self.assertNotIn("Material Library...", err)
        self.assertEqual(machine.files_under([MATERIAL_LIBRARY.folder]), before)
        self.assertEqual(library_entry(), entry)

    def test_unelevated_console_is_refused(self):
        machine = self.machine()
        folders = self.watched_folders(MACHINE, [])
        before = machine.files_under(folders)
        self.assertEqual(machine.run_installer(privileges="user"),
                         (1, "", "Error: Installation must be run from elevated (admin) console.\n"))
        self.assertEqual(machine.files_under(folders), before)
        self.assertFalse(os.path.exists(machine.host(machine.log_file)))
        self.assertIsNone(machine.registry_values(PRODUCT_KEY))
        self.assertReports(machine, [])


# ---- Names that lead outside, and what the elevated run keeps to itself ------------------------------

class UnsafePackAndPrivateFolder(unittest.TestCase):
    """A material library whose names lead outside its folder (the pack in ARGS.unsafe_material_library:
    the real library, materials/inside.txt, and three names that lead to C:\\), and the folder that the
    elevated run extracts the redistributable into."""
    SLIPS = ("C:\\slip-dotdot.txt", "C:\\slip-backslash.txt", "C:\\slip-drive.txt")

    @classmethod
    def setUpClass(cls):
        cls.template = clean_template()

    def machine(self):
        machine = Machine(self.template)
        self.addCleanup(machine.close)
        machine.open()
        return machine

    def library_entry(self, machine):
        root = ElementTree.fromstring(machine.read(DATABASE).decode("utf-8"))
        return [(e.attrib, [(r.tag, r.attrib, r.text) for r in e]) for e in root if e.get("id") == "MaterialLibrary"]

    def test_a_pack_with_names_leading_outside_is_refused_and_the_installed_library_stays(self):
        machine = self.machine()
        code, _, err = machine.run_installer()
        self.assertEqual(code, 0, err)
        library = machine.files_under([MATERIAL_LIBRARY.folder])
        entry = self.library_entry(machine)
        drive = sorted(os.listdir(machine.host("C:\\")))

        code, out, err = machine.run_installer(working_files=[ARGS.unsafe_material_library])
        self.assertEqual((code, out), (1, ""), err)
        self.assertIn("Using local file MaterialLibrary instead of downloading the file from web.\n"
                      "Failed to download additional installer data (MaterialLibrary): Damaged pack file: the name "
                      "'materials/../../../../../../../slip-dotdot.txt' is not a relative path inside a folder.\n"
                      "Component Material Library was not installed; its previous installation stays.\n", err)
        self.assertNotIn("Installing Material Library", err)
        self.assertTrue(err.endswith("Installation of some of the components has failed"), err)
        for slip in self.SLIPS:
            self.assertFalse(os.path.exists(machine.host(slip)), slip)
        self.assertEqual(sorted(os.listdir(machine.host("C:\\"))), drive)
        self.assertEqual(machine.files_under([MATERIAL_LIBRARY.folder]), library)
        self.assertEqual(self.library_entry(machine), entry)

    def test_the_redistributable_runs_from_a_new_folder_only_its_owner_can_write(self):
        """Wine keeps a folder's access list as Unix permissions: Administrators, which the elevated
        user is, become the owner's full access; no other Unix user may write there or, unlike in the
        temporary folder, even look in."""
        machine = self.machine()
        log, release = "C:\\endtoend\\redist-runs.txt", "C:\\endtoend\\redist-release"
        os.makedirs(machine.host("C:\\endtoend"), exist_ok=True)
        machine.env.update(TARVIO_FAKE_REDIST_LOG=log, TARVIO_FAKE_REDIST_HOLD=release)
        temporary = os.listdir(machine.host(USER_FOLDER + "\\Temp"))
        result = []
        run = threading.Thread(target=lambda: result.append(machine.run_installer()))
        run.start()
        try:
            deadline = time.monotonic() + TIMEOUT
            while not (os.path.isfile(machine.host(log)) and machine.read(log).endswith(b"\n")):
                self.assertLess(time.monotonic(), deadline, "the redistributable did not start")
                time.sleep(0.1)
            program = text(machine.read(log)).strip()
            folder, name = program.rsplit("\\", 1)
            self.assertEqual(name, "vc_redist.x64.exe")
            self.assertRegex(folder, "^" + re.escape(USER_FOLDER + "\\Temp\\Tarvio-") + "[0-9A-F-]{36}$")
            self.assertNotIn(folder.rsplit("\\", 1)[1], temporary)
            self.assertEqual(os.listdir(machine.host(folder)), [name])
            mode = os.stat(machine.host(folder)).st_mode
            self.assertEqual((oct(mode & 0o700), oct(mode & 0o027)), (oct(0o700), oct(0)), oct(mode))
        finally:
            machine.write(release)
            run.join(timeout=2 * TIMEOUT)
        code, _, err = result[0]
        self.assertEqual(code, 0, err)
        self.assertEqual(text(machine.read(log)), program + "\n/install /quiet /norestart\n")
        self.assertFalse(os.path.exists(machine.host(folder)), "the folder is removed after the run")


# ---- A full disk ------------------------------------------------------------------------------------

FILLER = "Filler.bin"  # takes the space that a full folder has left


class FullFolder:
    """A small tmpfs mounted over a folder of a machine, holding what the folder held and a filler that
    takes every byte left: a full disk for the installer. Mounted in the test's mount namespace, where
    the machine's wineserver and Wine processes see it: as root, or inside a namespace of the test's
    own (in_namespace_of_its_own)."""

    def __init__(self, machine, folder):
        self.host = machine.host(folder)
        held = tempfile.mkdtemp(dir=machine.root)
        shutil.copytree(self.host, held, dirs_exist_ok=True)
        pages = sum(-(-os.path.getsize(os.path.join(d, n)) // 4096) for d, _, names in os.walk(held) for n in names)
        subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={(pages + 64) * 4}k,mode=0755", "tmpfs", self.host],
                       check=True, timeout=TIMEOUT)
        shutil.copytree(held, self.host, dirs_exist_ok=True)
        shutil.rmtree(held)
        descriptor = os.open(os.path.join(self.host, FILLER), os.O_WRONLY | os.O_CREAT | os.O_EXCL)
        try:
            for size in (65536, 1):  # to the last byte
                while True:
                    try:
                        os.write(descriptor, b"f" * size)
                    except OSError as error:
                        if error.errno != errno.ENOSPC:
                            raise
                        break
        finally:
            os.close(descriptor)

    def close(self):
        # Lazily when busy: a Wine process may still hold a handle on the folder.
        if subprocess.run(["umount", self.host], stderr=subprocess.DEVNULL, timeout=TIMEOUT).returncode != 0:
            subprocess.run(["umount", "--lazy", self.host], check=True, timeout=TIMEOUT)


UNSHARE = ["unshare", "--user", "--map-root-user", "--mount"]


def in_namespace_of_its_own(test):
    """Mounting takes root: without it the test runs again, whole, as root of a user and mount namespace
    of its own, where its wineserver and Wine processes run too. Where that cannot be, it is skipped,
    except in CI, which runs as root."""
    @functools.wraps(test)
    def run(self):
        if os.geteuid() == 0:
            return test(self)
        if call([*UNSHARE, "true"], os.environ)[0] != 0:
            reason = "mounting a tmpfs takes root or a user namespace (unshare --user), and neither is at hand"
            if os.environ.get("CI") == "true":
                self.fail(reason + "; CI runs as root")
            self.skipTest(reason)
        arguments = [ARGS.installer, "--sleeper", ARGS.sleeper]
        arguments += [option for folder in ARGS.payload for option in ("--payload", folder)]
        arguments += [option for file in ARGS.working_file for option in ("--working-file", file)]
        arguments += ["--unsafe-material-library", ARGS.unsafe_material_library]
        code, out, err = call([*UNSHARE, sys.executable, os.path.abspath(__file__), *arguments,
                               f"{type(self).__name__}.{test.__name__}"], os.environ, timeout=600)
        self.assertEqual(code, 0, text(out) + text(err))
    return run


class FullDiskInstallation(CliInstallation):
    """A write that does not reach the disk fails its component, and nothing half-written stays."""

    def fill(self, machine, folder):
        full = FullFolder(machine, folder)
        self.addCleanup(full.close)  # before the machine is deleted

    @in_namespace_of_its_own
    def test_full_plugin_folder_fails_that_3ds_max_only(self):
        machine = self.machine()
        plugins = windows_join(MAX_2016.folder, "plugins")
        self.fill(machine, plugins)
        unwritten = ("plugins/Tarvio2016.dlr", "plugins/TarvioUtils2016.dlt")
        failed = dataclasses.replace(
            max_plugin(2016, MAX_2016.folder), result="failed", unwritten=unwritten,
            reported=tuple(f"Failed to install file {windows_join(MAX_2016.folder, name)}: Cannot open/read/write "
                           f"file '{database_path(windows_join(MAX_2016.folder, name))}'\n" for name in unwritten))
        components = [failed if c.id == failed.id else c for c in detected_components(MACHINE)]
        # Exit code 1 and the failure last; the other 3ds Max installed whole; nothing under the plug-ins'
        # names, and no partial file beside them; the entry flagged corrupted.
        self.install_and_check(MACHINE, components, machine)

    @in_namespace_of_its_own
    def test_full_product_folder_keeps_the_database_and_the_uninstaller(self):
        components = detected_components(MACHINE)
        machine, _, _, _ = self.install_and_check(MACHINE, components)
        self.fill(machine, PRODUCT_FOLDER)
        before = machine.files_under([PRODUCT_FOLDER])
        code, _, err = machine.run_installer()
        self.assertEqual(code, 1, err)
        self.assertTrue(err.endswith(f"Error: Cannot open/read/write file '{database_path(DATABASE)}.new'\n"), err)
        after = machine.files_under([PRODUCT_FOLDER])
        for path in (DATABASE, UNINSTALLER_FILE):
            self.assertEqual(after[path], before[path], path)
        # Nothing new (no side file), and every file whole: as it was or as its payload; only the files
        # that the run removes to install again may be missing.
        self.assertLessEqual(set(after), set(before))
        reinstalled = written_files([MATERIAL_LIBRARY])
        self.assertLessEqual(set(before) - set(after), set(reinstalled))
        payloads = written_files(components)
        for path, content in after.items():
            if content != before[path]:
                self.assertEqual(content, payload(payloads[path]), path)


# The other scenarios are not run again with these.
for _name in dir(CliInstallation):
    if _name.startswith("test_") and _name not in FullDiskInstallation.__dict__:
        setattr(FullDiskInstallation, _name, None)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("installer")
    parser.add_argument("--sleeper", required=True)
    parser.add_argument("--payload", action="append", required=True)
    parser.add_argument("--working-file", action="append", default=[])
    parser.add_argument("--unsafe-material-library", required=True)
    ARGS, rest = parser.parse_known_args()
    # The installer runs in its own working folder.
    ARGS.installer, ARGS.sleeper = os.path.abspath(ARGS.installer), os.path.abspath(ARGS.sleeper)
    ARGS.payload = [os.path.abspath(folder) for folder in ARGS.payload]
    ARGS.working_file = [os.path.abspath(file) for file in ARGS.working_file]
    ARGS.unsafe_material_library = os.path.abspath(ARGS.unsafe_material_library)
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
