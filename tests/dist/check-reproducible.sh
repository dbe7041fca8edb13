#!/usr/bin/env bash
# Usage: tests/dist/check-reproducible.sh WORK TESTED_WIN32 TESTED_WIN64
#
# Runs scripts/dist.sh twice, from two copies of this checkout in different folders, one after the
# other, under a different time zone, umask and locale: the zips and SHA256SUMS must be the same
# bytes, and the programs in the zips the very ones the test suites ran (TESTED_WIN32 and
# TESTED_WIN64: the build folders of the two Windows presets). The first run's dist/ is kept in
# WORK/a/dist for the checks of its contents.
set -u -o pipefail

if [ $# -ne 3 ]; then
    echo "usage: $0 WORK TESTED_WIN32 TESTED_WIN64" >&2
    exit 2
fi
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$1 tested32=$2 tested64=$3
epoch=$(git -C "$repo" log -1 --format=%ct) || exit 2

# The checkout as it stands, edits included: the programs tested are built from it.
copy_source() {
    mkdir -p "$1" &&
        (cd "$repo" && git ls-files -z --cached --others --exclude-standard |
            tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -xf - -C "$1"
}

# build FOLDER TZ UMASK LOCALE
build() {
    local dir=$1
    copy_source "$dir/src" || return 1
    (cd "$dir" && umask "$3" && TZ=$2 LC_ALL=$4 SOURCE_DATE_EPOCH=$epoch TAVREL_DIST_DIR=$dir/dist \
        TAVREL_DIST_BUILD=$dir/build "$dir/src/scripts/dist.sh") >"$dir.log" 2>&1 ||
        { cat "$dir.log"; echo "FAIL: make dist in $dir failed"; return 1; }
}

rm -rf "$work" && mkdir -p "$work" || exit 2
build "$work/a" Pacific/Chatham 077 C.UTF-8 || exit 1
build "$work/b/a/longer/folder" America/St_Johns 022 C || exit 1

status=0
for file in $(cd "$work/a/dist" && ls); do
    if ! cmp "$work/a/dist/$file" "$work/b/a/longer/folder/dist/$file"; then
        echo "FAIL: $file differs between the two builds"
        status=1
    fi
done
[ "$(ls "$work/a/dist" | wc -l)" -eq 3 ] || { echo "FAIL: expected two zips and SHA256SUMS"; status=1; }

# The programs in each zip are those the suites ran.
unpacked=$work/unpacked
for pair in "win32:$tested32" "win64:$tested64"; do
    arch=${pair%%:*} tested=${pair#*:}
    zip=$(ls "$work/a/dist/"*-"$arch".zip) || { status=1; continue; }
    mkdir -p "$unpacked/$arch" && python3 -m zipfile -e "$zip" "$unpacked/$arch" || { status=1; continue; }
    for exe in Tavrel.exe tavrelctl.exe; do
        if ! cmp "$unpacked/$arch"/*/"$exe" "$tested/$exe"; then
            echo "FAIL: $arch $exe in the zip is not the $tested/$exe the suites ran"
            status=1
        fi
    done
done
[ "$status" -eq 0 ] && echo "two builds in different folders: $(cd "$work/a/dist" && sha256sum *.zip)"
exit "$status"
