#!/usr/bin/env bash
# Usage: scripts/test-windows.sh
#
# Runs the Windows suites of both presets at once, each in a Wine session of its own (its own Xvfb
# and prefix, so their keyboards and windows never meet): the 32-bit one through with-32bit.sh,
# emulated where the kernel refuses 32-bit code, and the 64-bit one beside it. Each line is marked
# with its preset. Fails when either fails.
set -u -o pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo" || exit 1

# lane PRESET CMD...: runs CMD with its output marked; its status is CMD's.
lane() {
    local preset=$1
    shift
    "$@" 2>&1 | sed -u "s/^/[$preset] /"
}

lane win64 scripts/wine-session.sh ctest --preset win64 &
lane64=$!
WINEPREFIX=$repo/build/wineprefix-win32 lane win32 scripts/with-32bit.sh scripts/wine-session.sh ctest --preset win32
status32=$?
wait "$lane64"
status64=$?

[ "$status32" -eq 0 ] || echo "win32: the Windows suites failed (status $status32)"
[ "$status64" -eq 0 ] || echo "win64: the Windows suites failed (status $status64)"
[ "$status32" -eq 0 ] && [ "$status64" -eq 0 ]
