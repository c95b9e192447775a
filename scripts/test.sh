#!/bin/bash
# test.sh: builds everything and runs every test (native unit tests, Win32
# tests under Wine, end-to-end tests of the four programs) under ctest.
#   scripts/test.sh                 all three layers
#   scripts/test.sh -L native       one layer (native, win32 or e2e)
#   scripts/test.sh -R e2e_M270Setup_en_win7   one test
# Extra arguments go to both ctest runs.
# SETUP_WINE_ROUTE=emulated runs the Win32 layers under qemu-user even where
# the machine runs 32-bit code (see scripts/wine-route.sh).
set -u
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1
# shellcheck disable=SC1091
route=$(. build/wine-route.env && echo "$SETUP_WINE_ROUTE ($SETUP_WINE_ROUTE_WHY)")
trap 'scripts/wine-route.sh release' EXIT
echo "=== wine route: $route"
jobs=$(nproc)

mkdir -p build/logs
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >build/logs/native.configure.log 2>&1 ||
    { cat build/logs/native.configure.log; exit 1; }
cmake --build build/native -j"$jobs" || exit 1
cmake -S . -B build/win32 --toolchain cmake/toolchain-mingw-posix.cmake -DCMAKE_BUILD_TYPE=Release \
    >build/logs/win32.configure.log 2>&1 ||
    { cat build/logs/win32.configure.log; exit 1; }
cmake --build build/win32 -j"$jobs" || exit 1

status=0
echo "=== native unit tests"
ctest --test-dir build/native -j"$jobs" --output-on-failure "$@" 2>&1 | tee build/logs/native.log
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
echo "=== Win32 and end-to-end tests under Wine"
ctest --test-dir build/win32 -j"$jobs" --output-on-failure "$@" 2>&1 | tee build/logs/win32.log
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1

# One closing line over both runs, counted from ctest's result lines.
count() { cat build/logs/native.log build/logs/win32.log | grep -cE "^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*$1" || true; }
passed=$(count ' Passed ')
failed=$(count '\*\*\*(Failed|Timeout|Exception)|Child aborted')
skipped=$(count '\*\*\*(Skipped|Not Run)')
echo
echo "wine route: $route"
echo "tests: $passed passed, $failed failed, $skipped skipped"
exit $status
