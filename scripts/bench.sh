#!/usr/bin/env bash
# Usage: scripts/bench.sh
#
# Builds the bench, win64 and win32 presets as needed, then measures and prints one table, each
# figure beside its budget:
#   - LoadConfigFile on the typical file and on 1, 8 and 64 MiB generated files (Google Benchmark,
#     median of 3 repetitions), NormalizeAddress, SaveConfigFile with its flush to disk;
#   - start-up of Tavrel.exe against a minimal one-dialog program (the floor) and against Tavrel's own
#     dialog shown by plain Win32 code, taking turns under one Wine inside a Wine virtual desktop, and
#     the peak memory of each with its dialog open (GetProcessMemoryInfo from the launcher);
#   - stripped sizes and imported DLLs of both Tavrel.exe builds.
# Exits 1 when a figure misses its budget, 2 when something could not be built or measured.
#
# Environment:
#   TAVREL_BUILD_ROOT     where the presets build (default: build/, one folder per preset)
#   TAVREL_STARTUP_RUNS   start-up runs of each program (default 21)
#   WINEPREFIX            passed on to scripts/wine-session.sh
set -u -o pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=${TAVREL_BUILD_ROOT:-$repo/build}
runs=${TAVREL_STARTUP_RUNS:-21}
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
    find -H "$root/$1" -name "$2" -type f -not -path '*/CMakeFiles/*' | head -n 1
}

build bench tavrel_bench
build win64 Tavrel MinimalDialog PlainSettingsDialog StartupLauncher
build win32 Tavrel

tavrel64=$(exe_of win64 Tavrel.exe)
tavrel32=$(exe_of win32 Tavrel.exe)
floor64=$(exe_of win64 MinimalDialog.exe)
plain64=$(exe_of win64 PlainSettingsDialog.exe)
launcher=$(exe_of win64 StartupLauncher.exe)
for f in "$tavrel64" "$tavrel32" "$floor64" "$plain64" "$launcher"; do
    [ -n "$f" ] || die "a built executable is missing"
done

# Throughput. The generated files go to a temp folder; the benchmark changes into it.
say "running the benchmarks (about a minute)"
"$root/bench/bench/tavrel_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$work/bench.json" --benchmark_out_format=json >"$work/bench.log" 2>&1 ||
    { cat "$work/bench.log" >&2; die "the benchmarks failed"; }

# Footprint: strip copies, list imports (the same checker CTest runs on each build).
footprint() { # footprint LABEL ARCH FORMAT EXE
    local copy=$work/$1.exe
    cp "$4" "$copy" && "$2-w64-mingw32-strip" "$copy" || die "cannot strip $4"
    python3 "$repo/tests/pe/check_pe.py" --expect "$3" "$copy" >"$work/pe-$1.txt" 2>&1
    echo "RESULT pe_status_$1 $?"
    echo "RESULT stripped_bytes_$1 $(stat -c %s "$copy")"
    echo "RESULT imports_$1 $(sed -n 's/^ *imports: //p' "$work/pe-$1.txt")"
    sed -n 's/^ *FAIL: /RESULT pe_problem_'"$1"' /p' "$work/pe-$1.txt"
}
{
    footprint tavrel32 i686 PE32 "$tavrel32"
    footprint tavrel64 x86_64 PE32+ "$tavrel64"
    footprint floor64 x86_64 PE32+ "$floor64"
} >"$work/footprint.txt"

# Start-up: inside a Wine virtual desktop, where windows are shown and hidden without the delays
# that a bare X server without a window manager adds.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
say "timing start-up under Wine ($runs runs of each program)"
"$repo/scripts/wine-session.sh" sh -c 'exec "$TAVREL_WINE64" explorer /desktop=TavrelBench,1024x768 "$@"' sh \
    "$(winpath "$launcher")" "$runs" "$(winpath "$tavrel64")" "$(winpath "$floor64")" "$(winpath "$plain64")" \
    >"$work/startup.txt" 2>&1
grep -q '^RESULT startup_ratio_MinimalDialog' "$work/startup.txt" || { cat "$work/startup.txt" >&2; die "start-up timing failed"; }

python3 - "$work/bench.json" "$work/footprint.txt" "$work/startup.txt" "$runs" <<'EOF'
import json
import sys

bench_json, footprint_txt, startup_txt, runs = sys.argv[1:]
medians = {
    b["run_name"]: b
    for b in json.load(open(bench_json))["benchmarks"]
    if b.get("aggregate_name") == "median" and not b.get("error_occurred")
}
results = {}
for path in (footprint_txt, startup_txt):
    for line in open(path):
        if line.startswith("RESULT "):
            _, key, *value = line.split(maxsplit=2)
            results.setdefault(key, []).append(value[0].strip() if value else "")
result = lambda key: results.get(key, [""])[0]

rows = []  # (figure, value, budget, mark)
failed = False


def row(figure, value, budget="-", ok=None):
    global failed
    failed |= ok is False
    rows.append((figure, value, budget, "-" if ok is None else "pass" if ok else "FAIL"))


def mbps(name):
    b = medians.get(f"LoadConfigFile/{name}/real_time")
    return b["bytes_per_second"] / 1e6 if b else None


typical = medians.get("LoadConfigFile/typical/real_time")
row("load typical lan.cfg (224 B)", f"{typical['real_time'] / 1000:.1f} us" if typical else "missing", "-",
    None if typical else False)
for shape in ("endless_line", "lines_250", "nul_heavy", "all_equals"):
    rates = [mbps(f"{shape}_{mib}MiB") for mib in (1, 8, 64)]
    if None in rates:
        row(f"load {shape}", "missing", ">= 200 MB/s", False)
        continue
    row(f"load {shape} 1 / 8 / 64 MiB", " / ".join(f"{r:.0f}" for r in rates) + " MB/s",
        ">= 200 MB/s at 64 MiB", rates[2] >= 200)
    slowdown = rates[0] / rates[2]
    row(f"load {shape} 64 MiB time/byte vs 1 MiB", f"{slowdown:.2f}x", "<= 1.5x", slowdown <= 1.5)
for kind in ("valid", "garbage"):
    b = medians.get(f"NormalizeAddress/{kind}")
    row(f"NormalizeAddress {kind}", f"{b['items_per_second'] / 1e6:.1f} M/s" if b else "missing", "-",
        None if b else False)
save = medians.get("SaveConfigFile/typical/real_time")
row("SaveConfigFile incl. flush to disk", f"{save['real_time'] / 1000:.2f} ms" if save else "missing", "-",
    None if save else False)

startup = lambda kind, label: float(result(f"startup_{kind}_{label}") or "nan")
programs = (("Tavrel", "Tavrel.exe"), ("MinimalDialog", "minimal dialog (floor)"),
            ("PlainSettingsDialog", "Tavrel's dialog, plain Win32 code"))
for label, name in programs:
    row(f"start-up {name}", f"{startup('ms', label):.0f} ms (fastest {startup('min_ms', label):.0f} ms)")
for label, name, budget in (("MinimalDialog", "minimal dialog", 1.2), ("PlainSettingsDialog", "plain code", None)):
    ratio = startup("ratio", label)
    fastest = startup("min_ms", "Tavrel") / startup("min_ms", label)
    row(f"start-up ratio Tavrel / {name}", f"{ratio:.2f}x (fastest runs {fastest:.2f}x)",
        f"<= {budget}x" if budget else "-", ratio <= budget if budget else None)

for label, name, budget in (("tavrel32", "win32 Tavrel.exe", 256), ("tavrel64", "win64 Tavrel.exe", None),
                            ("floor64", "win64 minimal dialog", None)):
    size = int(result(f"stripped_bytes_{label}") or 0)
    row(f"{name} stripped", f"{size / 1024:.1f} KiB", f"<= {budget} KiB" if budget else "-",
        size <= budget * 1024 if budget else None)
for label, name in (("tavrel32", "win32 Tavrel.exe"), ("tavrel64", "win64 Tavrel.exe")):
    problems = results.get(f"pe_problem_{label}", [])
    row(f"{name} imports", result(f"imports_{label}") or "none", "system DLLs only",
        result(f"pe_status_{label}") == "0" and not problems)
    for problem in problems:
        row("", problem)

for kind, what in (("working_set", "PeakWorkingSetSize"), ("pagefile", "PeakPagefileUsage")):
    figures = [result(f"peak_{kind}_kib_{label}") for label, _ in programs]
    row(f"peak memory, dialog open: {what}",
        " / ".join(f"{int(f) / 1024:.1f}" for f in figures) + " MiB" if all(figures) else "not available")

widths = [max(len(r[i]) for r in rows + [("figure", "value", "budget", "mark")]) for i in range(4)]
line = lambda cells: "  ".join(c.ljust(w) for c, w in zip(cells, widths)).rstrip()
print(line(("figure", "value", "budget", "mark")))
print(line(["-" * w for w in widths]))
for r in rows:
    print(line(r))
print(f"""
MB = 10^6 bytes. Loader, NormalizeAddress and save: medians of 3 repetitions (Google Benchmark).
Start-up: median of {runs} runs of each program (win64, taking turns, Wine virtual desktop), from
CreateProcess until the dialog is visible with its Control Unit field filled; the ratios divide
medians. Peak memory: Tavrel / minimal dialog / Tavrel's dialog in plain code, read with
GetProcessMemoryInfo by the launcher under Wine while the dialog is open.""")
sys.exit(1 if failed else 0)
EOF
