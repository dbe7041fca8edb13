#!/usr/bin/env python3
"""Checks a Windows executable: its PE format (PE32 or PE32+, with the matching machine) and that
every DLL it imports, directly or delay-loaded, ships with Windows. Prints the format, the imports
and the file size; exits 0 when all is well, 1 when a check fails, 2 when the file is not a
readable PE image."""

import argparse
import os
import struct
import sys

# DLLs that every supported Windows installs in its system directory. The MinGW runtime DLLs
# (libstdc++, libgcc, libwinpthread) are deliberately absent: the program must carry them inside.
SYSTEM_DLLS = frozenset(
    name + ".dll"
    for name in (
        "kernel32", "user32", "gdi32", "comctl32", "comdlg32", "msvcrt", "advapi32", "shell32",
        "shlwapi", "ole32", "oleaut32", "uxtheme", "version", "psapi", "ntdll", "ws2_32", "winmm",
        "imm32", "rpcrt4", "crypt32", "bcrypt", "secur32", "dwmapi", "msimg32", "setupapi",
        "userenv", "iphlpapi", "winspool",
    )
) | {"winspool.drv"}

# Optional-header magic -> (format name, machine it must come with, machine name).
FORMATS = {
    0x10B: ("PE32", 0x014C, "i386"),
    0x20B: ("PE32+", 0x8664, "x86-64"),
}

IMPORT_DIRECTORY = 1
DELAY_IMPORT_DIRECTORY = 13


class PeError(Exception):
    """The bytes are not a PE image this checker can read."""


class PeImage:
    def __init__(self, data):
        self.data = data
        if self._read(0, 2) != b"MZ":
            raise PeError("no MZ header")
        pe = self._u32(0x3C)
        if self._read(pe, 4) != b"PE\0\0":
            raise PeError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", self._read(pe + 4, 20))
        optional = pe + 24
        self.magic = self._u16(optional)
        if self.magic not in FORMATS:
            raise PeError(f"unknown optional header magic 0x{self.magic:x}")
        wide = self.magic == 0x20B
        self.image_base = self._u64(optional + 24) if wide else self._u32(optional + 28)
        directory_count = self._u32(optional + (108 if wide else 92))
        directories = optional + (112 if wide else 96)
        self.directories = [
            struct.unpack_from("<II", self._read(directories + 8 * i, 8)) for i in range(min(directory_count, 16))
        ]
        table = optional + optional_size
        self.sections = []
        for i in range(sections):
            virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from(
                "<IIII", self._read(table + 40 * i + 8, 16)
            )
            self.sections.append((virtual_address, max(virtual_size, raw_size), raw_pointer, raw_size))

    @property
    def format_name(self):
        return FORMATS[self.magic][0]

    def machine_matches(self):
        return FORMATS[self.magic][1] == self.machine

    def imported_dlls(self):
        """Names of the imported DLLs, direct imports first, in table order."""
        names = []
        rva = self._directory(IMPORT_DIRECTORY)
        while rva:
            descriptor = self._read(self._offset(rva), 20)
            if descriptor == bytes(20):
                break
            names.append(self._string(struct.unpack_from("<I", descriptor, 12)[0]))
            rva += 20
        rva = self._directory(DELAY_IMPORT_DIRECTORY)
        while rva:
            attributes, name = struct.unpack_from("<II", self._read(self._offset(rva), 8))
            if attributes == 0 and name == 0:
                break
            # Attribute bit 0 clear: the old layout, which holds virtual addresses instead of RVAs.
            names.append(self._string(name if attributes & 1 else name - self.image_base))
            rva += 32
        return names

    def _directory(self, index):
        return self.directories[index][0] if index < len(self.directories) else 0

    def _offset(self, rva):
        for virtual_address, size, raw_pointer, raw_size in self.sections:
            if virtual_address <= rva < virtual_address + size:
                if rva - virtual_address >= raw_size:
                    raise PeError(f"RVA 0x{rva:x} lies in uninitialised data")
                return raw_pointer + rva - virtual_address
        raise PeError(f"RVA 0x{rva:x} lies in no section")

    def _string(self, rva):
        start = self._offset(rva)
        end = self.data.find(b"\0", start)
        if end < 0:
            raise PeError(f"unterminated name at RVA 0x{rva:x}")
        return self.data[start:end].decode("latin-1")

    def _read(self, offset, size):
        if offset < 0 or offset + size > len(self.data):
            raise PeError(f"truncated at offset 0x{offset:x}")
        return self.data[offset : offset + size]

    def _u16(self, offset):
        return struct.unpack("<H", self._read(offset, 2))[0]

    def _u32(self, offset):
        return struct.unpack("<I", self._read(offset, 4))[0]

    def _u64(self, offset):
        return struct.unpack("<Q", self._read(offset, 8))[0]


def check(data, expected_format):
    """Returns (summary lines, problems) for the image in data."""
    image = PeImage(data)
    dlls = image.imported_dlls()
    lines = [
        f"format: {image.format_name}",
        f"machine: 0x{image.machine:04x}",
        "imports: " + " ".join(dlls),
        f"size: {len(data)} bytes",
    ]
    problems = []
    if image.format_name != expected_format:
        problems.append(f"is {image.format_name}, expected {expected_format}")
    if not image.machine_matches():
        machine = FORMATS[image.magic][2]
        problems.append(f"machine 0x{image.machine:04x} does not go with {image.format_name} ({machine})")
    problems += [f"imports {dll}, which is not a Windows system DLL" for dll in dlls if dll.lower() not in SYSTEM_DLLS]
    return lines, problems


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--expect", required=True, choices=["PE32", "PE32+"])
    parser.add_argument("executable")
    args = parser.parse_args(argv)
    try:
        with open(args.executable, "rb") as file:
            data = file.read()
        lines, problems = check(data, args.expect)
    except (OSError, PeError) as error:
        print(f"{args.executable}: {error}", file=sys.stderr)
        return 2
    print(os.path.basename(args.executable))
    for line in lines:
        print("  " + line)
    for problem in problems:
        print(f"  FAIL: {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
