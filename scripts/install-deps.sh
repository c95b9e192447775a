#!/bin/bash
# install-deps.sh: installs what building and testing need on Debian 12,
# with the i386 architecture for wine32, then finds out how this machine runs
# the 32-bit side of Wine and sets that route up (scripts/wine-route.sh,
# which writes build/wine-route.env).  Installs nothing, and asks no mirror,
# when all is there.
#
# A mirror half-way through a sync can fail one index for hours.  The index
# update is tried three times; when one still fails, the install goes on
# with what was fetched.  When the install then cannot be resolved (the
# i386 index of the security suite missing, the amd64 libraries newer than
# any i386 build the release offers), it is tried once more with the
# release's own suite as the target, which keeps both architectures on the
# same versions.
set -eu
# This is the one list: every package any script of ours needs.
# cppcheck and clang-tidy run in the tests (scripts/static-analysis.sh);
# clang and libclang-rt-dev (libFuzzer) build the fuzz targets.
# wine64: the 64-bit loader (and wineserver64) for the 64-bit prefix in
# which the programs meet a 64-bit Windows under WoW64.
# gcc-multilib: the preload library of the emulated route (wine-route.sh).
packages=(cmake make g++ libgtest-dev googletest g++-mingw-w64-i686 binutils-mingw-w64-i686
          wine wine32:i386 wine64 xvfb x11-apps x11-utils xdotool imagemagick fonts-nanum
          fonts-wine mscompress python3 osslsigncode openssl cppcheck clang-tidy clang
          libclang-rt-dev gcc-multilib)
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

# apt's first error line, or its last line when it printed no "E:" line.
apt_reason() {
    local reason
    reason=$(grep -m1 '^E:' <<<"$1" || true)
    [ -n "$reason" ] || reason=$(tail -n1 <<<"$1")
    echo "${reason:-no output from apt-get}"
}

out=
for try in 1 2 3; do
    if out=$($sudo apt-get update -qq 2>&1); then
        out=
        break
    fi
    [ "$try" -lt 3 ] && sleep $((try * 10))
done
if [ -n "$out" ]; then
    failed=$(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' <<<"$out" | paste -sd' ')
    echo "install-deps: the package index update failed 3 times (${failed:-$(apt_reason "$out")}); going on with what was fetched"
fi

install() {
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$@" "${missing[@]}" 2>&1 >/dev/null
}
if ! out=$(install); then
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$codename" ] || { echo "install-deps: could not install ${missing[*]}: $(apt_reason "$out")" >&2; exit 1; }
    echo "install-deps: the install could not be resolved ($(apt_reason "$out")); trying again with $codename as the target"
    if ! out=$(install -t "$codename"); then
        echo "install-deps: could not install ${missing[*]}: $(apt_reason "$out")" >&2
        exit 1
    fi
fi
exec "$here/wine-route.sh" setup
