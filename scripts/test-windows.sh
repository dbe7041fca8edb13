#!/usr/bin/env bash
# Usage: scripts/test-windows.sh
#
# Runs the Windows suites of both presets at once, each in a Wine session of its own (its own Xvfb
# and prefix, so their keyboards and windows never meet): the 32-bit one through with-32bit.sh,
# emulated where the kernel refuses 32-bit code, and the 64-bit one beside it. Each line is marked
# with its preset. Fails when either fails.
set -u

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo" || exit 1

# lane PRESET CMD...: runs CMD with its output marked, and leaves its status in build/PRESET.status.
lane() {
    local preset=$1
    shift
    "$@" 2>&1 | sed -u "s/^/[$preset] /"
    echo "${PIPESTATUS[0]}" >"build/$preset.status"
}

rm -f build/win32.status build/win64.status
lane win64 scripts/wine-session.sh ctest --preset win64 &
lane64=$!
WINEPREFIX=$repo/build/wineprefix-win32 lane win32 scripts/with-32bit.sh scripts/wine-session.sh ctest --preset win32
wait "$lane64"

status=0
for preset in win32 win64; do
    result=$(cat "build/$preset.status" 2>/dev/null)
    [ "$result" = 0 ] || { echo "$preset: the Windows suites failed (status ${result:-unknown})"; status=1; }
done
exit "$status"
