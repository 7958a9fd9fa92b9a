#!/usr/bin/env bash
# Builds the benchmarks of the Windows build and runs them under Wine, printing their figures.
#   scripts/bench.sh
set -euo pipefail
script_name=bench
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"

step_start "build"; configure_windows; cmake --build build -j"$jobs" --target packbench; step_end

work=$root/build/bench-work
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
step_start "pack road"
(cd "$work" && "$root/scripts/wine.sh" "$root/build/bench/packbench.exe" .)
step_end
