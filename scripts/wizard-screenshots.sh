#!/usr/bin/env bash
# Screenshots of the wizard's five pages and of the prerequisites dialog at 96, 120 and 144 DPI,
# into docs/wizard-<page>-<dpi>dpi.png and docs/prerequisites-dialog-<dpi>dpi.png: the real
# program, taken through a Custom installation of the demo payload under Xvfb with mouse clicks, as
# a person would, with a program named 3dsmax.exe running when the installation starts (the dialog
# asks about it; the program ends, and Retry goes on).
#   scripts/wizard-screenshots.sh [DPI...]     (default: 96 120 144)
# It installs into the Wine prefix that TARVIO_WINEPREFIX names: give it one for the purpose.
set -euo pipefail
script_name=wizard-screenshots
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"

title="Tarvio Renderer for 3ds Max 2 Installer"
dialog_title="Tarvio (Un)installer warning"
wine=("$root/scripts/wine.sh")

configure_runnable_windows
cmake --build "$run_build" -j"$jobs" --target TarvioInstaller tarvio_payload endtoend_windowprobe \
  tarviodeploy_test_sleeper
probe_exe="$root/$run_build/tests/endtoend/endtoend_windowprobe.exe"
sleeper_exe="$root/$run_build/tests/tarviodeploy/shared/tarviodeploy_test_sleeper.exe"

start_display
# However the run ends: what it started in Wine ended, the prefix's LogPixels as it was found, the
# server and the display stopped.
log_pixels_found=$(read_log_pixels "${wine[@]}")
installer= running_max=
finish() {
  local pid
  for pid in $installer $running_max; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  set_log_pixels "$log_pixels_found" "${wine[@]}"
  "${wine[@]}" --stop-server
  stop_display
}
trap finish EXIT

# The window with that title and its visible controls, one "class|x|y|width|height|text" line each.
probe() { "${wine[@]}" "$probe_exe" "${1:-$title}" 2>/dev/null | tr -d '\r'; }

wait_for() { # TEXT [TITLE]: until a control of the window shows it
  for _ in $(seq 120); do
    probe "${2:-}" | grep -qF "$1" && { sleep 1; return 0; }
    sleep 0.5
  done
  echo "[$script_name] '$1' not shown" >&2
  return 1
}

click_at() { xdotool mousemove "$1" "$2" click 1; sleep 1; }

click_middle() { # "X Y WIDTH HEIGHT"
  set -- $1
  click_at $(($1 + $3 / 2)) $(($2 + $4 / 2))
}

click_text() { # TEXT: the middle of the control that shows it
  local row
  row=$(probe | awk -F'|' -v text="$1" '$6 == text { print $2, $3, $4, $5; exit }')
  [ -n "$row" ] || { echo "[$script_name] no control shows '$1'" >&2; return 1; }
  click_middle "$row"
}

# The skinned buttons are drawn, not named: the buttons of a window are the controls of the
# buttons' height whose bottom is no more than the blank row below them (20 pixels at 96 DPI, as
# the window's sizes are scaled) above the window's bottom, from left to right.
buttons() { # [TITLE]
  local window
  window=$(probe "${1:-}" | head -n1)
  probe "${1:-}" | tail -n +2 | awk -F'|' -v w="$window" -v height="$button_height" -v blank="$((20 * dpi / 96 + 1))" '
    BEGIN { split(w, f, "|"); bottom = f[3] + f[5] }
    $5 == height && $3 + $5 <= bottom && $3 + $5 >= bottom - blank { print $2, $3, $4, $5 }' | sort -n
}

# Next is the first of the wizard's buttons on the row's right half, Cancel (Finish) the last one.
press() { # next | cancel
  local window middle row
  window=$(probe | head -n1)
  middle=$(awk -F'|' '{ print $2 + $4 / 2 }' <<<"$window")
  row=$(buttons | awk -v middle="$middle" '$1 >= middle')
  if [ "$1" = next ]; then row=$(head -n1 <<<"$row"); else row=$(tail -n1 <<<"$row"); fi
  [ -n "$row" ] || { echo "[$script_name] no $1 button" >&2; return 1; }
  click_middle "$row"
}

shoot() { # FILE [TITLE]: the window alone, into docs/FILE-<dpi>dpi.png
  local geometry
  geometry=$(probe "${2:-}" | head -n1 | awk -F'|' '{ printf "%dx%d+%d+%d", $4, $5, $2, $3 }')
  xwd -root -silent -out "$root/docs/wizard.xwd"
  convert "xwd:$root/docs/wizard.xwd" -crop "$geometry" +repage "$root/docs/$1-${dpi}dpi.png"
  rm "$root/docs/wizard.xwd"
  echo "[$script_name] docs/$1-${dpi}dpi.png"
}

# A demo 3ds Max 2019 for the plug-in, as scripts/run.sh has it; a working folder in the prefix
# (the unpack folder that the pictures show is in it) with the material library's data; a program
# named 3dsmax.exe to be running when the installation starts.
prefix=$("${wine[@]}" --prefix-only)
mkdir -p "$prefix/drive_c/Autodesk/3ds Max 2019/"{plugins,scripts/Startup,UI_ln/Icons,UI_ln/IconsDark}
"${wine[@]}" reg add 'HKLM\SOFTWARE\Autodesk\3dsMax\21.0' /v Installdir /d 'C:\Autodesk\3ds Max 2019' /f /reg:64 \
  >/dev/null 2>&1
work="$prefix/drive_c/wizard-screenshots"
mkdir -p "$work"
cp "$sleeper_exe" "$work/3dsmax.exe"
cp "$run_build/payload/MaterialLibrary" "$work/MaterialLibrary"
mkdir -p docs

[ $# -gt 0 ] || set -- 96 120 144
for dpi in "$@"; do
  button_height=$(((24 * dpi + 48) / 96))
  # A process reads the screen's pixels per inch when it starts.
  set_log_pixels "$dpi" "${wine[@]}"
  # Without the install database of the run before, each run's log shows a first installation.
  rm -f "$prefix/drive_c/Program Files/Tarvio/TarvioRemove.xml"
  (cd "$work" && exec "${wine[@]}" "$root/$run_build/TarvioInstaller.exe" </dev/null >/dev/null 2>&1) &
  installer=$!
  wait_for "I accept the terms and conditions."
  shoot wizard-welcome
  click_text "I accept the terms and conditions."
  press next
  wait_for "Custom"
  click_text "Custom"
  shoot wizard-installation-type
  press next
  wait_for "Please select plugins and utilities to install:"
  shoot wizard-options
  "${wine[@]}" 'C:\wizard-screenshots\3dsmax.exe' </dev/null >/dev/null 2>&1 &
  running_max=$!
  sleep 2
  press next
  wait_for "3ds Max" "$dialog_title"
  # Under Wine on Xvfb a dialog's first paint reaches the screen only once the dialog has moved.
  xdotool search --name "^$(sed 's/[]().[]/\\&/g' <<<"$dialog_title")\$" windowmove 100 100
  sleep 1
  shoot prerequisites-dialog "$dialog_title"
  # 3ds Max closed, Retry (the first of Retry, Ignore, Abort) goes on as if it had never run.
  kill "$running_max" 2>/dev/null || true
  wait "$running_max" 2>/dev/null || true
  running_max=
  click_middle "$(buttons "$dialog_title" | head -n1)"
  wait_for "Installation has been finished"
  shoot wizard-installation
  press next
  wait_for "You may also be interested in:"
  shoot wizard-summary
  press cancel
  wait "$installer" || true
  installer=
done
