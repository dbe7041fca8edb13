#!/usr/bin/env bash
# Usage: tests/windows/save/prepare.sh DIR
#        tests/windows/save/prepare.sh --cleanup DIR
#
# Makes, outside Wine, what the Windows save tests need and a Windows program cannot make. In DIR, each
# a folder holding lan.cfg as: a symbolic link to target.cfg (link/), a dangling link (dangling/), a
# FIFO (fifo/), a link to a device (device/). As root also a 64 KiB tmpfs with 16 inodes (small/).
# Where something cannot be made, NAME.why says why. --cleanup unmounts the tmpfs and removes DIR.
set -u

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
    echo "not root: only root can mount a small disk" >"$dir/small.why"
    exit 0
fi

mkdir "$dir/small"
if ! mount -t tmpfs -o size=64k,nr_inodes=16 tmpfs "$dir/small" 2>"$dir/small.why"; then
    rmdir "$dir/small"
fi

exit 0
