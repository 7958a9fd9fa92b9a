#!/usr/bin/env bash
# Builds the benchmarks and runs them, printing their figures: by default the Windows build under
# Wine (the 64-bit one where 32-bit programs cannot run); with --host a host build without
# sanitizers (build-bench/). The benchmark's files go to a temporary folder of its own, removed
# afterwards; TMPDIR chooses the disk.
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
  build_name="host build (build-bench/, $(uname -m), native)"
  run=("$root/build-bench/bench/packbench")
else
  step_start "build"
  configure_runnable_windows
  cmake --build "$run_build" -j"$jobs" --target packbench
  step_end
  if [ "$run_build" = build ]; then
    build_name="product build (build/, 32-bit Windows, under $(/usr/lib/wine/wine --version))"
  else
    build_name="64-bit Windows build ($run_build/, under Wine), not the 32-bit product"
  fi
  run=("$root/scripts/wine.sh" "$root/$run_build/bench/packbench.exe")
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvio-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "[$script_name] build: $build_name"
echo "[$script_name] machine: $(nproc) logical processors; $(uptime)"
echo "[$script_name] work folder: $work ($(df -hT "$work" | awk 'NR == 2 { print $2 " on " $1 }'))"
step_start "pack road"
(cd "$work" && "${run[@]}" .)
step_end
echo "[$script_name] afterwards: $(uptime)"
