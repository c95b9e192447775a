#!/bin/bash
# make-prefix.sh DIR
# Makes a fresh Wine prefix in DIR, seeded as a real Windows system would be:
# the universal printer driver's files in the spooler's driver directory and
# its version folder, the Marlett font in its Fonts folder, and Wine's X11
# driver told to draw window frames itself (without a window manager Wine
# otherwise waits about 2 s on every hide).
set -eu
dir=$1
if ! command -v wine >/dev/null || ! command -v wineboot >/dev/null; then
    echo "skipped: wine is not installed (run scripts/install-deps.sh)"
    exit 77
fi
route_env=$(dirname "$0")/../build/wine-route.env
# shellcheck disable=SC1090
[ -f "$route_env" ] && . "$route_env"
rm -rf "$dir"
mkdir -p "$dir"
# A 32-bit prefix even where wine64 is installed too.
export WINEPREFIX=$dir WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# A crash ends the process at once: without a debugger entry Wine starts no
# winedbg, which would wait for ever on a display nobody watches.
wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
    >/dev/null 2>&1 || true
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
# The registry reaches the disk only when the server ends.
wineserver -w
echo "prefix ready: $dir"
