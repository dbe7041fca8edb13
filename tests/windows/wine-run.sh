#!/usr/bin/env bash
# Usage: tests/windows/wine-run.sh EXE [ARGS...]
#
# Runs one Windows program under wine64 and returns its exit code; CMake uses this as the
# cross-compiling emulator, so CTest runs every Windows test program through it. Inside a session of
# scripts/wine-session.sh the program runs in that session's prefix and display; outside one, a
# session is opened just for this program. The program is killed after TAVREL_RUN_TIMEOUT seconds
# (default 300) and the result is then 124.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ $# -eq 0 ]; then
    echo "usage: $0 EXE [ARGS...]" >&2
    exit 2
fi

if [ "${TAVREL_WINE_SESSION:-}" != 1 ]; then
    exec "$here/../../scripts/wine-session.sh" "$0" "$@"
fi

exec timeout -k 10 "${TAVREL_RUN_TIMEOUT:-300}" "$TAVREL_WINE64" "$@"
