#!/bin/bash
# demo.sh [DELIVERABLE] [WINDOWS_VERSION] [MODEL] [PORT]
# Builds the four programs, lays out the built-in sample driver package for
# DELIVERABLE (default M270Setup_en_win7), makes a fresh Wine prefix seeded as
# a real Windows system would be, and runs the program from the package
# folder.  With a usable display ($DISPLAY) you drive the wizard yourself;
# without one it runs on its own Xvfb, is driven through the wizard
# automatically (picking MODEL, default the first listed, and PORT, default
# LPT1:, then copying, with Cancel pressed mid-copy and the question answered
# No, installing and making the printer the default), and every window it
# shows is saved as a PNG under build/demo/DELIVERABLE/screenshots/.  Either
# way it then prints what the spooler holds and the default printer.
set -eu
cd "$(dirname "$0")/.."
# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
# Set before anything starts, so that every way out ends what the run started.
prefix=
cleanup() {
    # The prefix's wineserver and whatever the prefix still runs.
    [ -z "$prefix" ] || scripts/wine-teardown.sh "$prefix" demo || true
    scripts/wine-route.sh release
    stop_xvfb
}
trap cleanup EXIT
deliverable=${1:-M270Setup_en_win7}
version=${2:-win7}
model=${3:-}
port=${4:-LPT1:}
case $deliverable in
M470Setup_ko_win7 | M270Setup_ko_vista | M270Setup_en_win7 | M270Setup_en_vista) ;;
*)
    echo "unknown deliverable $deliverable" >&2
    exit 2
    ;;
esac
scripts/install-deps.sh
mkdir -p build/logs
cmake -S . -B build/win32 --toolchain cmake/toolchain-mingw-posix.cmake -DCMAKE_BUILD_TYPE=Release \
    >build/logs/win32.configure.log 2>&1 || { cat build/logs/win32.configure.log; exit 1; }
cmake --build build/win32 -j"$(nproc)" --target package_"$deliverable" demo_driver

out=$PWD/build/demo/$deliverable
rm -rf "$out"
mkdir -p "$out/screenshots"
cp -a "build/win32/package/$deliverable" "$out/package"
# The sample's files are a few kilobytes and copy in milliseconds.  The
# demo's model file (the second file of every model's list) carries 32 MB of
# zeros after its image, which the loader ignores, so that the copy dialog
# stays mid-copy long enough to be seen, pictured and cancelled.
head -c 32M /dev/zero >>"$out/package/${deliverable:0:4}.DLL"
prefix=$out/prefix
scripts/make-prefix.sh "$prefix" >/dev/null
wine_env "$prefix"
echo "wine route: $SETUP_WINE_ROUTE ($SETUP_WINE_ROUTE_WHY)"
case $deliverable in
*_ko_*) export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8 ;;
*) export LANG=C.UTF-8 LC_ALL=C.UTF-8 ;;
esac
# Without a display yet: let this server end before the program's session
# starts, so that Wine's desktop process is started on the right display.
(
    unset DISPLAY
    wine reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
    case $deliverable in
    *_ko_*)
        # A Korean Windows has Gulim for its captions and dialogs; Nanum
        # stands in for it here.
        for font in Gulim Tahoma; do
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v $font /d NanumGothic /f \
                >/dev/null 2>&1
        done
        ;;
    esac
)
timeout 120 wineserver -w || true
scripts/wine-teardown.sh "$prefix" demo
driver=$PWD/build/win32/demo_driver.exe
winpath() { echo "Z:${1//\//\\}"; }

echo "Package: $out/package"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Running $deliverable on display $DISPLAY; go through the wizard yourself."
    (cd "$out/package" && wine "./$deliverable.exe") || true
    wineserver -w
else
    start_xvfb "$out" || { echo "Xvfb did not start" >&2; exit 1; }
    echo "No display: running $deliverable on Xvfb $DISPLAY and driving it automatically."
    wine "$driver" walk "$(winpath "$out/package/$deliverable.exe")" "$(winpath "$out/screenshots")" \
        "$model" "$port"
    # As 8-bit palette PNGs without time stamps.  A picture of up to 256
    # colours (the copy and status windows) keeps them exactly; the pages and
    # the question (350 to 580, from gradients and icon edges) are quantised
    # to 256 without dithering: on average under one level in 255 off, at
    # most 16 on a few anti-aliased edges, at less than half the size.
    for bmp in "$out"/screenshots/*.bmp; do
        [ -e "$bmp" ] || continue
        reduce=()
        [ "$(identify -format %k "$bmp")" -le 256 ] || reduce=(-dither None -colors 256)
        convert "$bmp" "${reduce[@]}" -strip PNG8:"${bmp%.bmp}.png" && rm "$bmp"
    done
    echo "Screenshots: $out/screenshots/"
    sed 's/^/  /' "$out/screenshots/shots.txt"
fi
echo
wine "$driver" report
