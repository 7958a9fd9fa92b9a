#!/usr/bin/env python3
"""Makes many short Wine calls the way the tests make them and counts the failures by kind.

Each worker takes a fresh copy of the end-to-end tests' clean prefix with a display and a wineserver of
its own (as every end-to-end scenario does) and makes its calls there through scripts/wine.sh, taking a
new copy after every --per-copy calls (a scenario's first calls come right after its server started),
while the other workers do the same and, with --burners, processes that keep every core busy load the
machine as a parallel CTest run does. A failed call is classified by what it printed; with
--winedebug, Wine's diagnostics for the calls are kept, and name a failure that printed nothing else.

    scripts/wine-stress.py [--copies N] [--calls N] [--per-copy N] [--burners N] [--winedebug CHANNELS]
                           [--wine SCRIPT] [--keep DIR] [-- PROGRAM ARGS...]

PROGRAM ARGS default to a "reg add" of a value in the 64-bit view, as the tests add their fixtures.
The exit code is 1 when any call failed.
"""
import argparse
import collections
import multiprocessing
import os
import re
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "endtoend"))
import cli_installation_test as cli  # noqa: E402

DEFAULT_CALL = ["reg", "add", "HKLM\\Software\\TarvioStress", "/v", "Call", "/t", "REG_SZ", "/d", "value", "/f",
                "/reg:64"]
LAUNCHER_TEXT = b"ShellExecuteEx failed"
RETRY_TEXT = b"[wine.sh] "
# A line of Wine's diagnostics, with the thread's id in front once the process has one.
DIAGNOSTIC = re.compile(r"^([0-9a-f]{4}:)?(trace|fixme|err|warn):")
ERROR = re.compile(r"^([0-9a-f]{4}:)?err:")


def kind_of(code, out, err):
    """The kind of one call's result: "ok", "retried, then ok" (wine.sh started it again), or a failure
    named by the program's first line, or else by Wine's first diagnostic (with --winedebug)."""
    both = out + err
    if code == 0:
        return "retried, then ok" if RETRY_TEXT in both else "ok"
    if LAUNCHER_TEXT in both:
        return f"exit {code}: the launcher's ShellExecuteEx failed"
    lines = [line.strip() for line in both.decode(errors="replace").splitlines() if line.strip()]
    printed = [line for line in lines if not DIAGNOSTIC.match(line)]
    if printed:
        return f"exit {code}: {printed[0][:100]}"
    said = [line for line in lines if ERROR.match(line)]
    if said or lines:
        return f"exit {code}, nothing printed; Wine said: {(said or lines)[0][:100]}"
    return f"exit {code}, nothing printed"


def burn(stop):
    while not stop.is_set():
        sum(i * i for i in range(10000))


def worker(template, index, args, results, lock):
    per_copy = args.per_copy or args.calls
    for first in range(0, args.calls, per_copy):
        machine = cli.Machine(template)
        try:
            machine.open()
            calls(machine, index, range(first, min(first + per_copy, args.calls)), args, results, lock)
        finally:
            machine.close()


def calls(machine, index, numbers, args, results, lock):
    env = dict(machine.env)
    if args.winedebug:
        env["TARVIO_WINEDEBUG"] = args.winedebug
    for call in numbers:
        started = time.monotonic()
        try:
            code, out, err = machine.wine(args.program, env)
            kind = kind_of(code, out, err)
        except Exception as error:  # a time-out, or Wine that could not be run at all
            code, out, err, kind = None, b"", str(error).encode(), f"{type(error).__name__}"
        with lock:
            results.append((kind, time.monotonic() - started))
            if kind not in ("ok", "retried, then ok") and args.keep:
                name = os.path.join(args.keep, f"copy{index}-call{call}.txt")
                with open(name, "wb") as file:
                    file.write(b"exit %s\n--- stdout\n%s\n--- stderr\n%s" % (str(code).encode(), out, err))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--copies", type=int, default=4, help="prefix copies working at once (default 4)")
    parser.add_argument("--calls", type=int, default=60, help="calls in each copy (default 60)")
    parser.add_argument("--per-copy", type=int, default=0,
                        help="calls in one prefix copy before the worker takes a new one (default: all)")
    parser.add_argument("--burners", type=int, default=os.cpu_count(),
                        help="processes that keep a core busy each (default: one per core)")
    parser.add_argument("--winedebug", help="WINEDEBUG for the calls, such as +loaddll,+process")
    parser.add_argument("--wine", help="the script that runs a Windows program (default: scripts/wine.sh), to "
                        "measure another version of it")
    parser.add_argument("--keep", help="a folder for the output of every failed call")
    parser.add_argument("program", nargs="*", default=DEFAULT_CALL)
    args = parser.parse_args()
    if args.keep:
        os.makedirs(args.keep, exist_ok=True)
    if args.wine:
        cli.WINE = os.path.abspath(args.wine)

    template = cli.clean_template()
    stop = multiprocessing.Event()
    burners = [multiprocessing.Process(target=burn, args=(stop,), daemon=True) for _ in range(args.burners)]
    for process in burners:
        process.start()
    results, lock = [], threading.Lock()
    started = time.monotonic()
    try:
        workers = [threading.Thread(target=worker, args=(template, i, args, results, lock))
                   for i in range(args.copies)]
        for thread in workers:
            thread.start()
        for thread in workers:
            thread.join()
    finally:
        stop.set()
        for process in burners:
            process.join()

    kinds = collections.Counter(kind for kind, _ in results)
    durations = sorted(duration for _, duration in results)
    print(f"{len(results)} calls of {' '.join(args.program)}")
    print(f"in {args.copies} prefix copies at once, {args.burners} busy processes beside them, "
          f"{time.monotonic() - started:.0f} s")
    if durations:
        print(f"a call took {durations[len(durations) // 2]:.2f} s (median), {durations[-1]:.2f} s at most")
    for kind, count in kinds.most_common():
        print(f"{count:6d}  {kind}")
    failed = sum(count for kind, count in kinds.items() if kind not in ("ok", "retried, then ok"))
    print(f"{len(results) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
