#!/usr/bin/env bash
# How scripts/wine.sh starts a program: Wine's own programs by their path in the loader's system
# folder, in English; reg started again when Wine lost it before it ran (exit code 1, not a word), and
# never for a failure of its own; every other program started once, as it was named. The loaders are
# stand-ins that play a list of outcomes: nothing here touches a real prefix.
source "$(dirname "${BASH_SOURCE[0]}")/scripttest.sh"

mkdir -p "$work/loaders" "$work/prefix/drive_c/windows/syswow64" "$work/prefix/drive_c/windows/system32"
touch "$work/prefix/.tarvio-ready"
for program in reg.exe cmd.exe; do
  touch "$work/prefix/drive_c/windows/syswow64/$program" "$work/prefix/drive_c/windows/system32/$program"
done
# Each start takes the next outcome from the list: "lost" (exit code 1, nothing printed), "failed"
# (reg's own failure: a message, exit code 1) or "ok"; and records the loader, LC_ALL and the
# command line it was given.
for loader in wine wine64; do
  cat >"$work/loaders/$loader" <<STANDIN
#!/usr/bin/env bash
[ "\$1" = --version ] && exit 0
echo "$loader|\${LC_ALL:-}|\$*" >>"$work/starts"
cat /proc/self/personality >>"$work/personalities"
outcome=\$(head -n 1 "$work/outcomes")
sed -i 1d "$work/outcomes"
case \$outcome in
  lost) exit 1 ;;
  failed) echo "reg: Unable to find the specified registry key"; exit 1 ;;
  ok) echo "done"; echo "a warning" >&2; exit 0 ;;
esac
STANDIN
  chmod +x "$work/loaders/$loader"
done
export TARVIO_WINE_LOADERS=$work/loaders TARVIO_WINEPREFIX=$work/prefix LANG=de_DE.UTF-8
unset LC_ALL TARVIO_FORCE_64BIT

# run OUTCOMES ARGS...: runs wine.sh; sets code, out, err and starts (one line a start).
run() {
  printf '%s\n' $1 >"$work/outcomes"
  shift
  : >"$work/starts"
  code=0
  "$root/scripts/wine.sh" "$@" >"$work/out" 2>"$work/err" || code=$?
  out=$(cat "$work/out") err=$(cat "$work/err") starts=$(cat "$work/starts")
}
# expect NAME CODE OUT STARTS RETRIES: the outcome of the last run.
expect() {
  [ "$code" = "$2" ] || fail "$1: exit code $code, not $2"
  [ "$out" = "$3" ] || fail "$1: output '$out', not '$3'"
  [ "$starts" = "$4" ] || fail "$1: started as '$starts', not '$4'"
  local notes
  notes=$(grep -c "^\[wine.sh\] reg.exe ended with exit code 1 before it printed a word" <<<"$err")
  [ "$notes" = "$5" ] || fail "$1: $notes notes of a start made again, not $5: '$err'"
}

reg32='wine|C.UTF-8|C:\windows\syswow64\reg.exe query HKCU\Key'
run "lost lost ok" reg query 'HKCU\Key'
expect "reg lost twice" 0 done "$reg32"$'\n'"$reg32"$'\n'"$reg32" 2
grep -q "a warning" <<<"$err" || fail "reg's own error stream was not passed on: '$err'"
run "failed ok" reg query 'HKCU\Key'
expect "reg's own failure" 1 "reg: Unable to find the specified registry key" "$reg32" 0
run "lost lost lost ok" reg query 'HKCU\Key'
expect "reg lost three times" 1 "" "$reg32"$'\n'"$reg32"$'\n'"$reg32" 2
run "lost ok" cmd /c exit
expect "cmd, not retried" 1 "" 'wine|C.UTF-8|C:\windows\syswow64\cmd.exe /c exit' 0
run "lost ok" /build/test.exe --flag
expect "a program by its path" 1 "" "wine||/build/test.exe --flag" 0
run "ok" notepad.exe
expect "a program that the system folder lacks" 0 done "wine||notepad.exe" 0
TARVIO_FORCE_64BIT=1 run "lost ok" reg query 'HKCU\Key'
reg64='wine64|C.UTF-8|C:\windows\system32\reg.exe query HKCU\Key'
expect "the 64-bit loader" 0 done "$reg64"$'\n'"$reg64" 1

# Every start ran without address randomization, where this machine lets a process turn it off.
if setarch -R true 2>/dev/null; then
  while read -r personality; do
    ((0x$personality & 0x40000)) || fail "a start with address randomization (personality $personality)"
  done <"$work/personalities"
fi

finish
