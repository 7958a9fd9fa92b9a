#!/usr/bin/env bash
# Installs the build tools and builds, once per recipe, the static MinGW
# dependency prefix (recipe: scripts/deps/).
#   scripts/setup.sh                 set up and print the prefix at the end
#   scripts/setup.sh --print-prefix  the same, but stdout gets only the prefix path
#   --arch x86_64                    the 64-bit prefix (default i686, the product's)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CACHE=${TARVIO_CACHE:-$HOME/.cache/tarvio}
LOG_DIR=$CACHE/logs

APT_PACKAGES=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev zlib1g-dev librapidxml-dev
  googletest wine wine32:i386 wine64 xvfb xauth cmake python3 dpkg-dev ninja-build
  pkg-config make)
OS_SOURCES=/etc/apt/sources.list.d/debian.sources
SRC_SOURCES=/etc/apt/sources.list.d/tarvio-src.sources
# Fallback for machines with a one-line-style list only.
OS_LIST=/etc/apt/sources.list
# Screenshots of the graphical interface (scripts/gallery.sh): xwd, xwininfo, convert.
APT_PACKAGES+=(x11-apps x11-utils imagemagick)
SRC_LIST=/etc/apt/sources.list.d/tarvio-src.list

print_prefix=0
export TARVIO_DEPS_ARCH=i686
while (($#)); do
  case $1 in
    --print-prefix) print_prefix=1 ;;
    --arch)
      [[ ${2:-} == i686 || ${2:-} == x86_64 ]] || { echo "$0: --arch takes i686 or x86_64" >&2; exit 2; }
      TARVIO_DEPS_ARCH=$2
      shift ;;
    -h | --help) sed -n '2,6s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) echo "usage: $0 [--print-prefix] [--arch i686|x86_64]" >&2; exit 2 ;;
  esac
  shift
done
# Progress goes to stderr so that a caller can capture the path alone.
if ((print_prefix)); then exec 3>&1 1>&2; fi

SUDO=
if ((EUID != 0)); then SUDO=sudo; fi
APT=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 -q)

usec() { echo "${EPOCHREALTIME/[.,]/}"; }
say() { echo "[setup] $*"; }

# step NAME COMMAND...: runs COMMAND and prints how long it took.
step() {
  local name=$1 t
  shift
  t=$(usec)
  "$@"
  t=$(($(usec) - t))
  printf '[setup] %s ... %d.%d s\n' "$name" $((t / 1000000)) $((t / 100000 % 10))
}

# run_logged LOG COMMAND...: output goes to $LOG_DIR/LOG.log, shown only on failure.
# COMMAND must be a program, not a function (errexit does not apply inside it).
run_logged() {
  local log=$LOG_DIR/$1.log
  shift
  mkdir -p "$LOG_DIR"
  if ! "$@" >>"$log" 2>&1; then
    say "FAILED: $*"
    tail -n 40 "$log" | sed 's/^/  | /'
    say "full log: $log"
    return 1
  fi
}

# shellcheck source=scripts/deps/build-deps.sh
source "$ROOT/scripts/deps/build-deps.sh"

missing_packages() {
  local arch installed p q
  arch=$(dpkg --print-architecture)
  installed=$(dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture}\n' \
    "${APT_PACKAGES[@]%:*}" 2>/dev/null | awk '$1 == "ii" { print $2 }') || true
  for p in "${APT_PACKAGES[@]}"; do
    q=$p
    [[ $q == *:* ]] || q=$q:$arch
    grep -qxF -e "$q" -e "${q%:*}:all" <<<"$installed" || echo "$p"
  done
}

# Someone else's apt run holds the dpkg lock for minutes: wait rather than fail.
wait_for_apt() {
  local said=0
  while pgrep -x apt-get >/dev/null || pgrep -x dpkg >/dev/null; do
    ((said)) || say "waiting for another apt-get/dpkg to finish"
    said=1
    sleep 3
  done
}

install_packages() {
  local missing
  missing=$(missing_packages)
  [[ -n $missing ]] || return 0
  wait_for_apt
  missing=$(missing_packages)
  [[ -n $missing ]] || return 0
  say "installing:" "${missing//$'\n'/ }"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  run_logged apt $SUDO "${APT[@]}" update
  # shellcheck disable=SC2086
  run_logged apt $SUDO "${APT[@]}" install -y $missing
}

# Source entries mirror the machine's own binary entries, so no archive host is
# ever named here. deb822 stanzas that already list deb-src are left out.
derived_source_list() {
  if [[ -f $OS_SOURCES ]]; then
    awk 'BEGIN { RS = ""; FS = "\n" }
      {
        types = ""
        for (i = 1; i <= NF; i++) if ($i ~ /^Types:/) types = $i
        if (types !~ /[: ]deb( |$)/ || types ~ /deb-src/) next
        for (i = 1; i <= NF; i++) print ($i ~ /^Types:/ ? "Types: deb-src" : $i)
        print ""
      }' "$OS_SOURCES"
  elif [[ -f $OS_LIST ]] && ! grep -q '^deb-src[[:space:]]' "$OS_LIST"; then
    sed -n 's/^deb\([[:space:]]\)/deb-src\1/p' "$OS_LIST"
  fi
}

have_all_sources() {
  [[ $(deps_source_versions | awk '{ print $1 }' | sort -u | wc -l) -eq ${#DEPS_SOURCES[@]} ]]
}

ensure_source_list() {
  local file=$SRC_LIST want changed=0
  [[ -f $OS_SOURCES ]] && file=$SRC_SOURCES
  want=$(derived_source_list)
  if [[ -n $want && $(cat "$file" 2>/dev/null) != "$want" ]]; then
    printf '%s\n' "$want" | $SUDO tee "$file" >/dev/null
    changed=1
  fi
  if ((changed)) || ! have_all_sources; then
    wait_for_apt
    run_logged apt $SUDO "${APT[@]}" update
  fi
  have_all_sources || { say "apt knows no source package for some of: ${DEPS_SOURCES[*]}"; return 1; }
}

build_prefix() {
  local work old LOG_DIR=$CACHE/logs/deps
  mkdir -p "$CACHE"
  # Concurrent setups (a test run and a manual one) must not build the same prefix.
  exec 9>"$CACHE/.lock"
  flock 9
  if [[ ! -f $PREFIX/.complete ]]; then
    # Leftovers of interrupted builds; the lock says none is still running.
    rm -rf "$PREFIX" "$LOG_DIR" "$CACHE"/work-*
    for old in "$CACHE"/deps-*/; do
      if [[ -d $old && ! -f $old.complete ]]; then rm -rf "$old"; fi
    done
    mkdir -p "$PREFIX" "$LOG_DIR"
    work=$(mktemp -d "$CACHE/work-XXXXXX")
    deps_build "$PREFIX" "$work" "$CACHE/downloads"
    printf '%s\n' "$FINGERPRINT" >"$PREFIX/share/tarvio-deps/fingerprint.txt"
    rm -rf "$work"
    # Written last: a prefix without it is redone from scratch.
    touch "$PREFIX/.complete"
  fi
  exec 9>&-
}

recipe_hash() {
  FINGERPRINT=$(deps_fingerprint)
  HASH=$(printf '%s\n' "$FINGERPRINT" | sha256sum | cut -c1-16)
}

T0=$(usec)
step "apt packages" install_packages
step "apt source list" ensure_source_list
step "recipe hash" recipe_hash
PREFIX=$CACHE/deps-$HASH
if [[ -f $PREFIX/.complete ]]; then
  say "dependencies up to date (deps-$HASH)"
else
  say "building dependencies into $PREFIX (logs: $LOG_DIR/deps)"
  step "dependencies" build_prefix
fi
t=$(($(usec) - T0))
printf '[setup] total ... %d.%d s\n' $((t / 1000000)) $((t / 100000 % 10))
say "prefix: $PREFIX"
if ((print_prefix)); then echo "$PREFIX" >&3; fi
