"""Writes a zip of the named files under a folder, the same bytes on every run: entries in the order
given, each stamped with SOURCE_DATE_EPOCH (UTC), a regular file readable by all, compressed alike.

Usage: zip-folder.py ZIP FOLDER ENTRY...   (ENTRY: a path relative to FOLDER, with slashes)
"""
import os
import sys
import time
import zipfile


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    target, folder, entries = argv[1], argv[2], argv[3:]
    # Zip times cannot go before 1980.
    stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]
    with zipfile.ZipFile(target, "w") as archive:
        for entry in entries:
            info = zipfile.ZipInfo(entry, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the permissions below are read
            info.external_attr = 0o100644 << 16
            with open(os.path.join(folder, entry), "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)


if __name__ == "__main__":
    main(sys.argv)
