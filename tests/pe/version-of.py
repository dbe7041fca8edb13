"""Prints the version a Windows executable's version resource gives: the file version of its fixed
part, and the FileVersion and ProductVersion strings, one line each, as the Properties dialog shows.

Usage: version-of.py EXECUTABLE
"""
import struct
import sys

SIGNATURE = struct.pack("<I", 0xFEEF04BD)  # VS_FIXEDFILEINFO


def string_value(data, key):
    """The value of a StringFileInfo entry: UTF-16 key, padding to 32 bits, UTF-16 value."""
    start = data.find(key.encode("utf-16-le") + b"\0\0")
    if start < 0:
        return None
    start += len(key) * 2 + 2
    start += (4 - start % 4) % 4
    end = start
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[start:end].decode("utf-16-le")


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    data = open(argv[1], "rb").read()
    at = data.find(SIGNATURE)
    if at < 0:
        sys.exit(f"{argv[1]}: no version resource")
    most, least = struct.unpack_from("<II", data, at + 8)
    print(f"fixed {most >> 16}.{most & 0xFFFF}.{least >> 16}.{least & 0xFFFF}")
    for key in ("FileVersion", "ProductVersion"):
        print(f"{key} {string_value(data, key)}")


if __name__ == "__main__":
    main(sys.argv)
