#!/bin/bash
# release.sh [OPTIONS]
# Builds the four programs from a fresh build tree and makes, in dist/, one
# folder and one zip per deliverable holding the program, and SHA256SUMS
# over all of them.  Given a code-signing certificate and its key, it signs
# every program with Authenticode (osslsigncode) and checks each signature;
# without them the programs are left unsigned, byte for byte the plain build.
#
#   --out DIR          where the release goes (default dist/ in the
#                      repository); a previous release there is replaced,
#                      a folder holding anything else is refused
#   --build-dir DIR    the build tree, made afresh (default build/release);
#                      likewise only an earlier build tree is replaced
#   --programs DIR     take the four programs already built in DIR instead
#                      of building them (e.g. to sign on another machine)
#   --cert FILE        certificate (PEM or DER; a PEM file may hold the chain)
#   --key FILE         its private key (PEM or DER)
#   --pkcs12 FILE      certificate and key in one PKCS#12 file, instead
#   --pass-file FILE   the key's password, on the file's first line
#   --ca-file FILE     trusted roots for the check (default: the system's)
#   --timestamp-url U  an RFC 3161 time-stamp server for the signatures
# Each option may come from the environment instead: SETUP_SIGN_CERT,
# SETUP_SIGN_KEY, SETUP_SIGN_PKCS12, SETUP_SIGN_PASS_FILE, SETUP_SIGN_CAFILE,
# SETUP_SIGN_TIMESTAMP_URL (an option wins over its variable).
# SOURCE_DATE_EPOCH, when set, is the time in the programs' PE headers, in
# the zips and in the signatures; otherwise the headers say zero, the zips
# 1980-01-01 and the signatures the time of signing.
set -eu
export LC_ALL=C TZ=UTC
umask 022
die() {
    echo "release.sh: $*" >&2
    exit 1
}

root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/dist build=$root/build/release programs=
cert=${SETUP_SIGN_CERT:-} key=${SETUP_SIGN_KEY:-} pkcs12=${SETUP_SIGN_PKCS12:-}
pass_file=${SETUP_SIGN_PASS_FILE:-} ca_file=${SETUP_SIGN_CAFILE:-}
ts_url=${SETUP_SIGN_TIMESTAMP_URL:-}
while [ $# -gt 0 ]; do
    [ $# -ge 2 ] || die "$1 needs a value"
    case $1 in
    --out) out=$2 ;;
    --build-dir) build=$2 ;;
    --programs) programs=$2 ;;
    --cert) cert=$2 ;;
    --key) key=$2 ;;
    --pkcs12) pkcs12=$2 ;;
    --pass-file) pass_file=$2 ;;
    --ca-file) ca_file=$2 ;;
    --timestamp-url) ts_url=$2 ;;
    *) die "unknown option $1" ;;
    esac
    shift 2
done
# Paths given relative to where the command was started.
for v in out build programs cert key pkcs12 pass_file ca_file; do
    [ -z "${!v}" ] || printf -v "$v" '%s' "$(realpath -m -- "${!v}")"
done
[ "$out" != "$build" ] || die "--out and --build-dir must differ"
case ${SOURCE_DATE_EPOCH:-0} in
'' | *[!0-9]*) die "SOURCE_DATE_EPOCH must be a Unix time, not '$SOURCE_DATE_EPOCH'" ;;
esac
cd "$root"

# What to sign with: a certificate with its key, a PKCS#12 file, or nothing.
# Half of a pair is a mistake, never a reason to ship unsigned.
sign=()
if [ -n "$pkcs12" ]; then
    [ -z "$cert$key" ] || die "give --pkcs12 or --cert with --key, not both"
    sign=(-pkcs12 "$pkcs12")
elif [ -n "$cert$key" ]; then
    if [ -z "$cert" ] || [ -z "$key" ]; then
        die "a certificate needs its key (--cert and --key)"
    fi
    sign=(-certs "$cert" -key "$key")
fi
if [ ${#sign[@]} -gt 0 ]; then
    command -v osslsigncode >/dev/null || die "osslsigncode is not installed (run scripts/install-deps.sh)"
    for f in "$cert" "$key" "$pkcs12" "$pass_file" "$ca_file"; do
        [ -z "$f" ] || [ -r "$f" ] || die "cannot read $f"
    done
    [ -z "$pass_file" ] || sign+=(-readpass "$pass_file")
    [ -z "$ts_url" ] || sign+=(-ts "$ts_url")
    [ -z "${SOURCE_DATE_EPOCH:-}" ] || sign+=(-time "$SOURCE_DATE_EPOCH")
    verify=()
    [ -z "$ca_file" ] || verify=(-CAfile "$ca_file")
elif [ -n "$pass_file$ca_file$ts_url" ]; then
    die "--pass-file, --ca-file and --timestamp-url need a certificate"
fi

# Refuses DIR unless it is missing, empty, or what this command made there
# before (it holds MARK).
check_replaceable() {
    [ -e "$1" ] || return 0
    [ -d "$1" ] || die "$1 is not a folder"
    [ -f "$1/$2" ] || [ -z "$(ls -A "$1")" ] ||
        die "$1 holds something this command did not make; not replacing it"
}
check_replaceable "$out" SHA256SUMS

deliverables=(M470Setup_ko_win7 M270Setup_ko_vista M270Setup_en_win7 M270Setup_en_vista)
if [ -z "$programs" ]; then
    # A release is built by the compilers alone, without a compiler cache.
    unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
    check_replaceable "$build" CMakeCache.txt
    rm -rf "$build"
    mkdir -p "$(dirname "$build")"
    log=$build.log
    { cmake -S . -B "$build" --toolchain cmake/toolchain-mingw.cmake -DCMAKE_BUILD_TYPE=Release &&
        cmake --build "$build" -j"$(nproc)" --target "${deliverables[@]}"; } >"$log" 2>&1 ||
        { tail -n 40 "$log" >&2; die "building in $build failed (log: $log)"; }
    programs=$build
fi
for d in "${deliverables[@]}"; do
    [ -f "$programs/$d.exe" ] || die "no $programs/$d.exe"
done

# The release is made beside its place and moved there only when whole, so
# that a failed signing leaves the previous release, or none.
mkdir -p "$(dirname "$out")"
stage=$(mktemp -d "$out.XXXXXX")
trap 'rm -rf "$stage"' EXIT
chmod 755 "$stage"
for d in "${deliverables[@]}"; do
    mkdir "$stage/$d"
    if [ ${#sign[@]} -gt 0 ]; then
        osslsigncode sign "${sign[@]}" -h sha256 -n "$d" -in "$programs/$d.exe" \
            -out "$stage/$d/$d.exe" </dev/null >"$stage/sign.log" 2>&1 ||
            { cat "$stage/sign.log" >&2; die "signing $d.exe failed"; }
        osslsigncode verify "${verify[@]}" -in "$stage/$d/$d.exe" >"$stage/sign.log" 2>&1 ||
            { cat "$stage/sign.log" >&2; die "the signature of $d.exe does not verify"; }
        rm "$stage/sign.log"
    else
        cp "$programs/$d.exe" "$stage/$d/$d.exe"
    fi
    python3 scripts/make_zip.py "$stage/$d.zip" "$stage/$d" "${SOURCE_DATE_EPOCH:-}"
done
(cd "$stage" && sha256sum -- */*.exe *.zip >SHA256SUMS)
rm -rf "$out"
mv "$stage" "$out"
trap - EXIT

echo "release in $out:"
sed 's/^/  /' "$out/SHA256SUMS"
if [ ${#sign[@]} -gt 0 ]; then
    echo "the programs are signed (Authenticode, SHA-256), and each signature verifies"
else
    echo "the programs are UNSIGNED: no certificate given (--cert and --key, or --pkcs12)"
fi
