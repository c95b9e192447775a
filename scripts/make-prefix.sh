#!/bin/bash
# make-prefix.sh DIR [win32|win64]
# Makes a fresh Wine prefix in DIR, 32-bit unless win64 is asked for (a
# 64-bit prefix, where the 32-bit programs run under WoW64), seeded as a
# real Windows system would be: the universal printer driver's files in the
# spooler's x86 driver directory and its version folder, the Marlett font
# in its Fonts folder, and Wine's X11 driver told to draw window frames
# itself (without a window manager Wine otherwise waits about 2 s on every
# hide).
set -eu
dir=$1
arch=${2:-win32}
# A skip leaves its reason in DIR, for wine-run.sh to give the tests that
# would have run in the prefix.
skip() {
    rm -rf "$dir"
    mkdir -p "$dir"
    echo "$*" >"$dir/skipped"
    echo "skipped: $*"
    exit 77
}
case $arch in
win32 | win64) ;;
*)
    echo "make-prefix.sh: the architecture is win32 or win64, not '$arch'" >&2
    exit 2
    ;;
esac
if ! command -v wine >/dev/null || ! command -v wineboot >/dev/null; then
    skip "wine is not installed (run scripts/install-deps.sh)"
fi
# Debian's wine64 package: the 64-bit loader a 64-bit prefix needs.
if [ "$arch" = win64 ] && [ ! -x /usr/lib/wine/wine64 ] && ! command -v wine64 >/dev/null; then
    skip "wine64 is not installed, no 64-bit prefix (run scripts/install-deps.sh)"
fi
# shellcheck source=scripts/wine-env.sh
. "$(dirname "$0")/wine-env.sh"
rm -rf "$dir"
mkdir -p "$dir"
wine_env "$dir"
# WINEARCH is always set: where wine64 is installed, wineboot would make a
# 64-bit prefix by default.
export WINEARCH=$arch
unset DISPLAY
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# A crash ends the process at once: without a debugger entry Wine starts no
# winedbg, which would wait for ever on a display nobody watches.  A 64-bit
# prefix keeps a second entry, for 32-bit processes, in the 32-bit view
# (Wow6432Node).
aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
if [ "$arch" = win32 ]; then
    wine reg delete "$aedebug" /v Debugger /f >/dev/null 2>&1 || true
else
    for view in /reg:64 /reg:32; do
        wine reg delete "$aedebug" /v Debugger /f "$view" >/dev/null 2>&1 || true
    done
fi
drv=$dir/drive_c/windows/system32/spool/drivers/w32x86
mkdir -p "$drv/3"
for f in UNIDRV.DLL UNIDRVUI.DLL UNIDRV.HLP; do
    printf 'Stand-in for the system file %s.\r\n' "$f" >"$drv/$f"
    cp "$drv/$f" "$drv/3/$f"
done
# Caption buttons are glyphs of Marlett; without it Wine draws the letters
# they map to ("r" for the close box).  Wine 8 as Debian builds it looks for
# fonts in the prefix's windows\Fonts and through fontconfig, but not in its
# own data folder, where fonts-wine puts marlett.ttf.
marlett=/usr/share/wine/fonts/marlett.ttf
if [ -f "$marlett" ]; then
    mkdir -p "$dir/drive_c/windows/Fonts"
    cp "$marlett" "$dir/drive_c/windows/Fonts/"
else
    echo "warning: $marlett is missing (run scripts/install-deps.sh); caption buttons will show letters" >&2
fi
# The registry reaches the disk only when the server ends.  The wait is
# bounded: a background process that does not end (seen under qemu-user)
# would keep the server, and this fixture, waiting for ever.  What is left
# then, wine-teardown.sh ends (wineserver -k saves the registry too).
timeout 120 wineserver -w || echo "make-prefix: the prefix's wineserver did not end within 120 s" >&2
"$(dirname "$0")/wine-teardown.sh" "$dir" make-prefix || exit 1
grep -q '^"Managed"="N"' "$dir/user.reg" ||
    { echo "make-prefix: the prefix's registry was not saved" >&2; exit 1; }
echo "prefix ready: $dir ($arch)"
