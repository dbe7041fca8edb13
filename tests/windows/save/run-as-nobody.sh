#!/usr/bin/env bash
# Usage: tests/windows/save/run-as-nobody.sh HOME EXE [ARGS...]
#
# The emulator of the unprivileged save cases: runs the Windows program as the user nobody, in the
# Wine prefix that prepare-nobody.sh made in HOME. Before that prefix exists (CTest lists the cases
# before any fixture has run) or when not root, the program runs as the caller through wine-run.sh;
# its cases then find prepare-nobody.sh's reason and are skipped.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../../scripts/wine-settings.sh"

home=$1
shift
if [ "$(id -u)" -ne 0 ] || [ ! -f "$home/wineprefix/.tavrel-ready" ]; then
    exec "$here/../wine-run.sh" "$@"
fi
exec timeout -k 10 "${TAVREL_RUN_TIMEOUT:-300}" runuser -u nobody -- env -u DISPLAY HOME="$home" \
    WINEPREFIX="$home/wineprefix" "${tavrel_wine_env[@]}" TAVREL_AS_NOBODY=1 \
    "$TAVREL_WINE64" "$@"
