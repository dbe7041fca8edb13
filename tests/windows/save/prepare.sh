#!/usr/bin/env bash
# Usage: tests/windows/save/prepare.sh DIR
#        tests/windows/save/prepare.sh --cleanup DIR
#
# Makes, outside Wine, what the Windows save tests need and a Windows program cannot make. In DIR, each
# a folder holding lan.cfg as: a symbolic link to target.cfg (link/), a dangling link (dangling/), a
# FIFO (fifo/), a link to a device (device/). As root also: a 64 KiB tmpfs with 16 inodes (small/);
# root's files of mode 644 in a folder everyone may write (nobody-writable/) and in one nobody may not
# (nobody-readonly/); and the user nobody's own Wine prefix, made once (about 15 s) for run-case.sh.
# Where something cannot be made, NAME.why says why. --cleanup unmounts the tmpfs and removes DIR.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../../scripts/wine-loader.sh"
# The same bytes as kEarlierConfigText in tests/support/SampleConfig.h: the file the cases expect to find unchanged.
original=$'[GENERAL INFORMATION]\r\nMANAGMENT_IP_ADDR=192.168.0.7\r\n'

cleanup() {
    mountpoint -q "$dir/small" 2>/dev/null && umount "$dir/small"
    rm -rf "$dir"
}

if [ "${1:-}" = --cleanup ]; then
    dir=$2
    cleanup
    exit 0
fi
dir=$1
cleanup
mkdir -p "$dir"/{link,dangling,fifo,device} || exit 1
ln -s target.cfg "$dir/link/lan.cfg"
ln -s missing.cfg "$dir/dangling/lan.cfg"
mkfifo "$dir/fifo/lan.cfg"
ln -s /dev/zero "$dir/device/lan.cfg"

if [ "$(id -u)" -ne 0 ]; then
    for name in small nobody-writable nobody-readonly; do
        echo "not root: only root can mount a small disk or act as the user nobody" >"$dir/$name.why"
    done
    exit 0
fi

mkdir "$dir/small"
if ! mount -t tmpfs -o size=64k,nr_inodes=16 tmpfs "$dir/small" 2>"$dir/small.why"; then
    rmdir "$dir/small"
fi

mkdir -m 0777 "$dir/nobody-writable"
mkdir -m 0755 "$dir/nobody-readonly"
for folder in nobody-writable nobody-readonly; do
    printf '%s' "$original" >"$dir/$folder/lan.cfg"
    chmod 0644 "$dir/$folder/lan.cfg"
done

# Wine refuses a prefix owned by another user, so nobody gets one of its own.
home=$("$here/run-case.sh" --nobody-home)
mkdir -p "$home" && chown nobody: "$home"
exec {lock}>"$home.lock"
flock -w 300 "$lock" || exit 1
if [ ! -f "$home/wineprefix/.tavrel-ready" ]; then
    timeout -k 5 300 runuser -u nobody -- env -u DISPLAY -u WINEPATH HOME="$home" WINEPREFIX="$home/wineprefix" WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=" sh -c '"$1" wineboot --init >/dev/null 2>&1; "$2" -w' \
        sh "$TAVREL_WINE64" "$TAVREL_WINESERVER" {lock}>&-
    [ -f "$home/wineprefix/system.reg" ] && touch "$home/wineprefix/.tavrel-ready"
fi
# Without that prefix (for example where a folder above the build is closed to other users) the
# cases are skipped with the reason instead of running as root.
if [ ! -f "$home/wineprefix/.tavrel-ready" ]; then
    for name in nobody-writable nobody-readonly; do
        echo "the user nobody's Wine prefix could not be made in $home" >"$dir/$name.why"
        rm -rf "${dir:?}/$name"
    done
fi
exit 0
