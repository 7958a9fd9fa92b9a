#!/usr/bin/env bash
# The prefix script deletes only a prefix the project made, and start_display fails clearly.
# Wine and Xvfb are stand-ins on PATH: nothing here touches a real prefix or display.
source "$(dirname "${BASH_SOURCE[0]}")/scripttest.sh"

mkdir -p "$work/bin"
for tool in wine wineboot wineserver; do
  printf '#!/bin/sh\nexit 0\n' >"$work/bin/$tool"
  chmod +x "$work/bin/$tool"
done
export PATH="$work/bin:$PATH"
# The few tools start_display needs, without Xvfb.
mkdir -p "$work/tools"
for tool in dirname nproc mktemp mkfifo head rm kill sleep; do
  ln -s "$(command -v "$tool")" "$work/tools/$tool"
done

# A folder that is not ours (the home folder, say) stays, and the refusal says why.
mkdir -p "$work/home"
echo keep >"$work/home/precious.txt"
if output=$("$root/scripts/wineprefix.sh" "$work/home" 2>&1); then
  fail "a folder without the marker was accepted"
fi
[ -f "$work/home/precious.txt" ] || fail "a folder without the marker was deleted"
grep -q "not a Wine prefix made by this project" <<<"$output" || fail "no clear refusal: $output"

# A prefix the project made is made again; so is one that does not exist yet.
"$root/scripts/wineprefix.sh" "$work/prefix" >/dev/null 2>&1 || fail "a new prefix was refused"
[ -f "$work/prefix/.tarvio-prefix" ] || fail "a new prefix has no marker"
echo old >"$work/prefix/stale.txt"
"$root/scripts/wineprefix.sh" "$work/prefix" >/dev/null 2>&1 || fail "a prefix of ours was refused"
[ ! -e "$work/prefix/stale.txt" ] || fail "a prefix of ours was not made afresh"

# start_display without Xvfb, and with an Xvfb that gives no display number.
display_output() {
  (
    unset DISPLAY
    PATH=$1
    source "$root/scripts/common.sh"
    start_display
  ) 2>&1
}
if output=$(display_output "$work/tools"); then
  fail "start_display succeeded without Xvfb"
fi
grep -q "Xvfb" <<<"$output" || fail "no clear message without Xvfb: $output"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/Xvfb"
chmod +x "$work/bin/Xvfb"
if output=$(display_output "$work/bin:$work/tools"); then
  fail "start_display succeeded without a display number"
fi
grep -q "display number" <<<"$output" || fail "no clear message without a display number: $output"

# The fifo that carries the display number is made in a folder of its own, which nobody else can
# enter (a name in the shared temporary folder could be taken before the fifo is made), and goes
# with it.
cat >"$work/bin/mkfifo" <<EOF
#!/bin/sh
folder=\$($(command -v dirname) "\$1")
echo "\$folder \$($(command -v stat) -c %a "\$folder")" >>"$work/fifo-folders"
exec $(command -v mkfifo) "\$@"
EOF
chmod +x "$work/bin/mkfifo"
display_output "$work/bin:$work/tools" >/dev/null
fifo_folder= fifo_mode=
read -r fifo_folder fifo_mode <"$work/fifo-folders" 2>/dev/null
if [ -z "$fifo_folder" ]; then
  fail "start_display made no fifo"
elif [ "$fifo_mode" != 700 ]; then
  fail "the fifo's folder $fifo_folder is open to others (mode $fifo_mode)"
elif [ -e "$fifo_folder" ]; then
  fail "the fifo's folder $fifo_folder was left behind"
fi

finish
