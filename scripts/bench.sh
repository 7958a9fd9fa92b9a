#!/usr/bin/env bash
# Builds the benchmarks and runs them, printing their figures: by default the Windows build under
# Wine (the 64-bit one where 32-bit programs cannot run); with --host a host build without
# sanitizers (build-bench/).
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
  step_start "build"
  configure_runnable_windows
  cmake --build "$run_build" -j"$jobs" --target packbench
  step_end
  run=("$root/scripts/wine.sh" "$root/$run_build/bench/packbench.exe")
fi

work=$root/build/bench-work
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
step_start "pack road"
(cd "$work" && "${run[@]}" .)
step_end
