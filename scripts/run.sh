#!/usr/bin/env bash
# Builds the installer and runs it in the project's Wine prefix, by default its main job: the
# command-line installation of the built-in payload.
#   scripts/run.sh [ARGS...]      (default: --acceptEulaAndAutoInstall)
set -euo pipefail
script_name=run
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"

step_start "build"
configure_runnable_windows
cmake --build "$run_build" -j"$jobs" --target TarvioInstaller tarvio_payload
step_end

[ $# -gt 0 ] || set -- --acceptEulaAndAutoInstall
start_display
# The prefix's desktop lives on this run's display: end both together.
trap '"$root/scripts/wine.sh" --stop-server; stop_display' EXIT

# The prefix has no 3ds Max: register a demo 3ds Max 2019 folder, once, so the plug-in has a home.
max_key='HKLM\SOFTWARE\Autodesk\3dsMax\21.0'
if ! "$root/scripts/wine.sh" reg query "$max_key" /v Installdir /reg:64 >/dev/null 2>&1; then
  prefix=$("$root/scripts/wine.sh" --prefix-only)
  mkdir -p "$prefix/drive_c/Autodesk/3ds Max 2019/"{plugins,scripts/Startup,UI_ln/Icons,UI_ln/IconsDark}
  "$root/scripts/wine.sh" reg add "$max_key" /v Installdir /d 'C:\Autodesk\3ds Max 2019' /f /reg:64 >/dev/null 2>&1
fi
# The working folder holds the material library's data: a local file takes the place of the
# download from the installer data server.
mkdir -p "$run_build/run"
cp "$run_build/payload/MaterialLibrary" "$run_build/run/MaterialLibrary"
cd "$run_build/run"
status=0
"$root/scripts/wine.sh" "$root/$run_build/TarvioInstaller.exe" "$@" || status=$?
echo
echo "[run] exit code $status"
exit $status
