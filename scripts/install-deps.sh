#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the run command and the benchmarks need,
# but only those that are missing. Uses sudo when not root.
set -euo pipefail

packages=(
    make cmake g++ clang libclang-rt-14-dev   # native build, sanitizers, libFuzzer
    libgtest-dev googletest libbenchmark-dev  # unit tests (GoogleTest's sources for the Windows ones), benchmarks
    g++-mingw-w64-x86-64 g++-mingw-w64-i686   # the Windows builds
    wine64 fonts-wine xvfb x11-utils imagemagick  # running and testing the program (fonts-wine draws
                                                  # the caption buttons), screenshots
    python3 valgrind procps strace            # helper scripts, profiling, read errors injected in tests
    osslsigncode openssl                      # signing the release, and its test certificate
    ansible-core                              # the fleet example and its test
)
# Wine's 32-bit half runs the shipped 32-bit program beside the 64-bit one.
foreign=(wine32:i386)

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
for p in "${packages[@]}" "${foreign[@]}"; do
    installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -qq
# Installing wine32 may bring some amd64 libraries up to the versions of their i386 twins.
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
