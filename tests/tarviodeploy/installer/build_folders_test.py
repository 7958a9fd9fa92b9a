"""The shipped program names no folder of the machine that built it: no path under the source folder,
the build folder or the dependency cache (whose work folder the libraries were compiled in) is among
its strings, narrow or wide. Such a path would put a developer's home folder into every installer and
make the program's bytes depend on where it was built.

    build_folders_test.py --folder DIR [--folder DIR ...] PROGRAM.exe
"""
import argparse
import re
import sys

# Runs of printable characters, as the strings tool finds them.
NARROW = re.compile(rb"[\x20-\x7e]{4,}")
WIDE = re.compile(rb"(?:[\x20-\x7e]\x00){4,}")


def strings(data):
    yield from (m.group().decode("ascii") for m in NARROW.finditer(data))
    yield from (m.group().decode("utf-16-le") for m in WIDE.finditer(data))


def naming(data, folders):
    """The strings of data that name a file or folder under one of the folders."""
    needles = [folder.rstrip("/") + "/" for folder in folders]
    return [s for s in strings(data) if any(needle in s for needle in needles)]


def self_check():
    """The check finds a planted path in both encodings, and not a folder whose name merely starts
    alike."""
    data = (b"\0x\0/home/dev/src/lib/a.cpp\0\0\0" + "/home/dev/src/b.h".encode("utf-16-le") +
            b"\0/home/dev/src-other/c.cpp\0/home/dev/srcfile\0")
    found = naming(data, ["/home/dev/src"])
    return found == ["/home/dev/src/lib/a.cpp", "/home/dev/src/b.h"], found


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--folder", action="append", required=True, help="a folder of the building machine")
    parser.add_argument("program")
    args = parser.parse_args()
    checked, found = self_check()
    if not checked:
        print(f"self-check: the planted paths were not found exactly: {found}")
        return 1
    with open(args.program, "rb") as file:
        named = naming(file.read(), args.folder)
    if named:
        print(f"{args.program} names the building machine's folders in {len(named)} strings "
              f"({len(set(named))} different), for example:")
        for name in sorted(set(named))[:20]:
            print("  " + name)
        return 1
    print(f"{args.program} names none of: {', '.join(args.folder)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
