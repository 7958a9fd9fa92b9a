#!/usr/bin/env bash
# Runs a Windows command in the project's own Wine prefix (64-bit, so the 32-bit program runs as on
# users' machines), creating the prefix on first use.
#   scripts/wine.sh PROGRAM [ARGS...]
#   scripts/wine.sh --prefix-only     create the prefix if needed and print its path
#   scripts/wine.sh --start-server    keep a wineserver running (much faster for many short runs)
#   scripts/wine.sh --stop-server     stop this prefix's wineserver (and only this one)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX="${TARVIO_WINEPREFIX:-${TARVIO_CACHE:-$HOME/.cache/tarvio}/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
# A caller's own overrides come after these.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
# Where 32-bit programs cannot run, the 32-bit loader cannot start either: only 64-bit programs run,
# through the 64-bit loader (scripts/common.sh explains, and TARVIO_FORCE_64BIT=1 chooses it anyway).
export TARVIO_WINE=wine
if [ "${TARVIO_FORCE_64BIT:-}" = 1 ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  export TARVIO_WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
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
    "$TARVIO_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
    if [ -n "${DISPLAY:-}" ]; then
      # A window that stays up keeps the desktop process alive until --stop-server.
      setsid "$TARVIO_WINE" notepad.exe </dev/null >/dev/null 2>&1 &
      sleep 1
    fi
    exit 0 ;;
  --stop-server) wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; exit 0 ;;
esac

exec "$TARVIO_WINE" "$@"
