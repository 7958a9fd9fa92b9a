"""Every delay-load slot of a built program must send its function's first call to the delay-load
helper, read from the file only (so it runs where the program cannot).

A program calls a delay-loaded function through its slot. Until that first call the slot holds the
address of a small thunk of its own, which loads the slot's address and jumps on into the code that
calls the helper; the helper loads the library and writes the function's address into the slot. A slot
that holds anything else sends the first call elsewhere: one that holds 0, to address 0.

    delay_load_slots_test.py PROGRAM.exe... [--product PROGRAM.exe... --product-libraries LIBRARY,...]
    delay_load_slots_test.py --compiler CC --delay-library LIB --import-library LIB --self-check
"""
import argparse
import os
import struct
import subprocess
import sys
import tempfile

from peimage import Image


def signed32(data, offset):
    return struct.unpack_from("<i", data, offset)[0]


def thunk_problem(image, slot):
    """What keeps the slot at relative address SLOT from reaching the helper, or None."""
    value = image.pointer_at(image.offset(slot))
    if value == 0:
        return "its slot holds 0: the first call jumps to address 0"
    thunk = value - image.base
    if not image.is_code(thunk):
        return f"its slot holds {value:#x}, outside the code"
    start = image.offset(thunk)
    code = image.data[start:start + 12]
    if image.wide:
        # lea rax, [rip + displacement]; jmp rel32
        if len(code) < 12 or code[:3] != b"\x48\x8d\x05" or code[7] != 0xE9:
            return f"its thunk at {value:#x} is not lea rax, [slot]; jmp: {code.hex(' ')}"
        loaded = thunk + 7 + signed32(code, 3)
        tail = thunk + 12 + signed32(code, 8)
    else:
        # mov eax, slot; jmp rel32
        if len(code) < 10 or code[0] != 0xB8 or code[5] != 0xE9:
            return f"its thunk at {value:#x} is not mov eax, slot; jmp: {code[:10].hex(' ')}"
        loaded = struct.unpack_from("<I", code, 1)[0] - image.base
        tail = thunk + 10 + signed32(code, 6)
    if loaded != slot:
        return (f"its thunk at {value:#x} loads the address of another slot, {image.base + loaded:#x} "
                f"instead of {image.base + slot:#x}")
    if not image.is_code(tail):
        return f"its thunk at {value:#x} jumps to {image.base + tail:#x}, outside the code"
    return None


def problems(image):
    """Each unsound slot, named by its library and function, and the number of slots read."""
    found = []
    count = 0
    for descriptor in image.delay_descriptors:
        functions = list(image.names(descriptor.names, descriptor.base))
        for index, function in enumerate(functions):
            problem = thunk_problem(image, descriptor.slots + index * image.pointer_size)
            if problem:
                found.append(f"{descriptor.library} {function}: {problem}")
        count += len(functions)
        # The slots end where the names end: the helper finds a function's name by its slot's index.
        end = descriptor.slots + len(functions) * image.pointer_size
        if image.pointer_at(image.offset(end)) != 0:
            found.append(f"{descriptor.library}: its slots go on past the {len(functions)} names of its name table")
    return found, count


def missing(image, required):
    """The libraries of REQUIRED that the image has no delay-load descriptor for: a product whose
    descriptors were not found at all would otherwise pass with no slot read."""
    libraries = {descriptor.library for descriptor in image.delay_descriptors}
    return [f"{library}: no delay-load descriptor, though the program delay-loads it"
            for library in required if library not in libraries]


def check(path, required=()):
    image = Image(path)
    found, count = problems(image)
    found += missing(image, required)
    libraries = sorted({descriptor.library for descriptor in image.delay_descriptors})
    print(f"{path}: {count} delay-load slots of {len(libraries)} libraries ({', '.join(libraries) or 'none'}), "
          f"{len(found)} unsound")
    for problem in found:
        print(f"  {problem}")
    return not found


# The mechanism itself: a function that the headers declare for import (DECLSPEC_IMPORT), which the
# compiler calls through its slot alone, from a library that the project delay-loads.
SELF_CHECK_SOURCE = """#include <windows.h>
#include <uxtheme.h>
int main(void) { return IsThemeActive() ? 0 : 1; }
"""
SELF_CHECK_FUNCTION = "uxtheme.dll IsThemeActive"


def self_check_slot(image):
    descriptor = next(d for d in image.delay_descriptors if d.library == "uxtheme.dll")
    return descriptor.slots


def zero_slot(image):
    data = bytearray(image.data)
    start = image.offset(self_check_slot(image))
    data[start:start + image.pointer_size] = bytes(image.pointer_size)
    return data


def thunk_loads_next_slot(image):
    data = bytearray(image.data)
    thunk = image.offset(image.pointer_at(image.offset(self_check_slot(image))) - image.base)
    if image.wide:
        data[thunk + 3:thunk + 7] = struct.pack("<i", signed32(data, thunk + 3) + image.pointer_size)
    else:
        slot = struct.unpack_from("<I", data, thunk + 1)[0]
        data[thunk + 1:thunk + 5] = struct.pack("<I", slot + image.pointer_size)
    return data


# What the reader must say of the function when the program's bytes are changed so.
SELF_CHECK_DAMAGE = [
    ("slot left holding 0", zero_slot, "its slot holds 0"),
    ("thunk of another slot", thunk_loads_next_slot, "loads the address of another slot"),
]


def self_check(compiler, libraries):
    """A program linked with the project's delay-import library, read as built and with its bytes damaged."""
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "delayed.c")
        program = os.path.join(folder, "delayed.exe")
        with open(source, "w") as file:
            file.write(SELF_CHECK_SOURCE)
        subprocess.run([compiler, "-O2", "-static", "-DUNICODE", "-D_UNICODE", "-D_WIN32_WINNT=0x0601",
                        "-o", program, source, *libraries], check=True, timeout=300)
        image = Image(program)
    if image.delayed.get("uxtheme.dll") != ["IsThemeActive"]:
        print(f"self-check: the program delay-loads {image.delayed}, not uxtheme.dll's IsThemeActive alone")
        return False
    found, _ = problems(image)
    if found:
        print(f"self-check: FAILED, a program linked as the project links: {found}")
        return False
    ok = missing(image, ["uxtheme.dll"]) == [] and missing(image, ["uxtheme.dll", "version.dll"]) == [
        "version.dll: no delay-load descriptor, though the program delay-loads it"]
    if not ok:
        print("self-check: a library without a descriptor was not told from one with")
    for name, damage, expected in SELF_CHECK_DAMAGE:
        found, _ = problems(Image(data=bytes(damage(image))))
        if not any(problem.startswith(f"{SELF_CHECK_FUNCTION}: ") and expected in problem for problem in found):
            ok = False
            print(f"self-check {name}: expected '{SELF_CHECK_FUNCTION}: ...{expected}...', found {found}")
    print("self-check: " + ("a delay-loaded function's slot reaches the helper, and the check sees damage"
                            if ok else "FAILED"))
    return ok


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--compiler", help="the MinGW-w64 C compiler of the programs' architecture")
    parser.add_argument("--delay-library", help="the project's delay-import library of uxtheme.dll")
    parser.add_argument("--import-library", help="the import library that follows it on the link line")
    parser.add_argument("--self-check", action="store_true", help="check a small program linked the project's way")
    parser.add_argument("--product", action="append", default=[],
                        help="one of the PROGRAMs that must delay-load each of --product-libraries")
    parser.add_argument("--product-libraries", type=lambda text: text.split(","), default=[],
                        metavar="LIBRARY,...")
    parser.add_argument("programs", nargs="*")
    args = parser.parse_args()
    results = []
    if args.self_check:
        if not (args.compiler and args.delay_library and args.import_library):
            parser.error("--self-check needs --compiler, --delay-library and --import-library")
        results.append(self_check(args.compiler, [args.delay_library, args.import_library]))
    if args.product and not args.product_libraries:
        parser.error("--product needs --product-libraries")
    products = {os.path.realpath(path) for path in args.product}
    if not products <= {os.path.realpath(path) for path in args.programs}:
        parser.error("every --product must be one of the PROGRAMs")
    results += [check(path, args.product_libraries if os.path.realpath(path) in products else ())
                for path in args.programs]
    return 0 if results and all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
