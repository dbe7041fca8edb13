#!/usr/bin/env bash
# Usage: tests/pe/check-pe.sh OBJDUMP PE32|PE32+ EXECUTABLE [VERSION]
#
# Checks a Windows executable with the toolchain's objdump: its format; that every DLL it imports is
# a KnownDLL, which Windows loads from the system folder only, so that nothing planted beside the
# program is loaded in its place (the MinGW runtime DLLs are deliberately not on the list: the
# program carries them inside); the hardening of its header (ASLR, DEP, Terminal Server aware, and
# no structured exception handlers in a PE32); and Windows 7 (6.1) as the oldest system it states,
# as OS and subsystem version. Given VERSION, that its version resource gives that version
# throughout. Prints the format, the imports, the version and the size; exits 0 when all is well, 1
# when a check fails, 2 when the file is not a PE image objdump can read.
set -u -o pipefail

if [ $# -ne 3 ] && [ $# -ne 4 ]; then
    echo "usage: $0 OBJDUMP PE32|PE32+ EXECUTABLE [VERSION]" >&2
    exit 2
fi
objdump=$1 expected=$2 exe=$3 version=${4:-}

# HKLM\System\CurrentControlSet\Control\Session Manager\KnownDLLs as Windows 7 SP1 and Windows 10
# and 11 hold it: the names on all of them (Windows 7 also lists iertutil, lpk, urlmon, usp10 and
# wininet; Windows 10 also combase, coml2, gdiplus and shcore). Not there: ntdll, which the system
# maps into every process before anything else, so that it cannot be planted either.
known_dlls=" advapi32 clbcatq comdlg32 difxapi gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi ole32
oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32 ntdll "
floor=6.1 # Windows 7: _WIN32_WINNT=0x0601 and the manifest say so too

headers=$("$objdump" -p "$exe" 2>&1) || { echo "$exe: $headers" >&2; exit 2; }
format=$(sed -n 's/^Magic[[:space:]]*[0-9a-fA-F]*[[:space:]]*(\(PE32+*\))$/\1/p' <<<"$headers")
[ -n "$format" ] || { echo "$exe: no PE optional header" >&2; exit 2; }
machine=$(sed -n 's/.*file format pei-\(.*\)$/\1/p' <<<"$headers")
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr -d '\r' | tr '\n' ' ')

echo "$(basename "$exe")"
echo "  format: $format ($machine)"
echo "  imports: ${imports% }"
echo "  size: $(stat -c %s "$exe") bytes"
status=0
if [ "$format" != "$expected" ]; then
    echo "  FAIL: is $format, expected $expected"
    status=1
fi
case $format/$machine in
PE32/i386 | PE32+/x86-64) ;;
*)
    echo "  FAIL: machine $machine does not go with $format"
    status=1
    ;;
esac
for dll in $imports; do
    name=$(tr '[:upper:]' '[:lower:]' <<<"${dll%.*}")
    if [[ "$known_dlls" != *[[:space:]]${name}[[:space:]]* ]]; then
        echo "  FAIL: imports $dll, which is not a KnownDLL: a DLL of that name beside the program would be loaded"
        status=1
    fi
done
flags=$(sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/s/^[[:space:]]\+\([A-Z_]\+\)$/\1/p' <<<"$headers" |
    tr '\n' ' ')
echo "  header: ${flags% }"
required="DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE"
[ "$format" = PE32 ] && required="$required NO_SEH"
for flag in $required; do
    if [[ " $flags" != *" $flag "* ]]; then
        echo "  FAIL: DllCharacteristics lacks $flag"
        status=1
    fi
done
header_field() { sed -n "s/^$1[[:space:]]\+//p" <<<"$headers"; }
for field in "OS OSystem" "subsystem Subsystem"; do
    read -r label kind <<<"$field"
    stated=$(header_field "Major${kind}Version").$(header_field "Minor${kind}Version")
    echo "  $label version: $stated"
    if [ "$stated" != "$floor" ]; then
        echo "  FAIL: the $label version is $stated, not $floor (Windows 7)"
        status=1
    fi
done
if [ -n "$version" ]; then
    versions=$(python3 "$(dirname "${BASH_SOURCE[0]}")/version-of.py" "$exe" 2>&1)
    echo "  version: $(tr '\n' ' ' <<<"$versions")"
    expected_versions=$(printf 'fixed %s\nFileVersion %s\nProductVersion %s' "$version" "$version" "$version")
    if [ "$versions" != "$expected_versions" ]; then
        echo "  FAIL: the version resource does not give version $version"
        status=1
    fi
fi
exit $status
