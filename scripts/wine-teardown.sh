#!/bin/bash
# wine-teardown.sh PREFIX [LABEL]
# Ends everything a Wine prefix still runs, within a few seconds: the
# prefix's wineserver (wineserver -k), then every process whose environment
# names the prefix (WINEPREFIX=PREFIX, read from /proc/PID/environ), by its
# PID: SIGTERM, and SIGKILL for what is still there a moment later.  A
# process that had to be ended is named in one line on stderr, prefixed
# with LABEL (default "wine-teardown").  The caller and its ancestors (which
# exported WINEPREFIX themselves) are left alone.
#
# Exits 0 when nothing of the prefix is left, 1 when a process outlived
# SIGKILL (named too).  wine-teardown.sh --list PREFIX only prints the PIDs
# of the prefix's processes, one a line.
#
# Why it is needed: Wine's background processes (services, winedevice,
# plugplay, rpcss, explorer) are meant to end with the wineserver, but under
# qemu-user one of them can stay behind, orphaned; one that holds a test's
# output keeps ctest waiting until the test's time-out.
set -u
list_only=
if [ "${1:-}" = --list ]; then
    list_only=1
    shift
fi
prefix=${1:?usage: wine-teardown.sh [--list] PREFIX [LABEL]}
label=${2:-wine-teardown}
prefix=${prefix%/}
# Nothing this script starts may look like the prefix's.
unset WINEPREFIX

# The state letter of a process, from /proc/PID/stat (after the name, which
# may hold spaces and parentheses); empty when it is gone.
state_of() {
    local stat
    { read -r stat <"/proc/$1/stat"; } 2>/dev/null || return 0
    stat=${stat##*) }
    echo "${stat%% *}"
}

# A zombie has ended (nobody may reap it here) and holds no files.
alive() {
    case $(state_of "$1") in
    "" | Z | X) return 1 ;;
    esac
}

# This shell and its ancestors, up to init: they may carry WINEPREFIX too.
spared=" "
p=$$
while [ -n "$p" ] && [ "$p" -gt 1 ]; do
    spared+="$p "
    stat=
    { read -r stat <"/proc/$p/stat"; } 2>/dev/null
    stat=${stat##*) }
    read -r _ p _ <<<"$stat"
done

# The live PIDs whose environment has WINEPREFIX=PREFIX (or PREFIX/).
prefix_pids() {
    local f pid
    grep -lzxF -e "WINEPREFIX=$prefix" -e "WINEPREFIX=$prefix/" /proc/[0-9]*/environ 2>/dev/null |
        while read -r f; do
            pid=${f#/proc/}
            pid=${pid%/environ}
            case $spared in *" $pid "*) continue ;; esac
            if alive "$pid"; then echo "$pid"; fi
        done
}

if [ -n "$list_only" ]; then
    prefix_pids
    exit 0
fi

# The server asks its clients to end and ends itself; bounded, since a
# client that does not answer can keep it waiting.
WINEPREFIX=$prefix timeout -k 1 3 wineserver -k >/dev/null 2>&1

# Its clients take a moment to go; what is left after up to 1 s gets
# SIGTERM, and after up to 1.5 s more, SIGKILL.
for _ in $(seq 10); do
    [ -z "$(prefix_pids)" ] && exit 0
    sleep 0.1
done
declare -A names=()
for pid in $(prefix_pids); do
    name=$(cat "/proc/$pid/comm" 2>/dev/null) || continue
    kill -TERM "$pid" 2>/dev/null && names[$pid]=$name
done
[ ${#names[@]} -eq 0 ] && exit 0
left() {
    local pid
    for pid in "${!names[@]}"; do alive "$pid" && echo "$pid"; done
}
for signal in KILL ""; do
    for _ in $(seq 15); do
        [ -z "$(left)" ] && break
        sleep 0.1
    done
    [ -n "$signal" ] || break
    for pid in $(left); do kill "-$signal" "$pid" 2>/dev/null; done
done
status=0
for pid in "${!names[@]}"; do
    if alive "$pid"; then
        echo "$label: process $pid (${names[$pid]}) of the prefix outlived SIGKILL" >&2
        status=1
    else
        echo "$label: ended stray process $pid (${names[$pid]}) of the prefix" >&2
    fi
done
exit $status
