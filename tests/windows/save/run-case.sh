#!/usr/bin/env bash
# Usage: tests/windows/save/run-case.sh EXE [ARGS...]
#        tests/windows/save/run-case.sh --nobody-home
#
# The emulator of the save tests. The cases of the Unprivileged suite run as the user nobody, in
# nobody's own Wine prefix (made by prepare.sh), so that the system's permission checks apply as they
# do to a user on Windows; all else goes to wine-run.sh. --nobody-home prints where that prefix lives.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../../scripts/wine-loader.sh"
home=$(cd "$here/../../.." && pwd)/build/nobody-home

if [ "${1:-}" = --nobody-home ]; then
    echo "$home"
    exit 0
fi
# Elsewhere (not root, no prefix) the case finds prepare.sh's reason and is skipped.
case " $* " in
*" --gtest_filter=Unprivileged."*) ;;
*) exec "$here/../wine-run.sh" "$@" ;;
esac
if [ "$(id -u)" -ne 0 ] || [ ! -f "$home/wineprefix/.tavrel-ready" ]; then
    exec "$here/../wine-run.sh" "$@"
fi
exec timeout -k 10 "${TAVREL_RUN_TIMEOUT:-300}" runuser -u nobody -- env -u DISPLAY HOME="$home" \
    WINEPREFIX="$home/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" TAVREL_AS_NOBODY=1 \
    "$TAVREL_WINE64" "$@"
