#!/bin/bash
# signed.sh SOURCE_DIR PROGRAMS_DIR WORK TEMPLATE E2E_TESTS
# release.sh signs with the certificate it is given: with a throwaway
# certificate and password-protected key made here, every program's
# signature must verify (osslsigncode verify, trusting only that
# certificate), removing it must give back the plain build's bytes, the
# header checksum must be right, and with SOURCE_DATE_EPOCH a second
# signing must give the same bytes.  Incomplete signing inputs must stop
# the release instead of shipping it unsigned.  Then the signed
# M270Setup_en_win7.exe, laid out in its sample package, must still do a
# whole install under Wine (E2E_TESTS run through scripts/wine-run.sh with
# the prefix TEMPLATE; SETUP_PROGRAM and the rest come from the test's
# environment and name WORK/package).
set -u
src=$1 programs=$2 work=$3 template=$4 e2e=$5
here=$(cd "$(dirname "$0")" && pwd)
skip() {
    echo "skipped: $*"
    exit 77
}
for tool in osslsigncode openssl python3 mscompress; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (run scripts/install-deps.sh)"
done
deliverables=(M470Setup_ko_win7 M270Setup_ko_vista M270Setup_en_win7 M270Setup_en_vista)
epoch=$(sed -n 's/^SETUP_SOURCE_DATE_EPOCH:STRING=//p' "$programs/CMakeCache.txt")
release=$src/scripts/release.sh
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

echo "throwaway-password" >pass
openssl req -x509 -newkey rsa:2048 -keyout key.pem -out cert.pem -days 2 -passout file:pass \
    -subj "/CN=Throwaway Signing Test" -addext "extendedKeyUsage=codeSigning" \
    -addext "keyUsage=critical,digitalSignature" >openssl.log 2>&1 ||
    { cat openssl.log; echo "FAIL: making the throwaway certificate"; exit 1; }
sign=(--programs "$programs" --cert cert.pem --key key.pem --pass-file pass --ca-file cert.pem)

# Inputs that must stop the release, saying why and leaving none behind.
while read -r why args; do
    rm -rf refused
    # shellcheck disable=SC2086
    if "$release" --programs "$programs" --out refused $args </dev/null >refused.log 2>&1; then
        fail "$why: release.sh succeeded"
    elif [ -e refused ] || compgen -G "refused.??????" >/dev/null; then
        fail "$why: a release was left behind"
    elif ! grep -q "^release.sh: " refused.log; then
        fail "$why: refused without saying why"
    fi
done <<'EOF'
certificate-without-key --cert cert.pem
key-without-certificate --key key.pem
pkcs12-and-pair         --pkcs12 cert.pem --cert cert.pem --key key.pem
password-without-cert   --pass-file pass
wrong-password          --cert cert.pem --key key.pem --pass-file cert.pem --ca-file cert.pem
untrusted-signer        --cert cert.pem --key key.pem --pass-file pass
EOF

SOURCE_DATE_EPOCH=1765000000 "$release" "${sign[@]}" --out dist >sign.log 2>&1 ||
    { cat sign.log; echo "FAIL: release.sh with a certificate"; exit 1; }
grep -q "are signed" sign.log || fail "release.sh did not say the programs are signed"
SOURCE_DATE_EPOCH=1765000000 "$release" "${sign[@]}" --out again >/dev/null 2>&1 ||
    fail "signing again"
cmp -s dist/SHA256SUMS again/SHA256SUMS || fail "two signings at one SOURCE_DATE_EPOCH differ"
(cd dist && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not check"
for d in "${deliverables[@]}"; do
    exe=dist/$d/$d.exe
    osslsigncode verify -CAfile cert.pem -in "$exe" >verify.log 2>&1 ||
        { cat verify.log; fail "$d: the signature does not verify"; }
    rm -f unsigned.exe # osslsigncode overwrites no file
    if ! osslsigncode remove-signature -in "$exe" -out unsigned.exe >/dev/null 2>&1 ||
        ! cmp -s unsigned.exe "$programs/$d.exe"; then
        fail "$d: without its signature it is not the plain build"
    fi
done
python3 "$here/pe_header.py" "$epoch" dist/*/*.exe || fail "a signed program's header"
[ $failed -eq 0 ] || exit 1

# The signed program in the sample package, through one whole install.
"$src/scripts/lay-out-package.sh" M270 "$src/samples" "$programs/M270.DLL" \
    dist/M270Setup_en_win7/M270Setup_en_win7.exe package/M270Setup_en_win7 || exit 1
exec "$src/scripts/wine-run.sh" "$template" "$e2e" \
    --gtest_filter=Install.ChosenModelAndPortAreInstalledAndMadeDefault
