#!/usr/bin/env bash
# Creates the project's Wine prefix at $1 (environment from scripts/wine.sh).
set -euo pipefail
prefix=$1
# The loader scripts/wine.sh chose (the 64-bit one where 32-bit programs cannot run).
wine=${TARVIO_WINE:-wine}
# Written into every prefix this script makes: only such a folder is ever deleted, so that a wrong
# TARVIO_WINEPREFIX (the home folder, say) is refused instead of wiped.
marker=.tarvio-prefix
if [ -e "$prefix" ] && [ ! -f "$prefix/$marker" ] && [ -n "$(ls -A "$prefix" 2>/dev/null || echo x)" ]; then
  echo "[wine] refusing to replace $prefix: it is not a Wine prefix made by this project (no $marker in it)." >&2
  echo "[wine] Set TARVIO_WINEPREFIX to another folder, or remove this one yourself." >&2
  exit 1
fi
echo "[wine] creating prefix $prefix" >&2
rm -rf "$prefix"
mkdir -p "$prefix"
touch "$prefix/$marker"
"$wine" wineboot.exe -i >/dev/null 2>&1
wineserver -w

# A new prefix links its shell folders into the host's home; a shortcut saved on the Desktop would
# land there. Make them real folders of the prefix.
for link in "$prefix"/drive_c/users/*/*; do
  if [ -L "$link" ]; then
    rm "$link"
    mkdir -p "$link"
  fi
done

# Real Windows always has this key; a fresh prefix does not.
# By its path: see scripts/wine.sh.
"$wine" "${TARVIO_WINE_SYSTEM:-C:\windows\system32}\reg.exe" add 'HKCU\Software\Classes' /f /reg:64 >/dev/null 2>&1
wineserver -w
