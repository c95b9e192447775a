#!/bin/bash
# install-deps.sh: installs what building and testing need on Debian 12,
# with the i386 architecture for wine32, then finds out how this machine runs
# the 32-bit side of Wine and sets that route up (scripts/wine-route.sh,
# which writes build/wine-route.env).  Installs nothing when all is there.
set -eu
# cppcheck and clang-tidy run in the tests (scripts/static-analysis.sh);
# clang and libclang-rt-dev (libFuzzer) build the fuzz targets.
# wine64: the 64-bit loader (and wineserver64) for the 64-bit prefix in
# which the programs meet a 64-bit Windows under WoW64.
packages=(cmake make g++ libgtest-dev googletest g++-mingw-w64-i686 binutils-mingw-w64-i686
          wine wine32:i386 wine64 xvfb x11-apps x11-utils xdotool imagemagick fonts-nanum
          fonts-wine mscompress python3 osslsigncode openssl cppcheck clang-tidy clang
          libclang-rt-dev)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
here=$(dirname "$0")
[ ${#missing[@]} -eq 0 ] && exec "$here/wine-route.sh" setup
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" \
    >/dev/null
exec "$here/wine-route.sh" setup
