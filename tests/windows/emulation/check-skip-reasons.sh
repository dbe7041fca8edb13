#!/usr/bin/env bash
# Usage: check-skip-reasons.sh (inside a Wine session of the 32-bit run)
#
# Makes each condition that rules out user-mode emulation fail in turn and checks that
# scripts/with-32bit.sh says the reason on one line and that the 32-bit tests would report the same
# reason when skipped: a kernel older than 6.7, no user namespaces, the package unreachable, and a
# qemu slower than the limit (a limit of 0 s, so any measured start is too slow).
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/old-kernel" "$scratch/no-userns"
printf '#!/bin/sh\necho 6.6.30-amd64\n' >"$scratch/old-kernel/uname"
printf '#!/bin/sh\necho "unshare: unshare failed: Operation not permitted" >&2\nexit 1\n' >"$scratch/no-userns/unshare"
chmod +x "$scratch"/*/*

if [ -n "${TAVREL_32BIT_UNAVAILABLE:-}" ]; then
    echo "skipped: not even emulation runs 32-bit programs here: $TAVREL_32BIT_UNAVAILABLE"
    exit 77
fi

failures=0
# check NAME EXPECTED [VAR=VALUE...]: runs can-run-32bit.sh through with-32bit.sh, emulation forced.
check() {
    local name=$1 expected=$2 said reason status
    shift 2
    reason=$(env -u TAVREL_QEMU -u TAVREL_32BIT_UNAVAILABLE TAVREL_32BIT=emulated "$@" \
        "$repo/scripts/with-32bit.sh" "$repo/scripts/can-run-32bit.sh" 2>"$scratch/said")
    status=$?
    said=$(cat "$scratch/said")
    echo "$name: $said"
    if [ "$(wc -l <"$scratch/said")" -ne 1 ] || [[ $said != *"cannot run here: "*"$expected"* ]]; then
        echo "  expected one line saying: ... $expected ..."
        failures=$((failures + 1))
    elif [ "$status" -ne 1 ] || [ "with-32bit: 32-bit programs cannot run here: $reason" != "$said" ]; then
        echo "  the 32-bit tests would report something else (status $status): $reason"
        failures=$((failures + 1))
    fi
}

check "kernel 6.6" "6.6.30-amd64, older than 6.7" PATH="$scratch/old-kernel:$PATH"
check "no user namespaces" "user namespaces are not allowed" PATH="$scratch/no-userns:$PATH"
check "package unreachable" "qemu-user is unreachable" \
    TAVREL_QEMU_DIR="$scratch/qemu" TAVREL_QEMU_MIRROR=http://127.0.0.1:9/debian
check "too slow" "too slow: one 32-bit Wine start took" TAVREL_32BIT_START_LIMIT=0
exit $((failures > 0))
