#!/usr/bin/env bash
# Usage: tests/dist/check-signed.sh WORK UNSIGNED_TAVREL
#        tests/dist/check-signed.sh --run WORK E2E_PROGRAM
#
# Makes a throwaway self-signed code-signing certificate, runs scripts/dist.sh with it, and checks
# that osslsigncode verifies each signed program against that certificate (trusted here only because
# it is named; from anyone else an untrusted chain is expected) and that signing is the same bytes as
# signing the unsigned UNSIGNED_TAVREL by hand with the same certificate and time (no timestamp
# server). With --run, after that: the signed 32-bit Tavrel.exe in WORK still starts and saves, one
# end-to-end case of E2E_PROGRAM under Wine; where 32-bit code cannot run, skipped with the reason.
# Two steps, so that only the second needs the display.
set -u -o pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

if [ "${1:-}" = --run ] && [ $# -eq 3 ]; then
    work=$2 e2e=$3
    signed32=$(ls "$work/unpacked"/*-win32/Tavrel.exe) || { echo "FAIL: no signed Tavrel.exe in $work"; exit 1; }
    if ! reason=$("$repo/scripts/can-run-32bit.sh"); then
        echo "skipped: the signed 32-bit Tavrel.exe cannot be started here: $reason"
        exit 77
    fi
    "$repo/tests/windows/wine-run.sh" "$e2e" --gtest_filter=SettingsDialog.TypedAddressNormalised \
        "$signed32" || { echo "FAIL: the signed Tavrel.exe does not pass the end-to-end case"; exit 1; }
    exit 0
fi
if [ $# -ne 2 ]; then
    echo "usage: $0 WORK UNSIGNED_TAVREL | --run WORK E2E_PROGRAM" >&2
    exit 2
fi
work=$1 unsigned=$2
epoch=$(git -C "$repo" log -1 --format=%ct) || exit 2

rm -rf "$work" && mkdir -p "$work/cert" || exit 2
cert=$work/cert
head -c 24 /dev/urandom | base64 >"$cert/password"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$cert/key.pem" -out "$cert/cert.pem" -days 30 \
    -subj "/CN=Tavrel test signing" -addext "extendedKeyUsage=codeSigning" >"$cert/openssl.log" 2>&1 &&
    openssl pkcs12 -export -inkey "$cert/key.pem" -in "$cert/cert.pem" -out "$cert/cert.p12" \
        -passout "file:$cert/password" >>"$cert/openssl.log" 2>&1 ||
    { cat "$cert/openssl.log"; echo "FAIL: could not make a certificate"; exit 2; }

SOURCE_DATE_EPOCH=$epoch TAVREL_DIST_DIR=$work/dist TAVREL_DIST_BUILD=$work/build \
    TAVREL_SIGN_PKCS12=$cert/cert.p12 TAVREL_SIGN_PASSWORD_FILE=$cert/password \
    "$repo/scripts/dist.sh" >"$work/dist.log" 2>&1 || { cat "$work/dist.log"; echo "FAIL: make dist failed"; exit 1; }
grep -q 'dist: signed with' "$work/dist.log" || { cat "$work/dist.log"; echo "FAIL: make dist did not say it signed"; exit 1; }

status=0
for zip in "$work/dist/"*.zip; do
    python3 -m zipfile -e "$zip" "$work/unpacked" || exit 1
done
for exe in "$work/unpacked"/*/*.exe; do
    if ! osslsigncode verify -in "$exe" -CAfile "$cert/cert.pem" >"$work/verify.log" 2>&1; then
        cat "$work/verify.log"
        echo "FAIL: the signature of $exe does not verify"
        status=1
    fi
done

signed32=$(ls "$work/unpacked"/*-win32/Tavrel.exe)
osslsigncode sign -pkcs12 "$cert/cert.p12" -readpass "$cert/password" -h sha256 -n Tavrel -time "$epoch" \
    -in "$unsigned" -out "$work/by-hand.exe" >"$work/sign.log" 2>&1 || { cat "$work/sign.log"; exit 1; }
if ! cmp "$signed32" "$work/by-hand.exe"; then
    echo "FAIL: the signed Tavrel.exe is not the tested one signed with the same certificate and time"
    status=1
fi

exit "$status"
