#!/usr/bin/env bash
# Usage: tests/windows/save/prepare-nobody.sh DIR HOME
#        tests/windows/save/prepare-nobody.sh --cleanup DIR
#
# Makes, as root, what the unprivileged save cases need: root's files of mode 644 in a folder
# everyone may write (DIR/nobody-writable/) and in one nobody may not (DIR/nobody-readonly/), and the
# user nobody's own Wine prefix in HOME/wineprefix (Wine refuses a prefix owned by another user),
# made once, about 15 s, and kept for later runs. Where that is impossible, NAME.why says why and the
# cases are skipped with it. --cleanup removes DIR.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../../../scripts/wine-settings.sh"
# The same bytes as kEarlierConfigText in tests/support/SampleConfig.h: the file the cases expect to find unchanged.
original=$'[GENERAL INFORMATION]\r\nMANAGMENT_IP_ADDR=192.168.0.7\r\n'
folders=(nobody-writable nobody-readonly)

if [ "${1:-}" = --cleanup ]; then
    rm -rf "${2:?}"
    exit 0
fi
dir=$1
home=$2
rm -rf "$dir"
mkdir -p "$dir" || exit 1

skip() {
    for name in "${folders[@]}"; do
        echo "$1" >"$dir/$name.why"
        rm -rf "${dir:?}/$name"
    done
    exit 0
}

[ "$(id -u)" -eq 0 ] || skip "not root: only root can act as the user nobody"

mkdir -m 0777 "$dir/nobody-writable"
mkdir -m 0755 "$dir/nobody-readonly"
for folder in "${folders[@]}"; do
    printf '%s' "$original" >"$dir/$folder/lan.cfg"
    chmod 0644 "$dir/$folder/lan.cfg"
done

mkdir -p "$home" && chown nobody: "$home"
exec {lock}>"$home.lock"
flock -w 300 "$lock" || exit 1
tavrel_make_prefix "$home/wineprefix" runuser -u nobody -- env -u DISPLAY HOME="$home" {lock}>&-
# Without that prefix (for example where a folder above the build is closed to other users) the
# cases are skipped with the reason instead of running as root.
[ -f "$home/wineprefix/.tavrel-ready" ] || skip "the user nobody's Wine prefix could not be made in $home"
exit 0
