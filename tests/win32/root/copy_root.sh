#!/bin/bash
# copy_root.sh TEMPLATE PROGRAM
# Runs the copy dialog's tests that need root around their test program: a
# destination made immutable with chattr +i (as root a read-only attribute
# does not stop a write) and a 64 KiB tmpfs as a driver directory that
# fills up during an expansion.  Both are undone on every exit, whatever the
# tests did.  Without root the tests report themselves skipped.
set -u
template=$1
program=$2
skip() {
    echo "skipped: $*"
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "needs root for chattr +i and mount -t tmpfs"
command -v chattr >/dev/null || skip "chattr is not installed"

work=$(mktemp -d "${TMPDIR:-/tmp}/copy-root.XXXXXX")
mkdir -p "$work/immutable/3" "$work/full"
mounted=0
cleanup() {
    chattr -i "$work/immutable/CPSMALL.INI" 2>/dev/null
    [ $mounted -eq 0 ] || umount "$work/full"
    rm -rf "$work"
}
trap cleanup EXIT
printf 'old copy' >"$work/immutable/CPSMALL.INI"
chattr +i "$work/immutable/CPSMALL.INI" || skip "chattr +i does not work in $work"
mount -t tmpfs -o size=64k tmpfs "$work/full" || skip "cannot mount a tmpfs on $work/full"
mounted=1
mkdir "$work/full/3"

winpath() { printf 'Z:%s\\' "${1//\//\\}"; }
SETUP_IMMUTABLE_DIR=$(winpath "$work/immutable")
SETUP_FULL_DIR=$(winpath "$work/full")
export SETUP_IMMUTABLE_DIR SETUP_FULL_DIR
"$(dirname "$0")/../../../scripts/wine-run.sh" "$template" "$program"
status=$?
exit $status
