#!/usr/bin/env bash
# Screenshots of the wizard's five pages at 96 and 144 DPI, into docs/wizard-<page>-<dpi>dpi.png:
# the real program, taken through a Custom installation of the demo payload under Xvfb with mouse
# clicks, as a person would.
#   scripts/wizard-screenshots.sh [DPI...]     (default: 96 144)
# It installs into the Wine prefix that TARVIO_WINEPREFIX names: give it one for the purpose.
set -euo pipefail
script_name=wizard-screenshots
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"

title="Tarvio Renderer for 3ds Max 2 Installer"
wine=("$root/scripts/wine.sh")

configure_runnable_windows
cmake --build "$run_build" -j"$jobs" --target TarvioInstaller tarvio_payload endtoend_windowprobe
probe_exe="$root/$run_build/tests/endtoend/endtoend_windowprobe.exe"

start_display
trap '"${wine[@]}" --stop-server; stop_display' EXIT

# The wizard's window and its visible controls, one "class|x|y|width|height|text" line each.
probe() { "${wine[@]}" "$probe_exe" "$title" 2>/dev/null | tr -d '\r'; }

wait_for() { # TEXT: until a control shows it
  for _ in $(seq 120); do
    probe | grep -qF "$1" && { sleep 1; return 0; }
    sleep 0.5
  done
  echo "[$script_name] '$1' not shown" >&2
  return 1
}

click_at() { xdotool mousemove "$1" "$2" click 1; sleep 1; }

click_text() { # TEXT: the middle of the control that shows it
  local row
  row=$(probe | awk -F'|' -v text="$1" '$6 == text { print $2, $3, $4, $5; exit }')
  [ -n "$row" ] || { echo "[$script_name] no control shows '$1'" >&2; return 1; }
  set -- $row
  click_at $(($1 + $3 / 2)) $(($2 + $4 / 2))
}

# The skinned buttons are drawn, not named: Next is the first of the buttons on the row's right
# half, Cancel (Finish) the last one.
press() { # next | cancel
  local window rows
  window=$(probe | head -n1)
  rows=$(probe | tail -n +2 | awk -F'|' -v w="$window" -v height="$button_height" '
    BEGIN { split(w, f, "|"); middle = f[2] + f[4] / 2; bottom = f[3] + f[5] }
    $5 == height && $3 + $5 <= bottom && $3 >= bottom - 2 * height - 40 && $2 >= middle { print $2, $3, $4, $5 }' |
    sort -n)
  local row
  if [ "$1" = next ]; then row=$(head -n1 <<<"$rows"); else row=$(tail -n1 <<<"$rows"); fi
  [ -n "$row" ] || { echo "[$script_name] no $1 button" >&2; return 1; }
  set -- $row
  click_at $(($1 + $3 / 2)) $(($2 + $4 / 2))
}

shoot() { # NAME: the window alone
  local geometry
  geometry=$(probe | head -n1 | awk -F'|' '{ printf "%dx%d+%d+%d", $4, $5, $2, $3 }')
  xwd -root -silent -out "$root/docs/wizard.xwd"
  convert "xwd:$root/docs/wizard.xwd" -crop "$geometry" +repage "$root/docs/wizard-$1-${dpi}dpi.png"
  rm "$root/docs/wizard.xwd"
  echo "[$script_name] docs/wizard-$1-${dpi}dpi.png"
}

# A demo 3ds Max 2019 for the plug-in, and the material library's data in the working folder, as
# scripts/run.sh has them.
prefix=$("${wine[@]}" --prefix-only)
mkdir -p "$prefix/drive_c/Autodesk/3ds Max 2019/"{plugins,scripts/Startup,UI_ln/Icons,UI_ln/IconsDark}
"${wine[@]}" reg add 'HKLM\SOFTWARE\Autodesk\3dsMax\21.0' /v Installdir /d 'C:\Autodesk\3ds Max 2019' /f /reg:64 \
  >/dev/null 2>&1
mkdir -p "$run_build/run"
cp "$run_build/payload/MaterialLibrary" "$run_build/run/MaterialLibrary"
mkdir -p docs

[ $# -gt 0 ] || set -- 96 144
for dpi in "$@"; do
  button_height=$((24 * dpi / 96))
  # A process reads the screen's pixels per inch when it starts.
  "${wine[@]}" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  (cd "$run_build/run" && exec "${wine[@]}" "$root/$run_build/TarvioInstaller.exe" </dev/null >/dev/null 2>&1) &
  installer=$!
  wait_for "I accept the terms and conditions."
  shoot welcome
  click_text "I accept the terms and conditions."
  press next
  wait_for "Custom"
  click_text "Custom"
  shoot installation-type
  press next
  wait_for "Please select plugins and utilities to install:"
  shoot options
  press next
  wait_for "Installation has been finished"
  shoot installation
  press next
  wait_for "You may also be interested in:"
  shoot summary
  press cancel
  wait "$installer" || true
done
"${wine[@]}" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
