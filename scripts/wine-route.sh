#!/bin/bash
# wine-route.sh setup | release | probe
# How this machine runs the 32-bit side of Wine, decided once per run and
# written to build/wine-route.env, which the scripts that start Wine read.
#
#   native    the kernel runs 32-bit x86 code: Wine runs as installed.
#   emulated  it does not (a kernel with "32-bit emulation disabled"; every
#             i386 program fails with "Exec format error"), so every i386
#             program is run by qemu-user through a binfmt_misc entry:
#               - qemu-i386 10.0.x, fetched as Debian's qemu-user package
#                 from the machine's own mirror (backports suite) into
#                 build/wine-route/ (qemu 7.2 gives every thread the newest
#                 thread's TLS after a %gs reload and cannot run Wine);
#               - the binfmt_misc entry "setup-wizard-i386" (needs root);
#               - tests/platform/trapno_fix.c, built with gcc -m32 and
#                 preloaded into every Wine process (qemu loses the trap
#                 number Wine's fault handlers dispatch on).
#
# SETUP_WINE_ROUTE=emulated forces the emulated route on a machine that runs
# 32-bit code (binfmt_misc is consulted before the kernel's own ELF loader,
# so the entry takes over every i386 program, machine-wide, for the run);
# "release" removes a forced entry again.  SETUP_WINE_ROUTE=native skips the
# probe.  Without it the probe decides; "probe" only says what it finds.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
state=$root/build/wine-route
envfile=$root/build/wine-route.env
entry=setup-wizard-i386
binfmt=/proc/sys/fs/binfmt_misc
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo

# A static i386 ELF that exits with 42 through int 0x80.  The last padding
# byte of its identification is 1: the kernel's ELF loader ignores it, but
# every binfmt_misc entry for i386 (ours, Debian's qemu ones) requires it
# to be 0, so an emulator registered earlier cannot answer for the kernel.
probe_runs_32bit() {
    local probe=$state/probe32
    mkdir -p "$state"
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x01' >"$probe"
    printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$probe"
    printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' >>"$probe"
    printf '\x00\x00\x00\x00' >>"$probe"
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$probe"
    printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$probe"
    printf '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >>"$probe"
    chmod +x "$probe"
    local rc=0
    "$probe" 2>/dev/null || rc=$?
    [ "$rc" -eq 42 ]
}

apt_opts() {
    echo -o Dir::Etc::sourcelist="$state/apt/sources.list" -o Dir::Etc::sourceparts=- \
        -o Dir::State::Lists="$state/apt/lists" -o Dir::Cache="$state/apt/cache" \
        -o Debug::NoLocking=1 -o APT::Sandbox::User=root
}

# The machine's own Debian mirror: the first deb822 URIs line or one-line
# entry that serves the release itself.
debian_mirror() {
    local codename=$1 f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk -v c="$codename" '
            /^URIs:/ { u = $2 }
            /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == c) found = 1 }
            /^$/ { if (found && u != "") { print u; exit } u = ""; found = 0 }
            END { if (found && u != "") print u }' "$f" | head -n1
    done | head -n1
    [ -f /etc/apt/sources.list ] &&
        awk -v c="$codename" '$1 == "deb" && $3 == c { print $2; exit }' /etc/apt/sources.list
    return 0
}

qemu_ok() {
    local major
    [ -x "$state/qemu/usr/bin/qemu-i386" ] || return 1
    major=$("$state/qemu/usr/bin/qemu-i386" --version | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')
    [ -n "$major" ] && [ "$major" -ge 10 ]
}

fetch_qemu() {
    qemu_ok && return 0
    local codename mirror
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    mirror=$(debian_mirror "$codename" | head -n1)
    [ -n "$mirror" ] || { echo "wine-route: no Debian mirror for $codename in the apt sources" >&2; return 1; }
    echo "wine-route: fetching qemu-user from $codename-backports"
    rm -rf "$state/apt" "$state/qemu"
    mkdir -p "$state/apt/lists/partial" "$state/apt/cache/archives/partial" "$state/qemu"
    echo "deb $mirror $codename-backports main" >"$state/apt/sources.list"
    local out deb
    # shellcheck disable=SC2046
    if ! out=$(apt-get -qq $(apt_opts) update 2>&1) ||
        ! out=$(cd "$state/apt" && apt-get -qq $(apt_opts) download qemu-user 2>&1); then
        echo "wine-route: could not fetch qemu-user from $codename-backports at $mirror: $(grep -m1 '^E:' <<<"$out" || tail -n1 <<<"$out")" >&2
        return 1
    fi
    deb=$(ls "$state"/apt/qemu-user_*.deb 2>/dev/null | head -n1)
    [ -n "$deb" ] || { echo "wine-route: could not fetch qemu-user from $codename-backports at $mirror: no package downloaded" >&2; return 1; }
    dpkg-deb -x "$deb" "$state/qemu"
    rm -rf "$state/apt"
    qemu_ok || { echo "wine-route: qemu-i386 10 or later is needed" >&2; return 1; }
}

build_preload() {
    # gcc-multilib comes with the one package list of install-deps.sh.
    if ! dpkg-query -W -f='${Status}' gcc-multilib 2>/dev/null | grep -q "install ok installed"; then
        echo "wine-route: gcc-multilib is not installed (run scripts/install-deps.sh)" >&2
        return 1
    fi
    local src=$root/tests/platform/trapno_fix.c lib=$state/lib
    mkdir -p "$lib/i386-linux-gnu" "$lib/x86_64-linux-gnu"
    # $LIB is lib/<triplet>, so DIR/$LIB lands in $state/lib/<triplet>.
    [ "$lib/i386-linux-gnu/libsetup_trapno.so" -nt "$src" ] && return 0
    gcc -m32 -O2 -Wall -Wextra -fPIC -shared -fno-stack-protector \
        -o "$lib/i386-linux-gnu/libsetup_trapno.so" "$src" -ldl
    gcc -O2 -fPIC -shared -o "$lib/x86_64-linux-gnu/libsetup_trapno.so" "$src"
}

register() {
    local qemu=$state/qemu/usr/bin/qemu-i386
    [ -e "$binfmt/register" ] || $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
    if [ -e "$binfmt/$entry" ]; then
        if grep -qx "interpreter $qemu" "$binfmt/$entry" && grep -qx enabled "$binfmt/$entry"; then
            return 0
        fi
        echo -1 | $sudo tee "$binfmt/$entry" >/dev/null
    fi
    # Debian's magic and mask for i386 ELF executables and shared objects.
    # F: the kernel opens qemu now, so the entry works in any mount
    # namespace and survives a rebuilt build/ tree.
    printf ':%s:M::%s:%s:%s:F' "$entry" \
        '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00' \
        '\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff' \
        "$qemu" | $sudo tee "$binfmt/register" >/dev/null
}

unregister() {
    [ -e "$binfmt/$entry" ] || return 0
    echo -1 | $sudo tee "$binfmt/$entry" >/dev/null
}

write_env() {
    local route=$1 why=$2
    mkdir -p "$(dirname "$envfile")"
    {
        echo "# Written by scripts/wine-route.sh: how Wine runs on this machine."
        echo "SETUP_WINE_ROUTE=$route"
        echo "SETUP_WINE_ROUTE_WHY='$why'"
        if [ "$route" = emulated ]; then
            # For the scripts that start Wine, which source this file; glibc
            # expands $LIB to lib/i386-linux-gnu or lib/x86_64-linux-gnu.
            # Others read the route in a subshell, so that their own
            # programs (the native tests under ASan) run without it.
            echo "export LD_PRELOAD='$state/\$LIB/libsetup_trapno.so'"
        fi
    } >"$envfile"
}

setup() {
    local want=${SETUP_WINE_ROUTE:-auto}
    case $want in
    native)
        unregister
        write_env native "chosen by SETUP_WINE_ROUTE=native"
        return 0
        ;;
    emulated | auto) ;;
    *)
        echo "wine-route: SETUP_WINE_ROUTE is native, emulated or unset, not '$want'" >&2
        return 1
        ;;
    esac
    local why
    if probe_runs_32bit; then
        if [ "$want" = auto ]; then
            # An entry left by a forced run that was killed would make
            # this native machine emulate.
            unregister
            write_env native "this machine runs 32-bit x86 code"
            return 0
        fi
        why="forced by SETUP_WINE_ROUTE=emulated"
    else
        why="this machine runs no 32-bit x86 code"
    fi
    fetch_qemu
    build_preload
    register
    write_env emulated "$why, qemu-i386 $("$state/qemu/usr/bin/qemu-i386" --version | sed -n 's/^qemu-i386 version \([^ ]*\).*/\1/p')"
}

# A forced entry is the run's own; the one a machine without 32-bit support
# needs stays, as Debian's qemu-user-binfmt would leave it.
release() {
    [ -f "$envfile" ] || return 0
    grep -q "forced by" "$envfile" && unregister
    return 0
}

case ${1:-} in
setup) setup ;;
release) release ;;
probe) probe_runs_32bit && echo "runs 32-bit code" || echo "runs no 32-bit code" ;;
*)
    echo "usage: $0 setup|release|probe" >&2
    exit 2
    ;;
esac
