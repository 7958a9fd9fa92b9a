#!/usr/bin/env bash
# Builds a fuzz target with clang and libFuzzer (AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs it, starting from its committed seed corpus, for the given time. New inputs go to
# build-fuzz/corpus/TARGET; findings (crash-*, leak-*, timeout-*) to build-fuzz/findings/TARGET.
#   scripts/fuzz.sh TARGET SECONDS      (TARGET: packfilevfs, xmlreader, database, tga, radiancehdr,
#                                       tiff, exr)
# Needs clang and libclang-rt-14-dev (libFuzzer).
set -euo pipefail
script_name=fuzz
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"

[ $# -eq 2 ] || { echo "usage: $0 TARGET SECONDS" >&2; exit 2; }
target=$1 seconds=$2
command -v clang++ >/dev/null || { echo "[fuzz] clang++ missing: apt-get install clang libclang-rt-14-dev" >&2; exit 1; }

build=$root/build-fuzz
step_start "build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -DTARVIO_FUZZ=ON >/dev/null
cmake --build "$build" --target "${target}_fuzz"
step_end

corpus=$build/corpus/$target findings=$build/findings/$target
mkdir -p "$corpus" "$findings"
step_start "fuzz $target for $seconds s"
status=0
"$build/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" "$root/tests/fuzz/corpus/$target" || status=$?
step_end
exit $status
