"""What Windows' loader asks of the system before a line of the program runs, read from the built
program's import table (the file only, so it runs where the program cannot).

Windows refuses to start a program whose import table names a function that a system library does
not export, so every function imported at load time must exist on Windows 7. The reference is what
the MinGW-w64 headers declare for Windows 7 (_WIN32_WINNT=0x0601), gathered from the compiler's
prototype listing of those headers: they declare each function only for the versions that have it.
The C runtime (msvcrt.dll) is left out: its headers do not say which Windows has what.

A library that is not one of the system's known libraries on every supported Windows, nor bound by
the manifest, is looked for first in the program's own folder: such a library may be imported only
through the delay-load table, which the program resolves from the system folder.

    program_imports_test.py --compiler CC --known-libraries FILE PROGRAM.exe...
    program_imports_test.py --compiler CC --known-libraries FILE --self-check
"""
import argparse
import functools
import os
import re
import subprocess
import sys
import tempfile

from peimage import Image

WINDOWS_7 = "0x0601"
# Libraries whose functions the headers cannot vouch for: the C runtime (see above).
UNCHECKED_FUNCTIONS = {"msvcrt.dll"}
# Bound by the manifest to the side-by-side Common Controls 6.0, never taken from the program's folder.
MANIFEST_BOUND = {"comctl32.dll"}
# The headers of the system libraries that the program and its libraries may import from, in groups
# that compile together (WinINet's and WinHTTP's declare the same types differently).
HEADER_GROUPS = [
    """winsock2.h windows.h ws2tcpip.h commctrl.h commdlg.h shellapi.h shlobj.h shlwapi.h wininet.h psapi.h
    uxtheme.h winspool.h oleacc.h ole2.h olectl.h oleauto.h objbase.h rpc.h imm.h mmsystem.h winver.h dbghelp.h
    tlhelp32.h winioctl.h usp10.h dwmapi.h iphlpapi.h setupapi.h wincrypt.h userenv.h sddl.h""".split(),
    "windows.h winhttp.h".split(),
]


@functools.lru_cache(maxsize=None)
def declared_functions(compiler, windows):
    """The names of the functions that the MinGW-w64 headers declare for a Windows version."""
    names = set()
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "headers.c")
        listing = os.path.join(folder, "headers.aux")
        for headers in HEADER_GROUPS:
            with open(source, "w") as file:
                file.write("".join(f"#include <{header}>\n" for header in headers))
            subprocess.run([compiler, "-c", "-o", os.devnull, f"-D_WIN32_WINNT={windows}", f"-DWINVER={windows}",
                            f"-DNTDDI_VERSION={windows}0000", "-DUNICODE", "-D_UNICODE", "-aux-info", listing,
                            source], check=True, timeout=300)
            with open(listing, errors="replace") as file:
                # One prototype a line, behind a comment that names its header: "... Name (args);".
                names.update(m.group(1) for m in re.finditer(r"(\w+) \((?:[^()]|\([^()]*\))*\);\s*$",
                                                             file.read(), re.M))
    return names


def read_known_libraries(path):
    with open(path) as file:
        return {line.split("#")[0].strip().lower() for line in file} - {""}


def problems(image, compiler, known):
    """What keeps the image from starting on Windows 7, or lets its folder supply a library."""
    windows7 = declared_functions(compiler, WINDOWS_7)
    found = []
    for library in sorted(image.imports):
        if library not in known and library not in MANIFEST_BOUND:
            found.append(f"{library} is imported at load time, but it is not a known library of every "
                         "supported Windows: a file of that name beside the program would be loaded instead")
    # A delay-loaded function that Windows 7 lacks fails only when it is called, but fails all the same.
    for table, when in ((image.imports, ""), (image.delayed, " (delay-loaded)")):
        for library, functions in sorted(table.items()):
            if library in UNCHECKED_FUNCTIONS:
                continue
            for function in functions:
                if function.startswith("#"):
                    found.append(f"{library} ordinal {function[1:]}{when}: imported by number, which the "
                                 "reference cannot check")
                elif function not in windows7:
                    why = ("declared only for later Windows" if function in declared_functions(compiler, "0x0A00")
                           else "not declared by the headers for any Windows")
                    found.append(f"{library} {function}{when}: Windows 7 does not provide it ({why})")
    return found


def check(path, compiler, known):
    image = Image(path)
    found = problems(image, compiler, known)
    imported = sum(len(functions) for functions in image.imports.values())
    print(f"{path}: {imported} functions from {len(image.imports)} libraries at load time, "
          f"{len(image.delayed)} libraries delay-loaded ({', '.join(sorted(image.delayed)) or 'none'})")
    for problem in found:
        print(f"  {problem}")
    return not found


# A program that imports what the check must refuse: a Windows 8 function, and a library from the
# program's folder; and one that it must accept.
SELF_CHECK_CASES = [
    ("windows8", "#define _WIN32_WINNT 0x0602\n#include <windows.h>\n"
     "int main(void) { return CreateFile2(0, 0, 0, 0, 0) != 0; }\n", [],
     ["kernel32.dll CreateFile2: Windows 7 does not provide it (declared only for later Windows)"]),
    ("planted", "#include <windows.h>\n#include <winver.h>\n"
     "int main(void) { return (int)GetFileVersionInfoSizeW(L\"x\", 0); }\n", ["-lversion"],
     ["version.dll is imported at load time"]),
    ("windows7", "#include <windows.h>\nint main(void) { return (int)GetTickCount64(); }\n", [], []),
]


def self_check(compiler, known):
    """The check itself, on small programs made for the purpose."""
    ok = True
    with tempfile.TemporaryDirectory() as folder:
        for name, source, libraries, expected in SELF_CHECK_CASES:
            path = os.path.join(folder, name)
            with open(path + ".c", "w") as file:
                file.write(source)
            subprocess.run([compiler, "-o", path + ".exe", path + ".c", *libraries], check=True, timeout=300)
            found = problems(Image(path + ".exe"), compiler, known)
            missing = [e for e in expected if not any(p.startswith(e) for p in found)]
            unexpected = found if not expected else []
            if missing or unexpected:
                ok = False
                print(f"self-check {name}: expected {expected}, found {found}")
    print("self-check: " + ("the check refuses and accepts as it should" if ok else "FAILED"))
    return ok


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--compiler", required=True, help="the MinGW-w64 C compiler of the program's architecture")
    parser.add_argument("--known-libraries", required=True, help="the known libraries of every supported Windows")
    parser.add_argument("--self-check", action="store_true", help="check the check on small programs")
    parser.add_argument("programs", nargs="*")
    args = parser.parse_args()
    known = read_known_libraries(args.known_libraries)
    results = [self_check(args.compiler, known)] if args.self_check else []
    results += [check(path, args.compiler, known) for path in args.programs]
    return 0 if results and all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
