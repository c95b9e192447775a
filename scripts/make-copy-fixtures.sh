#!/bin/bash
# make-copy-fixtures.sh OUT
# Files for the copy dialog's tests, in OUT/src as a driver package holds
# them (some SZDD-compressed by mscompress and named the way compress names
# its output, the last letter replaced by "_") and OUT/ref as they must
# arrive (the compressed ones as msexpand expands them, which must be the
# original bytes).  Also one SZDD file with an unknown algorithm and one cut
# short.  The contents are fixed, so every build makes the same files.
set -eu
out=$1
for tool in mscompress msexpand python3; do
    command -v $tool >/dev/null || { echo "$tool is not installed (run scripts/install-deps.sh)" >&2; exit 1; }
done
rm -rf "$out"
mkdir -p "$out/src" "$out/ref" "$out/orig"
python3 - "$out/orig" <<'PY'
import random, sys
out = sys.argv[1]
rng = random.Random(8)
words = [b"printer", b"driver", b"setup", b"spool", b"page", b"port", b"model", b"tray"]
def text(n):
    data = bytearray()
    while len(data) < n:
        data += rng.choice(words) + rng.choice([b" ", b" ", b"\r\n"])
    return bytes(data[:n])
files = {
    "CPTEXT.TXT": text(60000),
    "CPBIG.TXT": text(400000),
    "CPRAND.BIN": bytes(rng.getrandbits(8) for _ in range(100000)),
    "CPEMPTY.DAT": b"",
    "CPSMALL.INI": b"[Model]\r\nName=Test\r\n",
}
for name, data in files.items():
    open(f"{out}/{name}", "wb").write(data)
PY
# Stored compressed: the text files; plain: the rest.
for name in CPTEXT.TXT CPBIG.TXT; do
    cp "$out/orig/$name" "$out/src/$name"
    mscompress "$out/src/$name" >/dev/null
    rm "$out/src/$name"
    mv "$out/src/${name}_" "$out/src/${name%?}_"
    msexpand <"$out/src/${name%?}_" >"$out/ref/$name"
    cmp -s "$out/ref/$name" "$out/orig/$name" || { echo "msexpand does not give back $name" >&2; exit 1; }
done
for name in CPRAND.BIN CPEMPTY.DAT CPSMALL.INI; do
    cp "$out/orig/$name" "$out/src/$name"
    cp "$out/orig/$name" "$out/ref/$name"
done
# Damaged: the algorithm byte (offset 8) is not 'A', or the data is cut.
python3 - "$out/src" <<'PY'
import sys
src = sys.argv[1]
data = bytearray(open(f"{src}/CPTEXT.TX_", "rb").read())
assert data[:4] == b"SZDD" and data[8:9] == b"A"
bad = bytearray(data); bad[8] = ord("B")
open(f"{src}/CPALG.DA_", "wb").write(bad)
open(f"{src}/CPCUT.DA_", "wb").write(data[: len(data) // 2])
PY
rm -rf "$out/orig"
touch "$out/.stamp"
