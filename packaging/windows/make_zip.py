#!/usr/bin/env python3
"""Packs the Windows zip so that the same files always give the same bytes.

Usage: make_zip.py EPOCH ZIP FILE...

The entries come in the order given, named by their file names, each with the time EPOCH (seconds,
SOURCE_DATE_EPOCH) as UTC, a fixed mode (rwxr-xr-x for programs, rw-r--r-- for the rest) and no extra
fields: nothing of the builder's clock, time zone, umask or user gets in. An archiver would record
them (libarchive writes the local time, the access and change times, the owner's ids).
"""
import os
import sys
import time
import zipfile

# A zip entry's time cannot lie before 1980.
EARLIEST_ZIP_TIME = 315532800


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__.strip().splitlines()[2])
    epoch, zip_path, files = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
    stamp = time.gmtime(max(epoch, EARLIEST_ZIP_TIME))[:6]
    partial = zip_path + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for path in files:
            entry = zipfile.ZipInfo(os.path.basename(path), stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 3  # Unix: the mode below is what unzip gives the file
            mode = 0o755 if path.lower().endswith(".exe") else 0o644
            entry.external_attr = (0o100000 | mode) << 16
            with open(path, "rb") as source:
                archive.writestr(entry, source.read(), compresslevel=9)
    os.replace(partial, zip_path)


if __name__ == "__main__":
    main()
