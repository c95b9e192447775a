#!/bin/bash
# install-deps.sh against a stand-in apt-get first on PATH (with dpkg,
# dpkg-query, id and sleep stand-ins, so nothing on the machine is asked or
# changed), and a stand-in wine-route.sh beside a copy of the script.
#   1. update fails twice, the first install cannot be resolved: the script
#      retries the update, falls back to the release's suite and succeeds;
#   2. every call fails: the script ends non-zero with one line that names
#      the packages and apt's reason.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/scripts"
cp "$root/scripts/install-deps.sh" "$work/scripts/"
printf '#!/bin/sh\necho "wine-route $*" >>"$CALLS"\n' >"$work/scripts/wine-route.sh"
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/bash
echo "apt-get $*" >>"$CALLS"
n=$(grep -c "^apt-get .*$1" "$CALLS")
case $1 in
update)
    [ "$n" -gt "$UPDATE_FAILS" ] && exit 0
    echo "E: Failed to fetch http://mirror.invalid/debian-security/dists/x/main/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?" >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100 ;;
install)
    [ "$n" -gt "$INSTALL_FAILS" ] && exit 0
    echo "Some packages could not be installed." >&2
    echo "E: Unable to correct problems, you have held broken packages." >&2
    exit 100 ;;
esac
STUB
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\necho i386\n' >"$work/bin/dpkg"
printf '#!/bin/sh\necho 0\n' >"$work/bin/id"
printf '#!/bin/sh\necho "sleep $*" >>"$CALLS"\n' >"$work/bin/sleep"
chmod +x "$work"/bin/* "$work/scripts/"*

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
run() { # UPDATE_FAILS INSTALL_FAILS
    : >"$work/calls"
    CALLS=$work/calls UPDATE_FAILS=$1 INSTALL_FAILS=$2 PATH="$work/bin:$PATH" \
        "$work/scripts/install-deps.sh" >"$work/out" 2>"$work/err"
}

# 1. A failing index, then a skew that only the release's suite resolves.
run 5 1 && rc=0 || rc=$?
[ "$rc" -eq 0 ] || fail "a fallback that works: exit $rc ($(cat "$work/err"))"
[ "$(grep -c '^apt-get update' "$work/calls")" -eq 3 ] || fail "update not tried 3 times"
[ "$(grep -c '^sleep' "$work/calls")" -eq 2 ] || fail "no pause between the update tries"
grep -q '^apt-get install .* -t [a-z]' "$work/calls" || fail "no install with the release as the target"
grep -q 'update failed 3 times (http://mirror.invalid/.*binary-i386/Packages.xz)' "$work/out" ||
    fail "the failed index is not named: $(cat "$work/out")"
grep -q '^wine-route setup$' "$work/calls" || fail "the route was not set up after the install"

# 2. An update that recovers, and a first install that works: no fallback.
run 1 0 || fail "a second update that works: exit $?"
[ "$(grep -c '^apt-get update' "$work/calls")" -eq 2 ] || fail "update tried again after it worked"
grep -q -- ' -t ' "$work/calls" && fail "fallback taken though the install worked"
grep -q 'update failed' "$work/out" && fail "a recovered update reported as failed"

# 3. Nothing resolves: one line, the packages and apt's reason.
run 5 5 && fail "an install that never resolves ended with 0"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "more than one line of failure: $(cat "$work/err")"
grep -q '^install-deps: could not install .*wine32:i386.*: E: Unable to correct problems' "$work/err" ||
    fail "the failure does not name the packages and apt's reason: $(cat "$work/err")"
grep -q '^wine-route' "$work/calls" && fail "the route was set up after a failed install"

[ "$failures" -eq 0 ] && echo "install-deps: 3 cases passed"
exit $((failures > 0))
