#!/usr/bin/env bash
# Usage: tests/windows/save/prepare.sh DIR
#        tests/windows/save/prepare.sh --cleanup DIR
#
# Makes, outside Wine, what the Windows save tests need and a Windows program cannot make. In DIR, each
# a folder holding lan.cfg as: a symbolic link to target.cfg (link/), a dangling link (dangling/), a
# FIFO (fifo/), a link to a device (device/), a link to a file whose full path as Wine names it (Z:...)
# is about 300 or 400 characters long (long300/, long400/; NAME.target holds the path of that file
# relative to the folder). As root also a 64 KiB tmpfs with 16 inodes (small/). Where something
# cannot be made, NAME.why says why. --cleanup unmounts the tmpfs and removes DIR.
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

# Folders of up to 200 characters below long$length/t/ fill the path up to the length.
for length in 300 400; do
    folder="$dir/long$length"
    relative=t
    room=$((length - 2 - ${#folder} - 1 - ${#relative} - 1 - 10)) # Z:FOLDER\t\target.cfg
    if [ "$room" -lt 2 ]; then
        echo "the build folder's path is too long for a $length-character path below it" >"$folder.why"
        continue
    fi
    while [ "$room" -gt 0 ]; do
        part=$((room > 201 ? 200 : room - 1))
        relative="$relative/$(printf 'd%.0s' $(seq "$part"))"
        room=$((room - part - 1))
    done
    mkdir -p "$folder/$relative"
    ln -s "$relative/target.cfg" "$folder/lan.cfg"
    printf '%s' "$relative/target.cfg" | tr / '\\' >"$folder.target"
done

if [ "$(id -u)" -ne 0 ]; then
    echo "not root: only root can mount a small disk" >"$dir/small.why"
    exit 0
fi

mkdir "$dir/small"
if ! mount -t tmpfs -o size=64k,nr_inodes=16 tmpfs "$dir/small" 2>"$dir/small.why"; then
    rmdir "$dir/small"
fi

exit 0
