#!/usr/bin/env python3
"""Builds the payload archive: deflated entries in the order given, explicit
folder entries, one fixed entry time, so that builds are reproducible.

usage: make_payload.py OUT.zip NAME=SOURCE ... (a NAME ending in "/" is a folder entry)
"""
import sys
import zipfile

ENTRY_TIME = (2026, 9, 18, 12, 0, 0)  # local time, as the archive stores it


def main(argv):
    out, entries = argv[1], argv[2:]
    with zipfile.ZipFile(out, "w") as archive:
        for entry in entries:
            name, _, source = entry.partition("=")
            info = zipfile.ZipInfo(name, ENTRY_TIME)
            info.create_system = 0  # MS-DOS attributes
            if name.endswith("/"):
                info.external_attr = 0x10  # directory
                archive.writestr(info, b"")
                continue
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0x20  # archive
            with open(source, "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
