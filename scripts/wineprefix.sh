#!/usr/bin/env bash
# Creates the project's Wine prefix at $1 (environment from scripts/wine.sh).
set -euo pipefail
prefix=$1
echo "[wine] creating prefix $prefix" >&2
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
wineboot -i >/dev/null 2>&1
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
wine reg add 'HKCU\Software\Classes' /f /reg:64 >/dev/null 2>&1
wineserver -w
