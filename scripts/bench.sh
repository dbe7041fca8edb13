#!/usr/bin/env bash
# Usage: scripts/bench.sh
#
# Builds the bench, bench-win64 and win32 presets as needed, then measures and prints one table, each
# figure beside its budget:
#   - LoadConfigFile on the typical file and on 16, 128 and 1024 KiB generated files (up to the size
#     limit of the settings file; Google Benchmark, median of 5 repetitions), NormalizeAddress,
#     SaveConfigFile with its flush to disk, and the loader's instructions per byte on 16 and 1024 KiB
#     (callgrind: the same work per byte is linear);
#   - start-up of Tavrel.exe against Tavrel's own dialog shown by plain Win32 code (the budget: the
#     cost of Tavrel's code) and, for information, against a minimal one-dialog program (the floor),
#     taking turns under one Wine inside a Wine virtual desktop, and the peak memory of each with its
#     dialog open (GetProcessMemoryInfo from the launcher);
#   - stripped sizes and imported DLLs of both builds of Tavrel.exe and tavrelctl.exe.
# Exits 1 when a figure misses its budget, 2 when something could not be built or measured.
#
# Environment:
#   TAVREL_BUILD_ROOT     where the presets build (default: build/, one folder per preset)
#   TAVREL_STARTUP_RUNS   start-up runs of each program (default 31)
#   WINEPREFIX            passed on to scripts/wine-session.sh
set -u -o pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=${TAVREL_BUILD_ROOT:-$repo/build}
runs=${TAVREL_STARTUP_RUNS:-31}
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-bench-run.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT

say() { echo "bench: $*" >&2; }
die() {
    say "$*"
    exit 2
}

# build PRESET TARGET...: configure once, then build only what the measurements need.
build() {
    local preset=$1
    shift
    local dir=$root/$preset log=$work/build-$preset.log
    say "building $preset ($*)"
    if ! { [ -f "$dir/CMakeCache.txt" ] || cmake --preset "$preset" -B "$dir"; } >"$log" 2>&1 ||
        ! cmake --build "$dir" -j2 --target "$@" >>"$log" 2>&1; then
        cat "$log" >&2
        die "building the $preset preset failed"
    fi
}

exe_of() { # exe_of PRESET NAME: the built executable, outside CMake's own folders
    find -H "$root/$1" -name "$2" -type f -not -path '*/CMakeFiles/*' -not -path '*/dist-check/*' | head -n 1
}

build bench tavrel_bench
build bench-win64 Tavrel tavrelctl MinimalDialog PlainSettingsDialog StartupLauncher
build win32 Tavrel tavrelctl

tavrel64=$(exe_of bench-win64 Tavrel.exe)
tavrel32=$(exe_of win32 Tavrel.exe)
ctl64=$(exe_of bench-win64 tavrelctl.exe)
ctl32=$(exe_of win32 tavrelctl.exe)
floor64=$(exe_of bench-win64 MinimalDialog.exe)
plain64=$(exe_of bench-win64 PlainSettingsDialog.exe)
launcher=$(exe_of bench-win64 StartupLauncher.exe)
for f in "$tavrel64" "$tavrel32" "$ctl64" "$ctl32" "$floor64" "$plain64" "$launcher"; do
    [ -n "$f" ] || die "a built executable is missing"
done

# Throughput. The generated files go to a temp folder; the benchmark changes into it.
say "running the benchmarks (one to two minutes)"
"$root/bench/bench/tavrel_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$work/bench.json" --benchmark_out_format=json >"$work/bench.log" 2>&1 ||
    { cat "$work/bench.log" >&2; die "the benchmarks failed"; }

# Work per byte, free of timing noise: the loader's instructions on 16 and 1024 KiB of each shape.
say "counting the loader's instructions (callgrind)"
for shape in endless_line lines_250 nul_heavy all_equals; do
    for kib in 16 1024; do
        log=$work/callgrind-$shape-$kib.log
        valgrind --tool=callgrind --toggle-collect='LoadConfigFile*' --callgrind-out-file="$work/callgrind.out" \
            "$root/bench/bench/tavrel_bench" --benchmark_filter="^LoadConfigFile/${shape}_${kib}KiB/" \
            --benchmark_min_time=0.000001 >"$log" 2>&1 || { cat "$log" >&2; die "callgrind failed"; }
        ir=$(sed -n 's/.*I *refs: *//p' "$log" | tr -d ,)
        loads=$(awk '{ for (i = 2; i <= NF; i++) if ($i ~ /^bytes_per_second/) print $(i - 1) }' "$log")
        echo "RESULT load_ir_per_byte_${shape}_${kib}KiB $(awk -v ir="$ir" -v n="$loads" -v kib="$kib" \
            'BEGIN { printf "%.3f", ir / n / (kib * 1024) }')"
    done
done >"$work/callgrind.txt"

# Footprint: strip copies, list imports (the same checker CTest runs on each build).
footprint() { # footprint LABEL ARCH FORMAT EXE
    local copy=$work/$1.exe
    cp "$4" "$copy" && "$2-w64-mingw32-strip" "$copy" || die "cannot strip $4"
    "$repo/tests/pe/check-pe.sh" "$2-w64-mingw32-objdump" "$3" "$copy" >"$work/pe-$1.txt" 2>&1
    echo "RESULT pe_status_$1 $?"
    echo "RESULT stripped_bytes_$1 $(stat -c %s "$copy")"
    echo "RESULT imports_$1 $(sed -n 's/^ *imports: //p' "$work/pe-$1.txt")"
    sed -n 's/^ *FAIL: /RESULT pe_problem_'"$1"' /p' "$work/pe-$1.txt"
}
{
    footprint tavrel32 i686 PE32 "$tavrel32"
    footprint tavrel64 x86_64 PE32+ "$tavrel64"
    footprint tavrelctl32 i686 PE32 "$ctl32"
    footprint tavrelctl64 x86_64 PE32+ "$ctl64"
    footprint floor64 x86_64 PE32+ "$floor64"
} >"$work/footprint.txt"

# Start-up: each program starts in a folder holding the lan.cfg of an ordinary unit (written by the
# launcher), inside a Wine virtual desktop, where windows are shown and hidden without the delays
# that a bare X server without a window manager adds.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
say "timing start-up under Wine ($runs runs of each program)"
"$repo/scripts/wine-session.sh" sh -c 'exec "$TAVREL_WINE64" explorer /desktop=TavrelBench,1024x768 "$@"' sh \
    "$(winpath "$launcher")" "$runs" "$(winpath "$tavrel64")" "$(winpath "$plain64")" "$(winpath "$floor64")" \
    >"$work/startup.txt" 2>&1
grep -q '^RESULT startup_ratio_PlainSettingsDialog' "$work/startup.txt" || { cat "$work/startup.txt" >&2; die "start-up timing failed"; }
grep 'start-up ms' "$work/startup.txt" >&2

python3 "$repo/bench/budget_table.py" --runs "$runs" "$work/bench.json" "$work/callgrind.txt" "$work/footprint.txt" \
    "$work/startup.txt"
