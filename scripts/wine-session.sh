#!/usr/bin/env bash
# Usage: scripts/wine-session.sh CMD [ARGS...]
#
# Runs CMD in an environment where Windows programs can run under Wine: a Wine prefix of the
# project's own (created once), Wine's debug output and Mono/Gecko installers off, and an X display:
# the caller's DISPLAY when it is usable and TAVREL_HEADLESS is not 1, otherwise a private Xvfb on a
# free display number. At the end, also on failure or signal, the prefix's wineserver and the Xvfb
# started here are ended. The exit status is CMD's.
#
# Environment:
#   WINEPREFIX            prefix to use (default: build/wineprefix in the repository)
#   TAVREL_HEADLESS=1     always use a private Xvfb, even when DISPLAY is set
#   TAVREL_SCREEN         Xvfb screen geometry (default 1024x768x24)
#   TAVREL_LOCK_WAIT      seconds to wait for another session on the same prefix (default 900)
#   TAVREL_WINE_DESKTOP   size of a Wine virtual desktop that all windows open in, e.g. 1024x768, or
#                         "off"; default: 1024x768 on the private Xvfb, off on the caller's display
set -u

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ $# -eq 0 ]; then
    echo "usage: $0 CMD [ARGS...]" >&2
    exit 2
fi

say() { echo "wine-session: $*" >&2; }

. "$repo/scripts/wine-settings.sh"
wine64=$TAVREL_WINE64
wineserver=$TAVREL_WINESERVER
[ -x "$wine64" ] || { say "$wine64 not found (make deps installs it)"; exit 127; }
# Debian keeps wine64 outside PATH; the commands run inside the session expect to find it.
export PATH="$(dirname "$wine64"):$PATH"
export "${tavrel_wine_env[@]}"
export WINEPREFIX=${WINEPREFIX:-$repo/build/wineprefix}
case $WINEPREFIX in /*) ;; *) WINEPREFIX=$PWD/$WINEPREFIX ;; esac # Wine wants it absolute

xvfb_pid=
child_pid=
lock_fd=
cleaned=

# The process and all its descendants, by id (CMD may be a shell that started others).
process_tree() {
    local pid=$1 child
    echo "$pid"
    for child in $(pgrep -P "$pid" 2>/dev/null); do
        process_tree "$child"
    done
}

cleanup() {
    [ -n "$cleaned" ] && return
    cleaned=1
    if [ -n "$child_pid" ] && kill -0 "$child_pid" 2>/dev/null; then
        local tree
        tree=$(process_tree "$child_pid")
        kill -TERM $tree 2>/dev/null
        for _ in $(seq 50); do
            kill -0 "$child_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL $tree 2>/dev/null
    fi
    # The wineserver stays bound to the display it started with; end it with the display.
    timeout -k 2 20 "$wineserver" -k >/dev/null 2>&1
    if [ -n "$xvfb_pid" ]; then
        kill -TERM "$xvfb_pid" 2>/dev/null
        for _ in $(seq 50); do
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    [ -n "$xvfb_log" ] && rm -f "$xvfb_log"
}

on_signal() {
    local sig=$1 code=$2
    say "caught SIG$sig, cleaning up"
    [ -n "$child_pid" ] && kill -"$sig" $(process_tree "$child_pid") 2>/dev/null
    cleanup
    exit "$code"
}
xvfb_log=
trap cleanup EXIT
trap 'on_signal INT 130' INT
trap 'on_signal TERM 143' TERM
trap 'on_signal HUP 129' HUP

display_usable() {
    [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1
}

start_xvfb() {
    xvfb_log=$(mktemp "${TMPDIR:-/tmp}/tavrel-xvfb.XXXXXX") || return 1
    local numfile=$xvfb_log.display
    # -displayfd: the server picks a free display number and writes it once it accepts clients.
    Xvfb -displayfd 3 -screen 0 "${TAVREL_SCREEN:-1024x768x24}" -nolisten tcp \
        3>"$numfile" >"$xvfb_log" 2>&1 &
    xvfb_pid=$!
    local n=
    for _ in $(seq 100); do
        n=$(tr -dc 0-9 <"$numfile" 2>/dev/null)
        [ -n "$n" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$numfile"
    if [ -z "$n" ]; then
        say "Xvfb did not start:"
        cat "$xvfb_log" >&2
        return 1
    fi
    export DISPLAY=:$n
}

if [ "${TAVREL_HEADLESS:-0}" = 1 ] || ! display_usable; then
    start_xvfb || exit 1
fi

# Sessions that share a prefix take turns: the prefix's wineserver is bound to one display.
mkdir -p "$(dirname "$WINEPREFIX")" || exit 1
exec {lock_fd}>"$WINEPREFIX.lock" || exit 1
if ! flock -w "${TAVREL_LOCK_WAIT:-900}" "$lock_fd"; then
    say "another session holds $WINEPREFIX.lock"
    exit 1
fi
# A server left over from a killed session would still point at its dead display.
timeout -k 2 20 "$wineserver" -k >/dev/null 2>&1

if [ -e "$WINEPREFIX" ] && [ ! -O "$WINEPREFIX" ]; then
    say "$WINEPREFIX belongs to another user; Wine refuses it (set WINEPREFIX)"
    exit 1
fi

[ -f "$WINEPREFIX/.tavrel-ready" ] || say "creating Wine prefix $WINEPREFIX"
if ! tavrel_make_prefix "$WINEPREFIX" {lock_fd}>&-; then
    say "creating the prefix failed"
    exit 1
fi

# Debian's Wine does not load the fonts of fonts-wine from its data folder, so without them in the
# prefix the caption buttons' Marlett glyphs show as letters ("r" for the close box). Windows has
# them in its Fonts folder, and so does this prefix; checked each time for prefixes made before.
wine_fonts=/usr/share/wine/fonts
prefix_fonts=$WINEPREFIX/drive_c/windows/Fonts
if [ -f "$wine_fonts/marlett.ttf" ] && [ ! -f "$prefix_fonts/marlett.ttf" ]; then
    mkdir -p "$prefix_fonts" && cp "$wine_fonts"/* "$prefix_fonts/"
fi

# Without a window manager Wine waits about 2 s for every window it hides (each closed message box,
# the dialog at exit). Inside a virtual desktop it does not. Chosen through the registry rather than
# `explorer /desktop=...`, which would hide the program's exit code.
desktop=${TAVREL_WINE_DESKTOP:-$([ -n "$xvfb_pid" ] && echo 1024x768 || echo off)}
if [ "$(cat "$WINEPREFIX/.tavrel-desktop" 2>/dev/null)" != "$desktop" ]; then
    if [ "$desktop" = off ]; then
        timeout -k 5 60 "$wine64" reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 {lock_fd}>&-
    else
        timeout -k 5 60 "$wine64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Tavrel /f \
            >/dev/null 2>&1 {lock_fd}>&-
        timeout -k 5 60 "$wine64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Tavrel /t REG_SZ \
            /d "$desktop" /f >/dev/null 2>&1 {lock_fd}>&-
    fi
    timeout -k 5 60 "$wineserver" -w
    echo "$desktop" >"$WINEPREFIX/.tavrel-desktop"
fi

# Nested users (tests/windows/wine-run.sh) see this and do not start a session of their own.
export TAVREL_WINE_SESSION=1

# Kept in the background so that a signal reaches our trap at once; stdin is passed on explicitly.
# The lock stays with this script: a wineserver started by CMD must not keep it after we end.
"$@" <&0 {lock_fd}>&- &
child_pid=$!
wait "$child_pid"
status=$?
child_pid=
exit "$status"
