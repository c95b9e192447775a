#!/bin/bash
# copy-benchmark.sh: times the copy dialog against a bare loop of the same
# file work (temporary, flush, keep, move) on 200 files of about 50 MB in
# all (a quarter of them SZDD-compressed by mscompress), under Wine in a
# fresh prefix; what the flush and the set-aside of a file in use cost per
# file; and the time Cancel takes to bring up its question while a 40 MB
# file copies.
# Needs the Windows test tree (scripts/test.sh builds it).
set -eu
cd "$(dirname "$0")/.."
build=build/win32
[ -f $build/CMakeCache.txt ] || { echo "build the test tree first (scripts/test.sh)" >&2; exit 1; }
cmake --build $build --target copy_benchmark >/dev/null
[ -f $build/wine-template/system.reg ] || scripts/make-prefix.sh $build/wine-template
data=$(mktemp -d "${TMPDIR:-/tmp}/copy-bench.XXXXXX")
trap 'rm -rf "$data"' EXIT
python3 - "$data" <<'PY'
import os, random, sys
out = sys.argv[1]
rng = random.Random(50)
words = [b"printer", b"driver", b"setup", b"spool", b"page", b"port", b"model", b"tray"]
names = []
for i in range(200):
    name = "F%03d" % i
    names.append(name)
    if i % 4 == 0:  # text, stored compressed: about 400 KB each
        data = bytearray()
        while len(data) < 400000:
            data += rng.choice(words) + b" "
        open(f"{out}/{name}", "wb").write(data)
    else:  # plain: about 200 KB each
        open(f"{out}/{name}", "wb").write(os.urandom(200000))
open(f"{out}/list.txt", "w").write("\n".join(names) + "\n")
open(f"{out}/BIG.BIN", "wb").write(os.urandom(40 * 1000 * 1000))
PY
for ((i = 0; i < 200; i += 4)); do
    name=$(printf 'F%03d' $i)
    mscompress "$data/$name" >/dev/null
    rm "$data/$name"
    mv "$data/${name}_" "$data/$name._" # the name LZOpenFileA falls back to
done
route=unknown
# shellcheck disable=SC1091
[ -f build/wine-route.env ] && route=$(. build/wine-route.env && echo "$SETUP_WINE_ROUTE ($SETUP_WINE_ROUTE_WHY)")
echo "files: $(du -sh --apparent-size "$data" | cut -f1) in $data (wine route: $route, $(wine --version))"
scripts/wine-run.sh $build/wine-template $build/copy_benchmark.exe "Z:${data//\//\\}"
