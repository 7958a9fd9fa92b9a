#!/usr/bin/env bash
# How CTest runs a Windows test program (the cross build's emulator): through scripts/wine.sh, with
# the program's output going to a file that is copied to CTest as it grows.
#
# Under Wine a process that a test starts inherits the test's Unix descriptors. One that outlives
# the test (a console host left behind by a console program the test started) held CTest's pipe
# open, and CTest waited for it until the test's time-out; now it holds only the file.
set -u
output=$(mktemp "${TMPDIR:-/tmp}/tarvio-test-output.XXXXXX") || exit 1
trap 'rm -f "$output"' EXIT
"$(dirname "${BASH_SOURCE[0]}")/wine.sh" "$@" >"$output" 2>&1 </dev/null &
program=$!
tail -n +1 -s 0.1 -f --pid="$program" "$output"
wait "$program"
status=$?
exit "$status"
