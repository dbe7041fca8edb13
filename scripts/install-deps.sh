#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the run command and the benchmarks need,
# but only those that are missing. Uses sudo when not root.
set -euo pipefail

packages=(
    make cmake g++ clang libclang-rt-14-dev   # native build, sanitizers, libFuzzer
    libgtest-dev libbenchmark-dev             # unit tests, benchmarks
    g++-mingw-w64-x86-64 g++-mingw-w64-i686   # the Windows builds
    wine64 xvfb xauth x11-utils imagemagick   # running and testing the program, screenshots
    python3 file valgrind procps              # helper scripts, executable checks, profiling
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
