#!/usr/bin/env bash
# Remakes the committed seed corpus of the pack reader with the pack writer.
#   tests/fuzz/make_packfilevfs_corpus.sh PACKWRITER
set -euo pipefail
writer=$(realpath "$1")
corpus=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/corpus/packfilevfs
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

mkdir -p tree/dir/sub tree/gui empty again
printf 'hello' >tree/a.txt
printf 'x%.0s' {1..200} >tree/dir/sub/repeat.bin
printf '' >tree/dir/empty.txt
printf '\x89PNG\r\n' >tree/gui/x.png
printf 'upper' >tree/gui/x.PNG
printf 'back' >'tree/dir\sub\file.txt'
printf 'later' >again/a.txt

"$writer" "$corpus/mixed.pack" tree
"$writer" "$corpus/stored.pack" --method stored tree
"$writer" "$corpus/compressed.pack" --method compressed tree
"$writer" --seed 7 "$corpus/repeated.pack" tree --method stored again
"$writer" "$corpus/nofiles.pack" empty
# Guard, seed and a directory length of 0.
printf '\x21\x85\x54\x36\x07\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$corpus/nodirectory.pack"
# The target's plain form (see packfilevfs_fuzz.cpp): 0, seed, data length, data, directory.
python3 - "$corpus/plain.bin" <<'PY'
import struct, sys, zlib
files = [(b"a.txt", b"hello", False), (b"dir/z.bin", b"z" * 300, True), (b"dir\\b.png", b"", False)]
data, directory = b"", b""
for name, content, compressed in files:
    stored = zlib.compress(content) if compressed else content
    data += stored
    directory += name + b"\0" + struct.pack("<qqB", len(stored), len(content), int(compressed))
with open(sys.argv[1], "wb") as out:
    out.write(b"\0" + struct.pack("<IH", 99, len(data)) + data + directory)
PY
