#!/bin/bash
# wine-run.sh TEMPLATE PROGRAM [ARGS...]
# Runs a Windows program under Wine in a fresh copy of the prefix TEMPLATE, on
# an Xvfb display of its own, and exits with the program's exit code.  Used by
# ctest for every Win32 and end-to-end test program.  Everything it starts
# (Xvfb, the prefix's wineserver) it stops again by PID or by prefix; what
# the prefix still runs when the program has ended, scripts/wine-teardown.sh
# ends, naming each process it had to end in one line.
#
# The program writes to ctest through two relays (cat) that only this script
# started: Wine's background processes, which the program's first call into
# Wine starts and which keep their standard error, then hold a relay's pipe
# and never ctest's.  Once the teardown is done the relays see the end of
# their input; one still held open after that means a process outside the
# prefix's reach kept it, and the run fails, saying so.
# SETUP_WINE_TEMPLATE, when set, names the template instead of TEMPLATE: the
# tests that need the 64-bit (WoW64) prefix set it.
# SETUP_WINE_SMALL_DRIVER_DIR=KIB, when set, makes the prefix's x86 driver
# directory a disk that fills: a tmpfs (as root) holding what the folder held
# and KIB KiB of room more.  It is unmounted on every exit, once the teardown
# is done and before the prefix is removed.  Without root, or when the mount
# is refused, the test is skipped.
set -u
template=${SETUP_WINE_TEMPLATE:-$1}
shift
skip() {
    echo "skipped: $*"
    exit 77
}
# shellcheck source=scripts/wine-env.sh
. "$(dirname "$0")/wine-env.sh"
command -v wine >/dev/null || skip "wine is not installed (run scripts/install-deps.sh)"
command -v Xvfb >/dev/null || skip "Xvfb is not installed (run scripts/install-deps.sh)"
# scripts/make-prefix.sh leaves the reason it skipped the template.
[ -f "$template/skipped" ] && skip "$(cat "$template/skipped")"
[ -f "$template/system.reg" ] || skip "no Wine prefix template at $template"

work=$(mktemp -d "${TMPDIR:-/tmp}/setup-wine.XXXXXX")
cp -a "$template" "$work/prefix"
wine_env "$work/prefix"

teardown=$(dirname "$0")/wine-teardown.sh
out_pid=""
err_pid=""
small_dir=""
cleanup() {
    local status=$? pid
    [ -z "${keys_pid:-}" ] || kill "$keys_pid" 2>/dev/null
    exec 7>&- 8>&-
    "$teardown" "$work/prefix" wine-run || status=1
    if [ -n "$small_dir" ] && ! umount "$small_dir"; then
        echo "wine-run: could not unmount the small driver directory $small_dir" >&2
        umount -l "$small_dir"
        status=1
    fi
    stop_xvfb
    for _ in $(seq 20); do
        kill -0 $out_pid $err_pid 2>/dev/null || break
        sleep 0.1
    done
    for pid in $out_pid $err_pid; do
        kill -0 "$pid" 2>/dev/null || continue
        echo "wine-run: the program's output was still held open 2 s after the teardown" >&2
        kill "$pid" 2>/dev/null
        status=1
    done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
if [ -n "${SETUP_WINE_SMALL_DRIVER_DIR:-}" ]; then
    case $SETUP_WINE_SMALL_DRIVER_DIR in
    *[!0-9]*) echo "SETUP_WINE_SMALL_DRIVER_DIR is not a size in KiB: $SETUP_WINE_SMALL_DRIVER_DIR"; exit 1 ;;
    esac
    [ "$(id -u)" -eq 0 ] || skip "needs root to mount a small tmpfs as the driver directory"
    drv=$WINEPREFIX/drive_c/windows/system32/spool/drivers/w32x86
    held=$(du -sk "$drv" | cut -f1)
    mv "$drv" "$work/w32x86" && mkdir "$drv" || exit 1
    mount -t tmpfs -o "size=$((held + SETUP_WINE_SMALL_DRIVER_DIR))k" tmpfs "$drv" ||
        skip "cannot mount a tmpfs on the driver directory"
    small_dir=$drv
    cp -a "$work/w32x86/." "$drv/" || exit 1
fi
start_xvfb "$work" || skip "Xvfb did not start"
# Tests that look at the prefix's files find it here.
export SETUP_WINEPREFIX=$WINEPREFIX
# With SETUP_X_KEYS set, the program can type real X key events through
# scripts/x-keys.sh, whose folder it finds in SETUP_KEY_CHANNEL.
keys_pid=
# ctest gives a test one pipe for both outputs: then one relay keeps the
# order of what the program writes to each.
exec 7> >(exec env -u WINEPREFIX cat)
out_pid=$!
if [ /proc/$$/fd/1 -ef /proc/$$/fd/2 ]; then
    exec 8>&7
else
    exec 8> >(exec 7>&- env -u WINEPREFIX cat >&2)
    err_pid=$!
fi
if [ -n "${SETUP_X_KEYS:-}" ]; then
    command -v xdotool >/dev/null || skip "xdotool is not installed (run scripts/install-deps.sh)"
    "$(dirname "$0")/x-keys.sh" "$work/keys" >&7 2>&8 7>&- 8>&- &
    keys_pid=$!
    export SETUP_KEY_CHANNEL="Z:${work//\//\\}\\keys"
fi

# With SETUP_WINE_LOGPIXELS set (a ctest property of the tests that run at
# another resolution), the program runs at that many dots per inch.  Wine 8
# reads the value when a process starts, from HKCU\Control Panel\Desktop
# (where Windows 7 keeps a user's setting) or from the current hardware
# profile's Software\Fonts; seen at 120: SM_CXICON 40, LOGPIXELSX 120.
if [ -n "${SETUP_WINE_LOGPIXELS:-}" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$SETUP_WINE_LOGPIXELS" /f >/dev/null 2>&1 ||
        { echo "could not set LogPixels $SETUP_WINE_LOGPIXELS"; exit 1; }
fi

wine "$@" >&7 2>&8 7>&- 8>&-
