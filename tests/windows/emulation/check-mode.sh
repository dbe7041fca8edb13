#!/usr/bin/env bash
# Usage: check-mode.sh (inside a Wine session of the 32-bit run)
#
# Checks that 32-bit Wine programs run the way scripts/with-32bit.sh said: under the qemu-i386 it
# fetched when it emulates (TAVREL_QEMU), as 32-bit x86 code of their own otherwise. A 32-bit
# cmd.exe is kept waiting on its input while the kernel is asked what it runs in that process.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/wine-settings.sh"

if [ -n "${TAVREL_32BIT_UNAVAILABLE:-}" ]; then
    echo "skipped: no 32-bit program runs here: $TAVREL_32BIT_UNAVAILABLE"
    exit 77
fi

sleep 60 | "$TAVREL_WINE32" cmd.exe >/dev/null 2>&1 &
wine=$!
# The pipeline's last process becomes Wine's loader, then its preloader; either will do.
exe=
for _ in $(seq 300); do
    exe=$(readlink "/proc/$wine/exe" 2>/dev/null)
    case $exe in */wine | */wine-preloader | */qemu-i386) break ;; esac
    sleep 0.1
done
pkill -P $$ sleep 2>/dev/null
kill "$wine" 2>/dev/null
wait 2>/dev/null

if [ -n "${TAVREL_QEMU:-}" ]; then
    if [ "$exe" != "$(readlink -f "$TAVREL_QEMU")" ]; then
        echo "a 32-bit Wine program runs as '$exe', not under $TAVREL_QEMU"
        exit 1
    fi
    echo "32-bit Wine runs under $exe: $("$exe" --version | head -n 1)"
else
    case $exe in
    */wine | */wine-preloader) echo "32-bit Wine runs as 32-bit code: $exe" ;;
    *)
        echo "a 32-bit Wine program runs as '$exe', not as Wine's own 32-bit loader"
        exit 1
        ;;
    esac
fi
