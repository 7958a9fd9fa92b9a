#!/usr/bin/env bash
# How CTest runs a Windows test program (the cross build's emulator): through scripts/wine.sh, with
# the program's output going to a file that is copied to CTest as it grows.
#
# Under Wine a process that a test starts inherits the test's Unix descriptors. One that outlives
# the test (a console host left behind by a console program the test started) held CTest's pipe
# open, and CTest waited for it until the test's time-out; now it holds only the file.
#
# The file has no name once it is open: CTest kills a test at its time-out without letting it clean
# up, and a named file would stay behind in the temporary folder.
set -u
output=$(mktemp "${TMPDIR:-/tmp}/tarvio-test-output.XXXXXX") || exit 1
exec 3>"$output" 4<"$output"
rm -f "$output"
"$(dirname "${BASH_SOURCE[0]}")/wine.sh" "$@" >&3 2>&1 </dev/null 3>&- 4<&- &
program=$!
exec 3>&-
tail -n +1 -s 0.1 -f --pid="$program" /dev/fd/4
wait "$program"
