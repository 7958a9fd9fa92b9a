#!/usr/bin/env bash
# Builds everything and runs every test: the host build of the portable core under the sanitizers,
# then the Windows build under Wine. Exits non-zero on any failure.
set -euo pipefail
script_name=test
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"

step_start "setup"; "$root/scripts/setup.sh" >/dev/null; step_end

step_start "host build"; configure_host; cmake --build build-host -j"$jobs"; step_end
step_start "host tests"
(cd build-host && ctest --output-on-failure -j"$jobs")
step_end

step_start "windows build"; configure_windows; cmake --build build -j"$jobs"; step_end
configure_runnable_windows
if [ "$run_build" != build ]; then
  step_start "windows build ($run_build)"; cmake --build "$run_build" -j"$jobs"; step_end
  # The product's own tests that read its files without running it.
  step_start "product files"
  (cd build && ctest --output-on-failure -L reads-files-only)
  step_end
fi
step_start "windows tests"
start_display
trap 'scripts/wine.sh --stop-server; stop_display' EXIT
# A server left from an earlier run may hold a desktop on a display that is gone.
scripts/wine.sh --stop-server
scripts/wine.sh --start-server
(cd "$run_build" && ctest --output-on-failure -j"$jobs")
step_end
