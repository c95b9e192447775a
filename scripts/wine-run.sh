#!/bin/bash
# wine-run.sh TEMPLATE PROGRAM [ARGS...]
# Runs a Windows program under Wine in a fresh copy of the prefix TEMPLATE, on
# an Xvfb display of its own, and exits with the program's exit code.  Used by
# ctest for every Win32 and end-to-end test program.  Everything it starts
# (Xvfb, the prefix's wineserver) it stops again by PID or by prefix.
# SETUP_WINE_TEMPLATE, when set, names the template instead of TEMPLATE: the
# tests that need the 64-bit (WoW64) prefix set it.
set -u
template=${SETUP_WINE_TEMPLATE:-$1}
shift
skip() {
    echo "skipped: $*"
    exit 77
}
# The route install-deps.sh chose (scripts/wine-route.sh): under emulation it
# preloads the library that mends qemu's signal contexts.
route_env=$(dirname "$0")/../build/wine-route.env
# shellcheck disable=SC1090
[ -f "$route_env" ] && . "$route_env"
command -v wine >/dev/null || skip "wine is not installed (run scripts/install-deps.sh)"
command -v Xvfb >/dev/null || skip "Xvfb is not installed (run scripts/install-deps.sh)"
# scripts/make-prefix.sh leaves the reason it skipped the template.
[ -f "$template/skipped" ] && skip "$(cat "$template/skipped")"
[ -f "$template/system.reg" ] || skip "no Wine prefix template at $template"

work=$(mktemp -d "${TMPDIR:-/tmp}/setup-wine.XXXXXX")
cp -a "$template" "$work/prefix"
export WINEPREFIX=$work/prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
cleanup() {
    [ -z "${keys_pid:-}" ] || kill "$keys_pid" 2>/dev/null
    WINEPREFIX=$work/prefix wineserver -k 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; skip "Xvfb did not start"; }
export DISPLAY=:$(head -n1 "$work/display")
# Tests that look at the prefix's files find it here.
export SETUP_WINEPREFIX=$WINEPREFIX
# With SETUP_X_KEYS set, the program can type real X key events through
# scripts/x-keys.sh, whose folder it finds in SETUP_KEY_CHANNEL.
keys_pid=
if [ -n "${SETUP_X_KEYS:-}" ]; then
    command -v xdotool >/dev/null || skip "xdotool is not installed (run scripts/install-deps.sh)"
    "$(dirname "$0")/x-keys.sh" "$work/keys" &
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

wine "$@"
exit $?
