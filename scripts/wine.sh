#!/usr/bin/env bash
# Runs a Windows command in the project's own Wine prefix (64-bit, so the 32-bit program runs as on
# users' machines), creating the prefix on first use.
#   scripts/wine.sh PROGRAM [ARGS...]
#   scripts/wine.sh --prefix-only     create the prefix if needed and print its path
#   scripts/wine.sh --start-server    keep a wineserver running (much faster for many short runs)
#   scripts/wine.sh --stop-server     stop this prefix's wineserver (and only this one)
set -euo pipefail

# Wine's 64-bit loader is a fixed-address program, and Linux (6.x) now puts such a program's heap
# anywhere in the gigabyte above it: now and then (twice in 23,200 calls of a stress run) the heap
# took the address that Wine keeps for the shared user data (0x7ffe0000), and the process ended
# with exit code 1 before any Windows code ran ("failed to map the shared user data: c0000018", on Wine's error channel,
# which is off here), or, started by another Wine process, made that one fail its start ("Internal
# error"). Without address randomization the heap follows the loader: every Wine process started
# from here (the prefix's server and services too) runs so. Where the personality cannot be set,
# Wine runs as it is.
if (((0x$(cat /proc/$$/personality 2>/dev/null || echo 40000) & 0x40000) == 0)) && setarch -R true 2>/dev/null; then
  exec setarch -R "${BASH_SOURCE[0]}" "$@"
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX="${TARVIO_WINEPREFIX:-${TARVIO_CACHE:-$HOME/.cache/tarvio}/wineprefix}"
export WINEARCH=win64
# Wine's diagnostics are off unless TARVIO_WINEDEBUG asks for some (scripts/wine-stress.py --winedebug).
export WINEDEBUG=${TARVIO_WINEDEBUG:--all}
# A caller's own overrides come after these.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
# Where 32-bit programs cannot run, the 32-bit loader cannot start either: only 64-bit programs run,
# through the 64-bit loader (scripts/common.sh explains, and TARVIO_FORCE_64BIT=1 chooses it anyway).
# Each loader has its own folder of Wine's programs. TARVIO_WINE_LOADERS names the loaders' folder
# (the tests of this script give stand-ins).
loaders=${TARVIO_WINE_LOADERS:-/usr/lib/wine}
export TARVIO_WINE=$loaders/wine TARVIO_WINE_SYSTEM='C:\windows\syswow64'
if [ "${TARVIO_FORCE_64BIT:-}" = 1 ] || ! "$loaders/wine" --version >/dev/null 2>&1; then
  export TARVIO_WINE=$loaders/wine64 WINELOADER=$loaders/wine64 TARVIO_WINE_SYSTEM='C:\windows\system32'
fi
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ftp_proxy FTP_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY

ready="$WINEPREFIX/.tarvio-ready"
if [ ! -f "$ready" ]; then
  "$here/wineprefix.sh" "$WINEPREFIX" >&2
  touch "$ready"
fi

case "${1:-}" in
  --prefix-only) echo "$WINEPREFIX"; exit 0 ;;
  --start-server)
    wineserver -p 2>/dev/null || true
    # Start the prefix's background processes (services, and the desktop that the first window
    # needs) detached from our output: started later by a test, they would hold its pipes open.
    "$TARVIO_WINE" "$TARVIO_WINE_SYSTEM\\cmd.exe" /c exit </dev/null >/dev/null 2>&1 || true
    if [ -n "${DISPLAY:-}" ]; then
      # A window that stays up keeps the desktop process alive until --stop-server.
      setsid "$TARVIO_WINE" "$TARVIO_WINE_SYSTEM\\notepad.exe" </dev/null >/dev/null 2>&1 &
      sleep 1
    fi
    exit 0 ;;
  --stop-server) wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; exit 0 ;;
esac

# Wine's own programs (reg, cmd, wmic), named without a folder.
#
# Wine starts a program named so, or one built for the other loader, through start.exe: one more
# process start. Named by their path in the loader's own system folder, the loader starts them
# itself, as start.exe did (the 32-bit loader takes syswow64's). Their messages come in English
# whatever the machine's language: the callers read them.
name=${1:-}
[[ $name == *.* ]] || name=$name.exe
if [[ $# -eq 0 || $1 == */* || $1 == *\\* || ! -f $WINEPREFIX/drive_c/windows/${TARVIO_WINE_SYSTEM##*\\}/$name ]]; then
  exec "$TARVIO_WINE" "$@"
fi
export LC_ALL=C.UTF-8
set -- "$TARVIO_WINE_SYSTEM\\$name" "${@:2}"
[ "$name" = reg.exe ] || exec "$TARVIO_WINE" "$@"

# reg is what the tests read the registry and add their fixtures with. Besides the address clash
# above (which ended it with exit code 1 and not a word), Wine can lose a process before its code
# runs in other ways: the server ends a client that it cannot serve with exit code 1. reg prints a
# message whenever it fails, so exit code 1 without a word is Wine's failure, not reg's: such a
# start is made again, twice at most, and said so on the error stream. reg's own failures are
# passed on as they are.
#
# The output is held until the program has ended, in files without a name (nothing stays behind if
# this script is killed).
out=$(mktemp "${TMPDIR:-/tmp}/tarvio-wine-out.XXXXXX")
err=$(mktemp "${TMPDIR:-/tmp}/tarvio-wine-err.XXXXXX")
exec 3<>"$out" 4<>"$err"
rm -f "$out" "$err"
attempts=3
for attempt in $(seq "$attempts"); do
  status=0
  "$TARVIO_WINE" "$@" >/dev/fd/3 2>/dev/fd/4 3>&- 4>&- || status=$?
  # Wine's own diagnostics (TARVIO_WINEDEBUG) are not the program's words.
  if [[ $status -ne 1 || -s /dev/fd/3 ]] || grep -qvE '^([0-9a-f]{4}:)?(err|warn|fixme|trace):' /dev/fd/4; then
    break
  fi
  [ "$attempt" -lt "$attempts" ] || break
  echo "[wine.sh] $name ended with exit code 1 before it printed a word: Wine lost it before it ran." \
    "Starting it again ($((attempt + 1)) of $attempts)." >&2
done
cat /dev/fd/3
cat /dev/fd/4 >&2
exit "$status"
