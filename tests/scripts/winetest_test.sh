#!/usr/bin/env bash
# CTest's runner of the Windows test programs passes on their output and exit code, and returns when
# the program ends even though a process it started still holds that output. wine.sh is a stand-in
# that runs its argument as a shell command: nothing here touches a real prefix.
source "$(dirname "${BASH_SOURCE[0]}")/scripttest.sh"

cp "$root/scripts/wine-test.sh" "$work/"
printf '#!/usr/bin/env bash\nexec bash -c "$1"\n' >"$work/wine.sh"
chmod +x "$work/wine.sh"

# Read through a pipe, as CTest reads it.
output=$("$work/wine-test.sh" 'echo out; echo err >&2; exit 3' | cat; exit "${PIPESTATUS[0]}")
status=$?
[ "$status" -eq 3 ] || fail "exit code $status, not the program's 3"
[ "$output" = $'out\nerr' ] || fail "output '$output', not the program's two lines"

# The program leaves a process behind that holds its output for 30 s.
start=$SECONDS
output=$("$work/wine-test.sh" "sleep 30 & echo \$! >'$work/left'; echo started" | cat)
elapsed=$((SECONDS - start))
[ "$elapsed" -lt 10 ] || fail "the reader waited ${elapsed} s for the process left behind"
[ "$output" = started ] || fail "output '$output', not the program's line"
kill "$(cat "$work/left")" 2>/dev/null

# CTest kills a test at its time-out without a chance to clean up: nothing stays in the temporary folder.
mkdir "$work/tmp"
TMPDIR=$work/tmp "$work/wine-test.sh" "echo \$\$ >'$work/program'; exec sleep 30" >/dev/null &
runner=$!
for _ in $(seq 100); do [ -s "$work/program" ] && break; sleep 0.1; done
kill -9 "$runner"
wait "$runner" 2>/dev/null
kill "$(cat "$work/program")" 2>/dev/null
left=$(ls -A "$work/tmp")
[ -z "$left" ] || fail "a killed runner left '$left' in the temporary folder"

finish
