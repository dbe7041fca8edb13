#!/usr/bin/env python3
"""Prints the figures of one scripts/bench.sh run beside their budgets, one row each, and exits 1
when any figure misses its budget. A figure that could not be measured counts as missed.

Usage: budget_table.py BENCH_JSON RESULTS_FILE... --runs N

BENCH_JSON is Google Benchmark's JSON output (with median aggregates); each RESULTS_FILE holds
lines "RESULT key value" from the footprint step and from StartupLauncher."""

import argparse
import json
import math
import sys

SHAPES = ("endless_line", "lines_250", "nul_heavy", "all_equals")
# The generated files' sizes, up to the size limit of the settings file (1 MiB): a larger one is not read.
SIZES_KIB = (16, 128, 1024)
MIN_LOAD_MB_PER_S = 200  # on every file of the size limit (1024 KiB)
MAX_LOAD_SLOWDOWN = 1.5  # time per byte at 1024 KiB against 16 KiB
MAX_STARTUP_RATIO = 1.2  # Tavrel against its own dialog shown by plain Win32 code, medians
MAX_TAVREL_STRIPPED_KIB = 48  # Tavrel.exe, both builds
MAX_TAVRELCTL_STRIPPED_KIB = 160  # tavrelctl.exe, both builds
PROGRAMS = (
    ("Tavrel", "Tavrel.exe"),
    ("MinimalDialog", "minimal dialog (floor)"),
    ("PlainSettingsDialog", "Tavrel's dialog, plain Win32 code"),
)


def load_medians(benchmarks):
    """Median aggregates of the benchmarks that ran without error, by run name."""
    return {
        b["run_name"]: b
        for b in benchmarks
        if b.get("aggregate_name") == "median" and not b.get("error_occurred")
    }


def parse_results(lines):
    """'RESULT key value' lines -> {key: [values in order]}; other lines are ignored."""
    results = {}
    for line in lines:
        if line.startswith("RESULT "):
            _, key, *value = line.split(maxsplit=2)
            results.setdefault(key, []).append(value[0].strip() if value else "")
    return results


class Table:
    def __init__(self):
        self.rows = []
        self.failed = False

    def add(self, figure, value, budget="-", ok=None):
        """ok: True or False against a budget, None for a figure shown for information."""
        self.failed |= ok is False
        self.rows.append((figure, value, budget, "-" if ok is None else "pass" if ok else "FAIL"))

    def render(self):
        header = ("figure", "value", "budget", "mark")
        widths = [max(len(row[i]) for row in self.rows + [header]) for i in range(4)]
        line = lambda cells: "  ".join(c.ljust(w) for c, w in zip(cells, widths)).rstrip()
        return "\n".join([line(header), line(["-" * w for w in widths])] + [line(row) for row in self.rows])


def build_table(medians, results, runs):
    table = Table()
    first = lambda key: results.get(key, [""])[0]

    def number(key):
        try:
            return float(first(key))
        except ValueError:
            return math.nan

    typical = medians.get("LoadConfigFile/typical/real_time")
    table.add("load typical lan.cfg", f"{typical['real_time'] / 1000:.1f} us" if typical else "missing", "-",
              None if typical else False)
    for shape in SHAPES:
        found = [medians.get(f"LoadConfigFile/{shape}_{kib}KiB/real_time") for kib in SIZES_KIB]
        if None in found:
            table.add(f"load {shape}", "missing", f">= {MIN_LOAD_MB_PER_S} MB/s at 1024 KiB", False)
            continue
        rates = [b["bytes_per_second"] / 1e6 for b in found]
        table.add(f"load {shape} 16 / 128 / 1024 KiB", " / ".join(f"{r:.0f}" for r in rates) + " MB/s",
                  f">= {MIN_LOAD_MB_PER_S} MB/s at 1024 KiB", rates[2] >= MIN_LOAD_MB_PER_S)
        slowdown = rates[0] / rates[2]
        table.add(f"load {shape} 1024 KiB time/byte vs 16 KiB", f"{slowdown:.2f}x", f"<= {MAX_LOAD_SLOWDOWN}x",
                  slowdown <= MAX_LOAD_SLOWDOWN)
        counts = [first(f"load_ir_per_byte_{shape}_{kib}KiB") for kib in (16, 1024)]
        if all(counts):
            table.add(f"load {shape} instructions/byte 16 / 1024 KiB", " / ".join(counts))
    for kind in ("valid", "garbage"):
        b = medians.get(f"NormalizeAddress/{kind}")
        table.add(f"NormalizeAddress {kind}", f"{b['items_per_second'] / 1e6:.1f} M/s" if b else "missing", "-",
                  None if b else False)
    save = medians.get("SaveConfigFile/typical/real_time")
    table.add("SaveConfigFile incl. flush to disk", f"{save['real_time'] / 1000:.2f} ms" if save else "missing",
              "-", None if save else False)

    for label, name in PROGRAMS:
        table.add(f"start-up {name}",
                  f"{number(f'startup_ms_{label}'):.0f} ms (fastest {number(f'startup_min_ms_{label}'):.0f} ms)")
    # The budget compares one dialog with itself: what Tavrel's code adds. The empty dialog is another
    # dialog altogether, shown for information.
    for label, name, budget in (("PlainSettingsDialog", "its dialog in plain code", MAX_STARTUP_RATIO),
                                ("MinimalDialog", "minimal dialog", None)):
        ratio = number(f"startup_ratio_{label}")
        fastest = number("startup_min_ms_Tavrel") / number(f"startup_min_ms_{label}")
        # A missing figure is NaN, and NaN compares false: it fails the budget.
        table.add(f"start-up ratio Tavrel / {name} (median of {runs})",
                  f"{ratio:.2f}x (fastest runs {fastest:.2f}x)", f"<= {budget}x" if budget else "-",
                  ratio <= budget if budget else None)

    for label, name, budget in (("tavrel32", "win32 Tavrel.exe", MAX_TAVREL_STRIPPED_KIB),
                                ("tavrel64", "win64 Tavrel.exe", MAX_TAVREL_STRIPPED_KIB),
                                ("tavrelctl32", "win32 tavrelctl.exe", MAX_TAVRELCTL_STRIPPED_KIB),
                                ("tavrelctl64", "win64 tavrelctl.exe", MAX_TAVRELCTL_STRIPPED_KIB),
                                ("floor64", "win64 minimal dialog", None)):
        size = number(f"stripped_bytes_{label}")
        table.add(f"{name} stripped", f"{size / 1024:.1f} KiB", f"<= {budget} KiB" if budget else "-",
                  size <= budget * 1024 if budget else None)
    for label, name in (("tavrel32", "win32 Tavrel.exe"), ("tavrel64", "win64 Tavrel.exe"),
                        ("tavrelctl32", "win32 tavrelctl.exe"), ("tavrelctl64", "win64 tavrelctl.exe")):
        problems = results.get(f"pe_problem_{label}", [])
        table.add(f"{name} imports", first(f"imports_{label}") or "none", "KnownDLLs only",
                  first(f"pe_status_{label}") == "0" and not problems)
        for problem in problems:
            table.add("", problem)

    for kind, what in (("working_set", "PeakWorkingSetSize"), ("pagefile", "PeakPagefileUsage")):
        figures = [number(f"peak_{kind}_kib_{label}") for label, _ in PROGRAMS]
        table.add(f"peak memory, dialog open: {what}",
                  "not available" if any(math.isnan(f) for f in figures)
                  else " / ".join(f"{f / 1024:.1f}" for f in figures) + " MiB")
    return table


NOTE = """
MB = 10^6 bytes. Loader, NormalizeAddress and save: medians of 5 repetitions (Google Benchmark).
Instructions per byte: callgrind, inside LoadConfigFile only.
Start-up: median of {runs} runs of each program (win64, taking turns, Wine virtual desktop), from
CreateProcess until the dialog is visible with its Control Unit field filled; the ratios divide
medians. Peak memory: Tavrel / minimal dialog / Tavrel's dialog in plain code, read with
GetProcessMemoryInfo by the launcher under Wine while the dialog is open."""


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("bench_json")
    parser.add_argument("results", nargs="+")
    parser.add_argument("--runs", required=True)
    args = parser.parse_args(argv)
    with open(args.bench_json) as file:
        medians = load_medians(json.load(file).get("benchmarks", []))
    lines = []
    for path in args.results:
        with open(path) as file:
            lines += file.readlines()
    table = build_table(medians, parse_results(lines), args.runs)
    print(table.render())
    print(NOTE.format(runs=args.runs))
    return 1 if table.failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
