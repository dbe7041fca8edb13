#!/usr/bin/env bash
# Usage: tests/dist/check-contents.sh DIST VERSION OBJDUMP_I686 OBJDUMP_X86_64
#
# Checks what make dist wrote to DIST: SHA256SUMS matches both zips, each zip holds exactly
# Tavrel.exe, tavrelctl.exe and README.txt in the folder tavrel-VERSION-ARCH, the guide has Windows
# line ends, and each program passes tests/pe/check-pe.sh for its architecture and VERSION.
set -u -o pipefail

if [ $# -ne 4 ]; then
    echo "usage: $0 DIST VERSION OBJDUMP_I686 OBJDUMP_X86_64" >&2
    exit 2
fi
dist=$1 version=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-dist-contents.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT

status=0
(cd "$dist" && sha256sum --check --strict SHA256SUMS) || status=1
for target in "win32 PE32 $3" "win64 PE32+ $4"; do
    read -r arch format objdump <<<"$target"
    folder=tavrel-$version-$arch
    zip=$dist/$folder.zip
    listing=$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip") ||
        { echo "FAIL: $zip cannot be read"; status=1; continue; }
    if [ "$listing" != "$(printf '%s\n' "$folder/Tavrel.exe" "$folder/tavrelctl.exe" "$folder/README.txt")" ]; then
        echo "FAIL: $zip holds:" $listing
        status=1
    fi
    python3 -m zipfile -e "$zip" "$work" || { status=1; continue; }
    guide=$work/$folder/README.txt
    if [ "$(grep -c $'\r$' "$guide")" -ne "$(wc -l <"$guide")" ] || [ -n "$(tail -c 1 "$guide")" ]; then
        echo "FAIL: $folder/README.txt has a line that does not end in CR LF"
        status=1
    fi
    for exe in Tavrel.exe tavrelctl.exe; do
        "$here/../pe/check-pe.sh" "$objdump" "$format" "$work/$folder/$exe" "$version" || status=1
    done
done
exit "$status"
