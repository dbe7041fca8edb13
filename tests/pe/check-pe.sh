#!/usr/bin/env bash
# Usage: tests/pe/check-pe.sh OBJDUMP PE32|PE32+ EXECUTABLE [VERSION]
#
# Checks a Windows executable with the toolchain's objdump: its format, and that every DLL it imports
# ships with Windows (the MinGW runtime DLLs are deliberately not on the list: the program carries
# them inside); given VERSION, that its version resource gives that version throughout. Prints the
# format, the imports, the version and the size; exits 0 when all is well, 1 when a check fails, 2
# when the file is not a PE image objdump can read.
set -u -o pipefail

if [ $# -ne 3 ] && [ $# -ne 4 ]; then
    echo "usage: $0 OBJDUMP PE32|PE32+ EXECUTABLE [VERSION]" >&2
    exit 2
fi
objdump=$1 expected=$2 exe=$3 version=${4:-}

system_dlls=" kernel32 user32 gdi32 comctl32 comdlg32 msvcrt advapi32 shell32 shlwapi ole32 oleaut32 uxtheme
version psapi ntdll ws2_32 winmm imm32 rpcrt4 crypt32 bcrypt secur32 dwmapi msimg32 setupapi userenv iphlpapi "

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
    if [[ "$system_dlls" != *[[:space:]]$name[[:space:]]* ]]; then
        echo "  FAIL: imports $dll, which is not a Windows system DLL"
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
