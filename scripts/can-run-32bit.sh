#!/usr/bin/env bash
# Usage: scripts/can-run-32bit.sh [--as-skipped-test]
#
# Succeeds when this machine can run the 32-bit Windows build under Wine: the kernel runs 32-bit x86
# code and Wine's 32-bit half is installed. Otherwise prints the reason on one line and fails, with
# status 77 and the line starting "skipped: " when asked to stand in for the 32-bit tests.
. "$(dirname "${BASH_SOURCE[0]}")/wine-settings.sh"
reason=${TAVREL_32BIT_UNAVAILABLE:-}
if [ -n "$reason" ]; then
    : # scripts/with-32bit.sh found that not even emulation can run it
elif [ ! -e "$TAVREL_LOADER32" ]; then
    reason="no 32-bit x86 runtime ($TAVREL_LOADER32 is missing; install wine32:i386)"
elif ! tavrel_kernel_runs_32bit; then
    reason="this machine's kernel cannot run 32-bit x86 code ($TAVREL_LOADER32 does not start)"
elif [ ! -x "$TAVREL_WINE32" ]; then
    reason="32-bit Wine is not installed (install wine32:i386)"
fi

if [ "${1:-}" = --as-skipped-test ]; then
    if [ -n "$reason" ]; then
        echo "skipped: the 32-bit test programs cannot run: $reason"
        exit 77
    fi
    echo "32-bit code runs here now: run CTest again to find the 32-bit cases"
    exit 1
fi
[ -z "$reason" ] && exit 0
echo "$reason"
exit 1
