#!/usr/bin/env bash
# Screenshots of every skinned control in each state at 96 and 144 DPI, into docs/:
#   scripts/gallery.sh                 builds the gallery, then shoots it
#   scripts/gallery.sh EXE [WINE...]   shoots a gallery already built, run by the given Wine command
set -euo pipefail
script_name=gallery
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [ $# -eq 0 ]; then
  configure_runnable_windows
  cmake --build "$root/$run_build" --target tarvio_controls_gallery
  set -- "$root/$run_build/tarvio_controls_gallery.exe" "$root/scripts/wine.sh"
fi
exe=$1
shift
wine=("$@")

start_display
# However the run ends: the gallery ended, the prefix's LogPixels as it was found, the display gone.
log_pixels_found=$(read_log_pixels "${wine[@]}")
gallery=
finish() {
  if [ -n "$gallery" ]; then
    kill "$gallery" 2>/dev/null || true
    wait "$gallery" 2>/dev/null || true
  fi
  set_log_pixels "$log_pixels_found" "${wine[@]}"
  stop_display
}
trap finish EXIT
mkdir -p "$root/docs"
for dpi in 96 144; do
  # A process reads the screen's pixels per inch when it starts.
  set_log_pixels "$dpi" "${wine[@]}"
  "${wine[@]}" "$exe" 8 </dev/null >/dev/null 2>&1 &
  gallery=$!
  # Wait for the window, then give it time to paint.
  for _ in $(seq 60); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Controls gallery"' && break
    sleep 0.5
  done
  sleep 2
  xwd -silent -name "Controls gallery" -out "$root/docs/controls-gallery-${dpi}dpi.xwd"
  convert "xwd:$root/docs/controls-gallery-${dpi}dpi.xwd" "$root/docs/controls-gallery-${dpi}dpi.png"
  rm "$root/docs/controls-gallery-${dpi}dpi.xwd"
  wait "$gallery" || true
  gallery=
  echo "[gallery] docs/controls-gallery-${dpi}dpi.png"
done
