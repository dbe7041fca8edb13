# shellcheck shell=bash
# Sourced by every script that starts Wine: the one place that names Wine's loaders and server
# (Debian's wine64 and wine32 packages, installed by scripts/install-deps.sh; set the TAVREL_WINE*
# variables beforehand to use another Wine), the environment Wine runs in, how a prefix of ours is
# made, and how to tell whether the kernel runs 32-bit x86 code.
TAVREL_WINE64=${TAVREL_WINE64:-/usr/lib/wine/wine64}
TAVREL_WINE32=${TAVREL_WINE32:-/usr/lib/wine/wine}
TAVREL_WINESERVER=${TAVREL_WINESERVER:-/usr/lib/wine/wineserver}
TAVREL_LOADER32=/lib/ld-linux.so.2
export TAVREL_WINE64 TAVREL_WINE32 TAVREL_WINESERVER

# What every Wine program of ours runs with, as arguments for env or export: no debug output, and
# Mono and Gecko left out (the first start of a prefix would otherwise stall on their installers).
# A test that needs more overrides appends to WINEDLLOVERRIDES with ";".
tavrel_wine_env=(WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml=")

# Whether the kernel runs 32-bit x86 code. A kernel built with 32-bit support may still have it
# switched off, so the 32-bit loader itself is started.
tavrel_kernel_runs_32bit() {
    "$TAVREL_LOADER32" --version >/dev/null 2>&1
}

# tavrel_make_prefix PREFIX [CMD...]: makes the Wine prefix PREFIX, once (PREFIX/.tavrel-ready marks a
# finished one), running Wine through CMD when given (for example runuser for another user: Wine
# refuses a prefix its user does not own). Fails when the prefix could not be made. Call it with any
# lock descriptor closed: the wineserver it starts outlives it.
# The prefix holds both halves of Wine where 32-bit code runs. One made before wine32 was installed,
# or while WINEPATH named 64-bit DLL folders, has an empty syswow64, in which every 32-bit program
# fails at once (c0000135): such a prefix is made again, and WINEPATH is left out while making it.
tavrel_make_prefix() {
    local prefix=$1 runs_32bit=
    shift
    [ -z "${TAVREL_32BIT_UNAVAILABLE:-}" ] && [ -x "$TAVREL_WINE32" ] && tavrel_kernel_runs_32bit && runs_32bit=1
    if [ -n "$runs_32bit" ] && [ -f "$prefix/.tavrel-ready" ] &&
        [ -z "$(ls -A "$prefix/drive_c/windows/syswow64" 2>/dev/null)" ]; then
        echo "the prefix $prefix lacks Wine's 32-bit half; making it again" >&2
        rm -rf "$prefix"
    fi
    [ -f "$prefix/.tavrel-ready" ] && return 0
    # The crash dialog is switched off: a crash would otherwise stay on screen until a time limit.
    timeout -k 5 300 "$@" env -u WINEPATH WINEPREFIX="$prefix" WINEARCH=win64 "${tavrel_wine_env[@]}" sh -c '
        "$1" wineboot --init >/dev/null 2>&1
        "$1" reg add "HKCU\Software\Wine\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        "$2" -w' sh "$TAVREL_WINE64" "$TAVREL_WINESERVER"
    [ -f "$prefix/system.reg" ] || return 1
    if [ -n "$runs_32bit" ] && [ -z "$(ls -A "$prefix/drive_c/windows/syswow64" 2>/dev/null)" ]; then
        echo "the new prefix $prefix has no 32-bit half: 32-bit programs will not start" >&2
    fi
    touch "$prefix/.tavrel-ready"
}
