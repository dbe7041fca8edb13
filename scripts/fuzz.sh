#!/usr/bin/env bash
# Usage: scripts/fuzz.sh [SECONDS]
#
# Runs every libFuzzer target of the sanitize preset for SECONDS (default 60) each, starting from its
# corpus in tests/fuzz/corpus/<name>/ and adding the new inputs it finds there (commit them: the test
# run replays the corpus). A crash, leak, hang or sanitizer report stops with the input that caused it
# in build/fuzz-artifacts/.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
artifacts=$repo/build/fuzz-artifacts
mkdir -p "$artifacts"

found=0
for fuzzer in "$repo"/build/sanitize/tests/fuzz/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    found=1
    name=$(basename "$fuzzer")
    corpus=$repo/tests/fuzz/corpus/${name#fuzz_}
    mkdir -p "$corpus"
    echo "fuzz: $name for $seconds s"
    "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$name-" "$corpus"
done
[ "$found" = 1 ] || { echo "fuzz: no fuzz targets built (make sanitize)" >&2; exit 1; }
