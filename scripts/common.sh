# Sourced by the project's scripts: paths and the two configured builds.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

step_start() { step_name=$1; step_t0=$(date +%s%N); echo "[$script_name] $step_name ..."; }
step_end() {
  local ms=$(( ($(date +%s%N) - step_t0) / 1000000 ))
  printf '[%s] %s: %d.%d s\n' "$script_name" "$step_name" $((ms / 1000)) $((ms % 1000 / 100))
}

configure_windows() {
  local deps
  deps=$("$root/scripts/setup.sh" --print-prefix)
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" -DTARVIO_DEPS_PREFIX="$deps" >/dev/null
}

configure_host() {
  cmake -S "$root" -B "$root/build-host" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
}

# Starts a private X server for the run (windows need one under Wine) and exports DISPLAY.
start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  if ! command -v Xvfb >/dev/null; then
    echo "start_display: Xvfb is not installed (scripts/setup.sh installs it)" >&2
    return 1
  fi
  local fifo number
  fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  # Empty when Xvfb ends before it has a display.
  number=$(head -n1 <"$fifo")
  rm -f "$fifo"
  if [ -z "$number" ]; then
    echo "start_display: Xvfb gave no display number (it may have failed to start)" >&2
    stop_display
    return 1
  fi
  export DISPLAY=":$number"
}

stop_display() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}
