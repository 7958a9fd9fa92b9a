#!/usr/bin/env bash
# Builds the benchmarks and runs them, printing their figures: by default the Windows build under
# Wine; with --host a host build without sanitizers (build-bench/), for machines that cannot run
# the 32-bit program.
#   scripts/bench.sh [--host]
set -euo pipefail
script_name=bench
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"

if [ "${1:-}" = "--host" ]; then
  step_start "host build"
  cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIO_HOST_SANITIZERS=OFF >/dev/null
  cmake --build build-bench -j"$jobs" --target packbench
  step_end
  run=("$root/build-bench/bench/packbench")
else
  step_start "build"; configure_windows; cmake --build build -j"$jobs" --target packbench; step_end
  run=("$root/scripts/wine.sh" "$root/build/bench/packbench.exe")
fi

work=$root/build/bench-work
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
step_start "pack road"
(cd "$work" && "${run[@]}" .)
step_end
