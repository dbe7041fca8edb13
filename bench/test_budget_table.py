#!/usr/bin/env python3
"""Checks that the budget table marks each figure against the right budget, including at the
boundaries, and that a figure that is missing never passes."""

import contextlib
import io
import json
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import budget_table  # noqa: E402

MB = 1e6


def benchmark(name, **fields):
    return {"run_name": name, "aggregate_name": "median", **fields}


def good_benchmarks(rates=None):
    """Google Benchmark medians that meet every budget; rates maps 'shape_NKiB' to MB/s."""
    rates = rates or {}
    runs = [
        benchmark("LoadConfigFile/typical/real_time", real_time=4500.0, bytes_per_second=50 * MB),
        benchmark("NormalizeAddress/valid", items_per_second=17e6),
        benchmark("NormalizeAddress/garbage", items_per_second=45e6),
        benchmark("SaveConfigFile/typical/real_time", real_time=900.0, bytes_per_second=0.2 * MB),
    ]
    for shape in budget_table.SHAPES:
        for kib in budget_table.SIZES_KIB:
            key = f"{shape}_{kib}KiB"
            runs.append(benchmark(f"LoadConfigFile/{key}/real_time", bytes_per_second=rates.get(key, 1000) * MB))
    return runs


GOOD_RESULTS = """\
RESULT pe_status_tavrel32 0
RESULT stripped_bytes_tavrel32 44000
RESULT imports_tavrel32 KERNEL32.dll msvcrt.dll USER32.dll
RESULT pe_status_tavrel64 0
RESULT stripped_bytes_tavrel64 43000
RESULT imports_tavrel64 KERNEL32.dll msvcrt.dll USER32.dll
RESULT pe_status_tavrelctl32 0
RESULT stripped_bytes_tavrelctl32 60000
RESULT imports_tavrelctl32 KERNEL32.dll msvcrt.dll
RESULT pe_status_tavrelctl64 0
RESULT stripped_bytes_tavrelctl64 60000
RESULT imports_tavrelctl64 KERNEL32.dll msvcrt.dll
RESULT stripped_bytes_floor64 15000
tavrel start-up ms: 100.0 110.0
RESULT startup_ms_Tavrel 110.00
RESULT startup_min_ms_Tavrel 100.00
RESULT startup_ms_MinimalDialog 100.00
RESULT startup_min_ms_MinimalDialog 90.00
RESULT startup_ms_PlainSettingsDialog 105.00
RESULT startup_min_ms_PlainSettingsDialog 95.00
RESULT startup_ratio_MinimalDialog 1.100
RESULT startup_ratio_PlainSettingsDialog 1.048
RESULT peak_working_set_kib_Tavrel 23000
RESULT peak_working_set_kib_MinimalDialog 19000
RESULT peak_working_set_kib_PlainSettingsDialog 22000
RESULT peak_pagefile_kib_Tavrel 6000
RESULT peak_pagefile_kib_MinimalDialog 4000
RESULT peak_pagefile_kib_PlainSettingsDialog 5000
"""


def with_result(key, value):
    """GOOD_RESULTS with one key's value replaced (value None: the line removed)."""
    lines = [line for line in GOOD_RESULTS.splitlines() if not line.startswith(f"RESULT {key} ")]
    return lines + ([f"RESULT {key} {value}"] if value is not None else [])


def marks(table):
    return {row[0]: row[3] for row in table.rows}


class BudgetTableTest(unittest.TestCase):
    def build(self, benchmarks=None, lines=None):
        medians = budget_table.load_medians(benchmarks if benchmarks is not None else good_benchmarks())
        results = budget_table.parse_results(lines if lines is not None else GOOD_RESULTS.splitlines())
        return budget_table.build_table(medians, results, "21")

    def test_good_figures_pass(self):
        table = self.build()
        self.assertFalse(table.failed, table.render())
        self.assertNotIn("FAIL", marks(table).values())
        self.assertEqual(marks(table)["start-up ratio Tavrel / its dialog in plain code (median of 21)"], "pass")

    def test_each_budget_at_and_past_its_boundary(self):
        cases = [
            # description, benchmarks, result lines, row, expected mark
            ("1024 KiB load at 200 MB/s", good_benchmarks({"nul_heavy_1024KiB": 200, "nul_heavy_16KiB": 250}), None,
             "load nul_heavy 16 / 128 / 1024 KiB", "pass"),
            ("1024 KiB load below 200 MB/s", good_benchmarks({"nul_heavy_1024KiB": 199, "nul_heavy_16KiB": 250}), None,
             "load nul_heavy 16 / 128 / 1024 KiB", "FAIL"),
            ("slow 16 KiB load does not excuse 1024 KiB", good_benchmarks({"lines_250_16KiB": 150, "lines_250_1024KiB": 150}),
             None, "load lines_250 16 / 128 / 1024 KiB", "FAIL"),
            ("1024 KiB exactly 1.5x slower per byte", good_benchmarks({"all_equals_16KiB": 1500, "all_equals_1024KiB": 1000}),
             None, "load all_equals 1024 KiB time/byte vs 16 KiB", "pass"),
            ("1024 KiB more than 1.5x slower per byte",
             good_benchmarks({"all_equals_16KiB": 1510, "all_equals_1024KiB": 1000}), None,
             "load all_equals 1024 KiB time/byte vs 16 KiB", "FAIL"),
            ("1024 KiB faster than 16 KiB", good_benchmarks({"endless_line_16KiB": 500, "endless_line_1024KiB": 1000}),
             None, "load endless_line 1024 KiB time/byte vs 16 KiB", "pass"),
            ("start-up ratio 1.2", None, with_result("startup_ratio_PlainSettingsDialog", "1.200"),
             "start-up ratio Tavrel / its dialog in plain code (median of 21)", "pass"),
            ("start-up ratio 1.21", None, with_result("startup_ratio_PlainSettingsDialog", "1.210"),
             "start-up ratio Tavrel / its dialog in plain code (median of 21)", "FAIL"),
            ("start-up ratio missing", None, with_result("startup_ratio_PlainSettingsDialog", None),
             "start-up ratio Tavrel / its dialog in plain code (median of 21)", "FAIL"),
            ("a slower dialog than the empty one is no fault", None,
             with_result("startup_ratio_MinimalDialog", "1.310"),
             "start-up ratio Tavrel / minimal dialog (median of 21)", "-"),
            ("win32 exactly 48 KiB", None, with_result("stripped_bytes_tavrel32", 48 * 1024),
             "win32 Tavrel.exe stripped", "pass"),
            ("win32 one byte over 48 KiB", None, with_result("stripped_bytes_tavrel32", 48 * 1024 + 1),
             "win32 Tavrel.exe stripped", "FAIL"),
            ("win32 size missing", None, with_result("stripped_bytes_tavrel32", None),
             "win32 Tavrel.exe stripped", "FAIL"),
            ("win64 one byte over 48 KiB", None, with_result("stripped_bytes_tavrel64", 48 * 1024 + 1),
             "win64 Tavrel.exe stripped", "FAIL"),
            ("tavrelctl one byte over 160 KiB", None, with_result("stripped_bytes_tavrelctl64", 160 * 1024 + 1),
             "win64 tavrelctl.exe stripped", "FAIL"),
            ("minimal dialog size has no budget", None, with_result("stripped_bytes_floor64", 10 * 1024 * 1024),
             "win64 minimal dialog stripped", "-"),
            ("import checker failed", None, with_result("pe_status_tavrel64", "1"), "win64 Tavrel.exe imports", "FAIL"),
            ("import checker did not run", None, with_result("pe_status_tavrel32", None),
             "win32 Tavrel.exe imports", "FAIL"),
        ]
        for description, benchmarks, lines, row, expected in cases:
            with self.subTest(description):
                table = self.build(benchmarks, lines)
                self.assertEqual(marks(table)[row], expected, table.render())
                self.assertEqual(table.failed, expected == "FAIL")

    def test_a_benchmark_that_failed_or_did_not_run_fails_the_table(self):
        errored = good_benchmarks()
        errored[0]["error_occurred"] = True
        not_aggregated = [dict(b, aggregate_name="mean") if "nul_heavy_128KiB" in b["run_name"] else b
                          for b in good_benchmarks()]
        cases = [
            ("typical load reported an error", errored, "load typical lan.cfg"),
            ("no median for one size", not_aggregated, "load nul_heavy"),
            ("no benchmarks at all", [], "SaveConfigFile incl. flush to disk"),
        ]
        for description, benchmarks, row in cases:
            with self.subTest(description):
                table = self.build(benchmarks)
                self.assertTrue(table.failed)
                self.assertEqual(marks(table)[row], "FAIL")

    def test_each_import_problem_gets_its_own_row(self):
        lines = with_result("pe_status_tavrel32", "1") + [
            "RESULT pe_problem_tavrel32 imports libstdc++-6.dll, which is not a KnownDLL",
            "RESULT pe_problem_tavrel32 imports libgcc_s_dw2-1.dll, which is not a KnownDLL",
        ]
        table = self.build(lines=lines)
        values = [row[1] for row in table.rows]
        self.assertIn("imports libstdc++-6.dll, which is not a KnownDLL", values)
        self.assertIn("imports libgcc_s_dw2-1.dll, which is not a KnownDLL", values)

    def test_instruction_counts_are_shown_only_when_measured(self):
        lines = GOOD_RESULTS.splitlines() + [
            "RESULT load_ir_per_byte_lines_250_16KiB 2.100",
            "RESULT load_ir_per_byte_lines_250_1024KiB 2.090",
            "RESULT load_ir_per_byte_nul_heavy_16KiB 2.850",
        ]
        rows = {row[0]: row for row in self.build(lines=lines).rows}
        self.assertEqual(rows["load lines_250 instructions/byte 16 / 1024 KiB"][1:], ("2.100 / 2.090", "-", "-"))
        self.assertNotIn("load nul_heavy instructions/byte 16 / 1024 KiB", rows)

    def test_main_prints_the_table_and_exits_by_verdict(self):
        cases = [("all good", GOOD_RESULTS, 0),
                 ("one miss", "\n".join(with_result("startup_ratio_PlainSettingsDialog", "2")), 1)]
        with tempfile.TemporaryDirectory() as directory:
            bench_json = os.path.join(directory, "bench.json")
            with open(bench_json, "w") as file:
                json.dump({"context": {}, "benchmarks": good_benchmarks()}, file)
            for description, text, code in cases:
                with self.subTest(description):
                    results = os.path.join(directory, "results.txt")
                    with open(results, "w") as file:
                        file.write(text + "\n")
                    out = io.StringIO()
                    with contextlib.redirect_stdout(out):
                        self.assertEqual(budget_table.main(["--runs", "21", bench_json, results]), code)
                    self.assertIn("win32 Tavrel.exe stripped", out.getvalue())


if __name__ == "__main__":
    unittest.main()
