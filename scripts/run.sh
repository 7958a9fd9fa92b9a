#!/usr/bin/env bash
# Builds the installer and runs it in the project's Wine prefix, by default its main job: the
# command-line installation of the built-in payload.
#   scripts/run.sh [ARGS...]      (default: --acceptEulaAndAutoInstall)
set -euo pipefail
script_name=run
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"

step_start "build"; configure_windows; cmake --build build -j"$jobs" --target TarvioInstaller; step_end

[ $# -gt 0 ] || set -- --acceptEulaAndAutoInstall
start_display
trap stop_display EXIT
mkdir -p build/run
cd build/run
status=0
"$root/scripts/wine.sh" "$root/build/TarvioInstaller.exe" "$@" || status=$?
echo "[run] exit code $status"
exit $status
