#!/usr/bin/env bash
# Usage: scripts/dist.sh
#
# Builds what a Windows user downloads, from clean build folders in the release configuration, and
# writes it to dist/: tavrel-VERSION-win32.zip (the shipped 32-bit build), tavrel-VERSION-win64.zip,
# each holding Tavrel.exe, tavrelctl.exe and README.txt in one folder, and SHA256SUMS beside them.
# Two runs on one commit give the same bytes wherever the checkout is and whoever runs it: the build
# runs with a fixed environment, the link time and the zip's entry times are the last commit's, and
# the zip's order and permissions are fixed.
#
# Environment:
#   TAVREL_SIGN_PKCS12          a PKCS#12 certificate to sign both programs with (Authenticode,
#                               SHA-256); without it the programs are left unsigned
#   TAVREL_SIGN_PASSWORD_FILE   the file holding its password
#   TAVREL_SIGN_TIMESTAMP_URL   an RFC 3161 time-stamping server (none by default: a timestamp makes
#                               every signed build differ)
#   TAVREL_DIST_DIR             where the zips go (default: dist/ in the repository)
#   TAVREL_DIST_BUILD           where they are built (default: build/dist/ in the repository)
#   SOURCE_DATE_EPOCH           the time to stamp (default: the last commit's)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

say() { echo "dist: $*" >&2; }

# Everything the build sees is fixed here; only what this script documents is passed on.
if [ "${TAVREL_DIST_CLEAN_ENV:-}" != 1 ]; then
    epoch=${SOURCE_DATE_EPOCH:-$(git -C "$repo" log -1 --format=%ct)}
    exec env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C TZ=UTC HOME=/nonexistent TAVREL_DIST_CLEAN_ENV=1 \
        SOURCE_DATE_EPOCH="$epoch" \
        TAVREL_DIST_DIR="${TAVREL_DIST_DIR:-$repo/dist}" TAVREL_DIST_BUILD="${TAVREL_DIST_BUILD:-$repo/build/dist}" \
        TAVREL_SIGN_PKCS12="${TAVREL_SIGN_PKCS12:-}" TAVREL_SIGN_PASSWORD_FILE="${TAVREL_SIGN_PASSWORD_FILE:-}" \
        TAVREL_SIGN_TIMESTAMP_URL="${TAVREL_SIGN_TIMESTAMP_URL:-}" \
        /bin/bash -c 'umask 022 && exec /bin/bash "$0"' "${BASH_SOURCE[0]}"
fi

out=$TAVREL_DIST_DIR
builds=$TAVREL_DIST_BUILD
sign=
if [ -n "$TAVREL_SIGN_PKCS12" ]; then
    [ -f "$TAVREL_SIGN_PKCS12" ] || { say "$TAVREL_SIGN_PKCS12 not found"; exit 1; }
    [ -f "$TAVREL_SIGN_PASSWORD_FILE" ] || { say "TAVREL_SIGN_PASSWORD_FILE names no file"; exit 1; }
    sign=1
fi

version=$(sed -n 's/^project(Tavrel VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
[ -n "$version" ] || { say "no version in CMakeLists.txt"; exit 1; }

rm -rf "$builds"
mkdir -p "$builds" "$out"
rm -f "$out/tavrel-$version-win32.zip" "$out/tavrel-$version-win64.zip" "$out/SHA256SUMS"

# package NAME PRESET ARCH: builds one preset's programs and zips them.
package() {
    local name=$1 preset=$2 arch=$3
    local build=$builds/$name folder=tavrel-$version-$name
    local stage=$builds/stage-$name/$folder
    say "building $name ($arch)"
    cmake --preset "$preset" -S "$repo" -B "$build" -DBUILD_TESTING=OFF >"$builds/$name.log" 2>&1 &&
        cmake --build "$build" -j2 --target Tavrel tavrelctl >>"$builds/$name.log" 2>&1 ||
        { cat "$builds/$name.log" >&2; say "building $name failed"; exit 1; }
    mkdir -p "$stage"
    local exe
    for exe in Tavrel.exe tavrelctl.exe; do
        if [ -n "$sign" ]; then
            local -a timestamp=()
            [ -n "$TAVREL_SIGN_TIMESTAMP_URL" ] && timestamp=(-ts "$TAVREL_SIGN_TIMESTAMP_URL")
            osslsigncode sign -pkcs12 "$TAVREL_SIGN_PKCS12" -readpass "$TAVREL_SIGN_PASSWORD_FILE" -h sha256 \
                -n Tavrel "${timestamp[@]}" -time "$SOURCE_DATE_EPOCH" \
                -in "$build/$exe" -out "$stage/$exe" >>"$builds/$name.log" 2>&1 ||
                { cat "$builds/$name.log" >&2; say "signing $exe failed"; exit 1; }
        else
            cp "$build/$exe" "$stage/$exe"
        fi
    done
    # The guide is kept with Unix line ends and shipped with Windows ones.
    sed 's/$/\r/' "$repo/packaging/README.txt" >"$stage/README.txt"
    python3 "$repo/scripts/zip-folder.py" "$out/$folder.zip" "$builds/stage-$name" \
        "$folder/Tavrel.exe" "$folder/tavrelctl.exe" "$folder/README.txt"
}

package win32 win32 i686
package win64 win64 x86_64
(cd "$out" && sha256sum "tavrel-$version-win32.zip" "tavrel-$version-win64.zip" >SHA256SUMS)
if [ -n "$sign" ]; then
    say "signed with $TAVREL_SIGN_PKCS12${TAVREL_SIGN_TIMESTAMP_URL:+, timestamped by $TAVREL_SIGN_TIMESTAMP_URL}"
else
    say "unsigned: set TAVREL_SIGN_PKCS12 and TAVREL_SIGN_PASSWORD_FILE to sign"
fi
say "wrote $out/tavrel-$version-win32.zip, $out/tavrel-$version-win64.zip and $out/SHA256SUMS"
