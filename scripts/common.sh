# Sourced by the project's scripts: paths and the two configured builds.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

step_start() { step_name=$1; step_t0=$(date +%s%N); echo "[$script_name] $step_name ..."; }
step_end() {
  local ms=$(( ($(date +%s%N) - step_t0) / 1000000 ))
  printf '[%s] %s: %d.%d s\n' "$script_name" "$step_name" $((ms / 1000)) $((ms % 1000 / 100))
}

# configure_windows_arch ARCH DIR: the cross build of ARCH (i686 or x86_64) in DIR.
configure_windows_arch() {
  local deps toolchain=mingw32
  [ "$1" = x86_64 ] && toolchain=mingw64
  deps=$("$root/scripts/setup.sh" --print-prefix --arch "$1")
  cmake -S "$root" -B "$root/$2" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$toolchain.cmake" -DTARVIO_DEPS_PREFIX="$deps" >/dev/null
}

# The product: 32-bit Windows, in build/.
configure_windows() { configure_windows_arch i686 build; }

# Some kernels refuse 32-bit programs, and then Wine's 32-bit loader cannot start. There the
# Windows tests and runs use a 64-bit build of the same sources, in build-win64/, under the
# 64-bit loader (scripts/wine.sh chooses it); the product stays the 32-bit build.
# TARVIO_FORCE_64BIT=1 takes that road on a machine that runs 32-bit programs too, to check it there.
runs_32bit_programs() { [ "${TARVIO_FORCE_64BIT:-}" != 1 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; }

# Configures the Windows build whose programs run on this machine and sets run_build to its folder.
configure_runnable_windows() {
  if runs_32bit_programs; then
    run_build=build
    configure_windows
  else
    local why="this machine cannot run 32-bit programs"
    [ "${TARVIO_FORCE_64BIT:-}" = 1 ] && why="TARVIO_FORCE_64BIT=1"
    echo "[$script_name] $why: using the 64-bit build (build-win64)"
    run_build=build-win64
    configure_windows_arch x86_64 "$run_build"
  fi
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
  local folder number
  # A folder of our own: a free name in the shared temporary folder could be taken before the
  # fifo is made under it.
  folder=$(mktemp -d) || return 1
  if ! mkfifo "$folder/displayfd"; then
    rm -rf "$folder"
    return 1
  fi
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$folder/displayfd" >/dev/null 2>&1 &
  xvfb_pid=$!
  # Empty when Xvfb ends before it has a display.
  number=$(head -n1 <"$folder/displayfd")
  rm -rf "$folder"
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

# LogPixels, the screen's pixels per inch that Wine shows the programs of a prefix, for the
# scripts that take pictures at several DPI; WINE... is the command that runs a program there.
log_pixels_key='HKCU\Control Panel\Desktop'

read_log_pixels() { # WINE...: the value as the registry holds it (0x60), empty when there is none
  { "$@" reg query "$log_pixels_key" /v LogPixels 2>/dev/null || true; } | tr -d '\r' |
    awk '$1 == "LogPixels" { print $3 }'
}

set_log_pixels() { # VALUE WINE...: a number (96, 0x60), or empty to remove the value
  local value=$1
  shift
  if [ -n "$value" ]; then
    "$@" reg add "$log_pixels_key" /v LogPixels /t REG_DWORD /d "$((value))" /f >/dev/null 2>&1
  else
    "$@" reg delete "$log_pixels_key" /v LogPixels /f >/dev/null 2>&1 || true
  fi
}
