#!/bin/bash
# reproducible.sh SOURCE_DIR PROGRAMS_DIR
# The programs are reproducible and release.sh ships the plain build: the
# source is copied to another absolute path and released there from scratch
# (scripts/release.sh, unsigned), and its four programs, and the sample model
# files built in the same tree, must have the very bytes of the plain build
# in PROGRAMS_DIR.  A second release of the programs in PROGRAMS_DIR, made later
# from elsewhere, must then give the same SHA256SUMS: the zips depend on
# nothing but the programs.  Every header time stamp and checksum is checked
# on the way.
set -u
src=$1 programs=$2
here=$(dirname "$0")
skip() {
    echo "skipped: $*"
    exit 77
}
for tool in cmake i686-w64-mingw32-g++-win32 python3 sha256sum; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (run scripts/install-deps.sh)"
done
deliverables=(M470Setup_ko_win7 M270Setup_ko_vista M270Setup_en_win7 M270Setup_en_vista)
for f in "${deliverables[@]/%/.exe}" M270.DLL M470.DLL CMakeCache.txt; do
    [ -f "$programs/$f" ] || { echo "FAIL: no plain build: $programs/$f is missing"; exit 1; }
done
# The same time stamp as the plain build was configured with.
epoch=$(sed -n 's/^SETUP_SOURCE_DATE_EPOCH:STRING=//p' "$programs/CMakeCache.txt")
if [ -n "$epoch" ]; then export SOURCE_DATE_EPOCH=$epoch; else unset SOURCE_DATE_EPOCH; fi

work=$(mktemp -d "${TMPDIR:-/tmp}/setup-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
copy=$work/another/place/src
mkdir -p "$copy"
tar -C "$src" --exclude=./build --exclude=./dist --exclude=./.git -cf - . | tar -C "$copy" -xf - ||
    { echo "FAIL: copying the source"; exit 1; }

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
"$copy/scripts/release.sh" --out "$work/dist-a" --build-dir "$work/build-a" >"$work/a.log" 2>&1 ||
    { cat "$work/a.log"; echo "FAIL: release.sh in the copy"; exit 1; }
grep -q "UNSIGNED" "$work/a.log" || fail "release.sh did not say the programs are unsigned"
cmake --build "$work/build-a" --target M270_model M470_model >/dev/null || fail "building the model files"

for f in "${deliverables[@]}" M270.DLL M470.DLL; do
    case $f in
    *.DLL) built=$work/build-a/$f plain=$programs/$f ;;
    *) built=$work/dist-a/$f/$f.exe plain=$programs/$f.exe ;;
    esac
    a=$(sha256sum <"$built" | cut -d' ' -f1)
    b=$(sha256sum <"$plain" | cut -d' ' -f1)
    echo "$a $b $f"
    [ "$a" = "$b" ] || fail "$f differs between $built and $plain"
done
python3 "$here/pe_header.py" "$epoch" "$work"/dist-a/*/*.exe "$work"/build-a/M?70.DLL ||
    fail "a PE header's time stamp or checksum"
(cd "$work/dist-a" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not check"

# Each zip holds its folder and the program, byte for byte.
python3 - "$work/dist-a" "${deliverables[@]}" <<'EOF' || fail "a zip's content"
import sys, zipfile
dist = sys.argv[1]
for d in sys.argv[2:]:
    z = zipfile.ZipFile(f"{dist}/{d}.zip")
    names = z.namelist()
    assert names == [f"{d}/", f"{d}/{d}.exe"], names
    assert z.read(names[1]) == open(f"{dist}/{d}/{d}.exe", "rb").read(), d
EOF

# Later (a zip's clock counts in 2 s), from another folder, from the plain
# build: the same release.
sleep 2
(cd "$work" && "$src/scripts/release.sh" --programs "$programs" --out dist-b >b.log 2>&1) ||
    { cat "$work/b.log"; fail "release.sh --programs"; }
cmp "$work/dist-a/SHA256SUMS" "$work/dist-b/SHA256SUMS" ||
    { diff "$work/dist-a/SHA256SUMS" "$work/dist-b/SHA256SUMS"; fail "the two releases differ"; }
[ $failed -eq 0 ] && echo "reproducible: four programs, two model files and four zips"
exit $failed
