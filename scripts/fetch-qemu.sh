#!/usr/bin/env bash
# Usage: scripts/fetch-qemu.sh
#
# Prints the path of a static qemu-i386 of version 10, fetched once into build/qemu from Debian's
# bookworm-backports suite (package qemu-user) and kept there. Debian 12's own qemu 7.2 does not
# honour MAP_FIXED_NOREPLACE and spends about a minute starting each 32-bit Wine process, so it is
# not used. The machine's apt sources, lists and packages are left as they are: apt-get runs with a
# sources list, lists and cache of its own, and the package is only unpacked. On failure prints the
# reason on one line and fails.
set -u

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=${TAVREL_QEMU_DIR:-$repo/build/qemu}
qemu=$dir/qemu-i386
suite=${TAVREL_QEMU_SUITE:-bookworm-backports}
mirror=${TAVREL_QEMU_MIRROR:-http://deb.debian.org/debian}

if [ -x "$qemu" ]; then
    echo "$qemu"
    exit 0
fi

fail() {
    echo "$*"
    exit 1
}

work=$dir/apt
rm -rf "$work"
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" || fail "cannot create $work"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
signed=
[ -f "$keyring" ] && signed="[signed-by=$keyring] "
echo "deb $signed$mirror $suite main" >"$work/sources.list"
apt_options=(
    -o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache"
    -o Debug::NoLocking=1 -o APT::Sandbox::User=root -qq
)
# apt-get update succeeds even when it fetched nothing; the lists tell.
timeout 300 apt-get "${apt_options[@]}" update >"$work/log" 2>&1
if ! compgen -G "$work/lists/*_Packages*" >/dev/null; then
    fail "the package qemu-user is unreachable: $suite at $mirror gave no package list ($(grep -m 1 -o 'Could not.*\|Failed.*\|[^ ]*timed out.*' "$work/log" || echo 'apt-get update failed'))"
fi
candidate=$(apt-cache "${apt_options[@]}" policy qemu-user 2>/dev/null | awk '/Candidate:/ { print $2 }')
case $candidate in '' | '(none)') fail "qemu-user is not in $suite at $mirror" ;; esac
major=${candidate#*:}
major=${major%%.*}
case $major in
'' | *[!0-9]*) fail "qemu-user of $suite has an unknown version $candidate" ;;
esac
[ "$major" -ge 10 ] || fail "qemu-user of $suite is version $candidate, not 10 or later"
if ! (cd "$work" && timeout 300 apt-get "${apt_options[@]}" download "qemu-user=$candidate") >>"$work/log" 2>&1; then
    fail "qemu-user $candidate of $suite could not be downloaded ($(tail -n 1 "$work/log"))"
fi
# Only the one program is kept: the package holds every target.
dpkg-deb -x "$work"/qemu-user_*.deb "$work/root" || fail "the qemu-user package could not be unpacked"
[ -x "$work/root/usr/bin/qemu-i386" ] || fail "the qemu-user package holds no usr/bin/qemu-i386"
mv "$work/root/usr/bin/qemu-i386" "$qemu.new" && mv "$qemu.new" "$qemu" || fail "cannot write $qemu"
rm -rf "$work"
echo "$qemu"
