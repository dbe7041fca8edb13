#!/usr/bin/env bash
# Usage: scripts/with-32bit.sh CMD [ARGS...]
#
# Runs CMD where the shipped 32-bit Windows program can run. Where the kernel runs 32-bit x86 code,
# CMD runs as it is. Where it refuses it, CMD runs in a private user and mount namespace whose own
# binfmt_misc (Linux 6.7 and later) sends i386 programs to a qemu-i386 fetched by fetch-qemu.sh,
# with a Wine prefix of its own (build/wineprefix-emulated) made inside; the machine's binfmt_misc,
# apt sources and packages stay as they are. Where even that is impossible, CMD runs without 32-bit
# code and TAVREL_32BIT_UNAVAILABLE holds the reason, which can-run-32bit.sh reports.
# One line on standard error says which of the three it is.
#
# Environment:
#   TAVREL_32BIT=emulated          emulate even where 32-bit code runs
#   TAVREL_32BIT_START_LIMIT       seconds one 32-bit Wine start may take under emulation (default 5)
set -u

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
self=$repo/scripts/with-32bit.sh
. "$repo/scripts/wine-settings.sh"
limit=${TAVREL_32BIT_START_LIMIT:-5}

say() { echo "with-32bit: $*" >&2; }

# Runs CMD without 32-bit code, for the reason given.
without_32bit() {
    export TAVREL_32BIT_UNAVAILABLE=$1
    say "32-bit programs cannot run here: $1"
    shift
    exec "$@"
}

# Why emulation cannot even be tried here, if so.
emulation_refused() {
    local release major minor
    [ -e "$TAVREL_LOADER32" ] && [ -x "$TAVREL_WINE32" ] || {
        echo "32-bit Wine is not installed (install wine32:i386)"
        return
    }
    release=$(uname -r)
    major=${release%%.*}
    minor=${release#*.}
    minor=${minor%%[!0-9]*}
    if [ "$major" -lt 6 ] || { [ "$major" -eq 6 ] && [ "${minor:-0}" -lt 7 ]; }; then
        echo "the kernel cannot run 32-bit x86 code and is $release, older than 6.7, whose binfmt_misc a user namespace may have for itself"
        return
    fi
    if ! unshare --user --map-root-user true 2>/dev/null; then
        echo "the kernel cannot run 32-bit x86 code and user namespaces are not allowed here (unshare --user failed)"
    fi
}

# The time in seconds of one start of a 32-bit Wine program, after one start that brings up Wine's
# server and the prefix's services. Runs inside a Wine session.
measure_start() {
    local began ended
    timeout -k 5 600 "$TAVREL_WINE32" cmd.exe /c exit >/dev/null 2>&1 || return 1
    began=$(date +%s.%N)
    timeout -k 5 60 "$TAVREL_WINE32" cmd.exe /c exit >/dev/null 2>&1 || return 1
    ended=$(date +%s.%N)
    echo "$began $ended" | awk '{ printf "%.1f\n", $2 - $1 }'
}

# Inside the namespace: private binfmt_misc, registration, and a measured start; then CMD. The
# start is measured in the Wine session CMD runs in when there is one, else in a session of the
# emulated prefix, which that creates.
inside() {
    local qemu=$1 version seconds measure=("$self" --measure-start)
    shift
    if ! mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null; then
        without_32bit "the kernel cannot run 32-bit x86 code and gives a user namespace no binfmt_misc of its own" "$@"
    fi
    # The ELF header of an i386 executable or shared object. F: the kernel opens qemu now, so any
    # mount namespace and user inside finds it; P: programs see their own name as argv[0].
    local magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    if ! echo ":tavrel-i386:M::$magic:$mask:$qemu:PF" >/proc/sys/fs/binfmt_misc/register 2>/dev/null ||
        ! tavrel_kernel_runs_32bit; then
        without_32bit "32-bit code does not start under $qemu" "$@"
    fi
    export TAVREL_QEMU=$qemu
    if [ "${TAVREL_WINE_SESSION:-}" != 1 ]; then
        export WINEPREFIX=$repo/build/wineprefix-emulated
        measure=(env TAVREL_HEADLESS=1 "$repo/scripts/wine-session.sh" "${measure[@]}")
    fi
    version=$("$qemu" --version | sed -n '1s/^qemu-i386 version //p')
    if ! seconds=$("${measure[@]}"); then
        without_32bit "no 32-bit Wine program started under qemu-i386 $version" "$@"
    fi
    if awk -v s="$seconds" -v l="$limit" 'BEGIN { exit !(s > l) }'; then
        without_32bit "qemu-i386 $version is too slow: one 32-bit Wine start took $seconds s (limit $limit s)" "$@"
    fi
    say "32-bit programs run under user-mode emulation: qemu-i386 $version, $qemu (one 32-bit Wine start: $seconds s)"
    exec "$@"
}

case ${1:-} in
'')
    echo "usage: $0 CMD [ARGS...]" >&2
    exit 2
    ;;
--measure-start)
    measure_start
    exit
    ;;
--inside)
    shift
    inside "$@"
    ;;
esac

if [ "${TAVREL_32BIT:-}" != emulated ] && [ -z "${TAVREL_32BIT_UNAVAILABLE:-}" ] &&
    tavrel_kernel_runs_32bit; then
    exec "$@"
fi
[ -n "${TAVREL_32BIT_UNAVAILABLE:-}" ] && without_32bit "$TAVREL_32BIT_UNAVAILABLE" "$@"
reason=$(emulation_refused)
[ -n "$reason" ] && without_32bit "$reason" "$@"
if ! qemu=$("$repo/scripts/fetch-qemu.sh"); then
    without_32bit "the kernel cannot run 32-bit x86 code and $qemu" "$@"
fi

# Root maps every id to itself, so that the user nobody exists inside; others map only themselves.
# The child waits until its maps are written before it goes on. It runs in the background so that a
# signal reaches the trap below at once; its input is passed on explicitly.
if [ "$(id -u)" -eq 0 ]; then
    unshare --user --mount --fork bash -c \
        'for _ in $(seq 200); do [ -s /proc/self/uid_map ] && [ -s /proc/self/gid_map ] && break; sleep 0.05; done
         exec "$0" "$@"' "$self" --inside "$qemu" "$@" <&0 &
    child=$!
    # The maps can be written once the child has its own user namespace.
    for _ in $(seq 200); do
        [ "$(readlink "/proc/$child/ns/user")" != "$(readlink /proc/self/ns/user)" ] && break
        sleep 0.01
    done
    if ! { echo '0 0 65536' >"/proc/$child/uid_map" && echo '0 0 65536' >"/proc/$child/gid_map"; } 2>/dev/null; then
        kill "$child" 2>/dev/null
        wait "$child" 2>/dev/null
        without_32bit "the kernel cannot run 32-bit x86 code and a user namespace mapping every user cannot be made" "$@"
    fi
else
    unshare --user --map-root-user --mount --fork "$self" --inside "$qemu" "$@" <&0 &
    child=$!
fi
trap 'kill -TERM $child 2>/dev/null' TERM HUP
trap 'kill -INT $child 2>/dev/null' INT
while :; do
    wait "$child"
    status=$?
    kill -0 "$child" 2>/dev/null || exit "$status"
done
