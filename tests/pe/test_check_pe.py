#!/usr/bin/env python3
"""Self-test of check_pe.py on PE images laid out here byte by byte."""

import contextlib
import io
import os
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_pe  # noqa: E402

PE32, PE32_PLUS = 0x10B, 0x20B
I386, AMD64 = 0x014C, 0x8664
SECTION_RVA, SECTION_FILE_OFFSET = 0x1000, 0x200


def build_pe(magic=PE32, machine=I386, imports=(), delayed=(), delay_attributes=1, image_base=0x400000):
    """A minimal image: DOS header, PE headers, one section holding the import tables and names."""
    wide = magic == PE32_PLUS
    optional_size = (112 if wide else 96) + 16 * 8

    section = bytearray()
    names_start = 20 * (len(imports) + 1) + 32 * (len(delayed) + 1)
    names = bytearray()

    def name_rva(name):
        rva = SECTION_RVA + names_start + len(names)
        names.extend(name.encode("latin-1") + b"\0")
        return rva

    for dll in imports:
        section += struct.pack("<IIIII", 0, 0, 0, name_rva(dll), 0)
    section += bytes(20)
    for dll in delayed:
        rva = name_rva(dll)
        section += struct.pack("<II", delay_attributes, rva if delay_attributes & 1 else rva + image_base) + bytes(24)
    section += bytes(32)
    section += names

    optional = bytearray(optional_size)
    struct.pack_into("<H", optional, 0, magic)
    if wide:
        struct.pack_into("<Q", optional, 24, image_base)
    else:
        struct.pack_into("<I", optional, 28, image_base)
    directories = 112 if wide else 96
    struct.pack_into("<I", optional, directories - 4, 16)
    if imports:
        struct.pack_into("<II", optional, directories + 8 * 1, SECTION_RVA, 20 * (len(imports) + 1))
    if delayed:
        delay_rva = SECTION_RVA + 20 * (len(imports) + 1)
        struct.pack_into("<II", optional, directories + 8 * 13, delay_rva, 32 * (len(delayed) + 1))

    headers = bytearray(64)
    headers[0:2] = b"MZ"
    struct.pack_into("<I", headers, 0x3C, 64)
    headers += b"PE\0\0" + struct.pack("<HHIIIHH", machine, 1, 0, 0, 0, optional_size, 0x0102) + optional
    headers += b".idata\0\0" + struct.pack("<IIII", len(section), SECTION_RVA, len(section), SECTION_FILE_OFFSET)
    headers += bytes(16)
    assert len(headers) <= SECTION_FILE_OFFSET
    return bytes(headers.ljust(SECTION_FILE_OFFSET, b"\0") + section)


class CheckTest(unittest.TestCase):
    def test_verdicts(self):
        system = ("KERNEL32.dll", "USER32.dll", "GDI32.dll", "COMCTL32.dll", "msvcrt.dll")
        cases = [
            # description, expected format, image, substrings of the expected problems
            ("PE32 with system imports", "PE32", build_pe(imports=system), []),
            ("PE32+ with system imports", "PE32+", build_pe(PE32_PLUS, AMD64, imports=system), []),
            ("DLL names in any case", "PE32", build_pe(imports=("kernel32.DLL", "User32.Dll")), []),
            ("no imports at all", "PE32", build_pe(), []),
            ("PE32 where PE32+ is expected", "PE32+", build_pe(imports=system), ["is PE32, expected PE32+"]),
            ("PE32+ where PE32 is expected", "PE32", build_pe(PE32_PLUS, AMD64), ["is PE32+, expected PE32"]),
            ("PE32+ magic on an i386 machine", "PE32+", build_pe(PE32_PLUS, I386), ["does not go with PE32+"]),
            ("PE32 magic on an x86-64 machine", "PE32", build_pe(PE32, AMD64), ["does not go with PE32"]),
            (
                "the MinGW runtime DLLs",
                "PE32",
                build_pe(imports=("KERNEL32.dll", "libstdc++-6.dll", "libgcc_s_dw2-1.dll", "libwinpthread-1.dll")),
                ["libstdc++-6.dll", "libgcc_s_dw2-1.dll", "libwinpthread-1.dll"],
            ),
            ("a delay-loaded runtime DLL", "PE32+",
             build_pe(PE32_PLUS, AMD64, imports=system, delayed=("libgcc_s_seh-1.dll",)), ["libgcc_s_seh-1.dll"]),
            ("a delay-loaded system DLL", "PE32", build_pe(imports=system, delayed=("SHELL32.dll",)), []),
            ("old-layout delay import holding a VA", "PE32",
             build_pe(delayed=("zlib1.dll",), delay_attributes=0), ["zlib1.dll"]),
        ]
        for description, expected, image, wanted in cases:
            with self.subTest(description):
                _, problems = check_pe.check(image, expected)
                self.assertEqual(len(problems), len(wanted), problems)
                for problem, substring in zip(problems, wanted):
                    self.assertIn(substring, problem)

    def test_imports_are_listed_in_table_order(self):
        image = build_pe(imports=("USER32.dll", "KERNEL32.dll"), delayed=("SHELL32.dll", "COMDLG32.dll"))
        self.assertEqual(
            check_pe.PeImage(image).imported_dlls(), ["USER32.dll", "KERNEL32.dll", "SHELL32.dll", "COMDLG32.dll"]
        )

    def test_malformed_images_are_refused(self):
        good = build_pe(imports=("KERNEL32.dll",))
        far_lfanew = bytearray(good)
        struct.pack_into("<I", far_lfanew, 0x3C, len(good) + 100)
        bad_magic = bytearray(good)
        struct.pack_into("<H", bad_magic, 64 + 24, 0x107)
        stray_import = bytearray(good)
        struct.pack_into("<I", stray_import, 64 + 24 + 96 + 8, 0x9000)
        unterminated = good.rstrip(b"\0")
        # The section claims 0x1000 bytes in memory but has only its raw bytes on disk; the import
        # directory points into the part that exists only in memory, and the file holds a plausible
        # copy of the table at the matching offset, which belongs to no section and must not be read.
        uninitialised = bytearray(good.ljust(SECTION_FILE_OFFSET + 0x800, b"\0"))
        uninitialised += good[SECTION_FILE_OFFSET : SECTION_FILE_OFFSET + 40]
        section_header = 64 + 24 + 96 + 16 * 8
        struct.pack_into("<I", uninitialised, section_header + 8, 0x1000)
        struct.pack_into("<I", uninitialised, 64 + 24 + 96 + 8, SECTION_RVA + 0x800)
        cases = [
            ("empty file", b""),
            ("no MZ", b"ZM" + good[2:]),
            ("PE header beyond the end", bytes(far_lfanew)),
            ("unknown optional header magic", bytes(bad_magic)),
            ("import table in no section", bytes(stray_import)),
            ("import table in uninitialised data", bytes(uninitialised)),
            ("cut inside the headers", good[:150]),
            ("cut inside the import table", good[: SECTION_FILE_OFFSET + 10]),
            ("name without its terminating NUL", unterminated),
        ]
        for description, image in cases:
            with self.subTest(description):
                with self.assertRaises(check_pe.PeError):
                    check_pe.check(image, "PE32")

    def test_exit_codes(self):
        cases = [
            ("a good image", build_pe(imports=("KERNEL32.dll",)), 0),
            ("a foreign import", build_pe(imports=("libstdc++-6.dll",)), 1),
            ("not an image", b"#!/bin/sh\n", 2),
        ]
        with tempfile.TemporaryDirectory() as directory:
            for description, image, code in cases:
                with self.subTest(description):
                    path = os.path.join(directory, "Tavrel.exe")
                    with open(path, "wb") as file:
                        file.write(image)
                    with contextlib.redirect_stdout(io.StringIO()), contextlib.redirect_stderr(io.StringIO()):
                        self.assertEqual(check_pe.main(["--expect", "PE32", path]), code)
            with contextlib.redirect_stderr(io.StringIO()):
                self.assertEqual(check_pe.main(["--expect", "PE32", os.path.join(directory, "missing.exe")]), 2)


if __name__ == "__main__":
    unittest.main()
