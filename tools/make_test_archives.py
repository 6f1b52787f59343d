#!/usr/bin/env python3
"""Builds the damaged and hostile payload archives that the tests feed to the
unpacker and to test builds of the setup program. Each goes into
OUT/<variant>/lumipg_payload.zip.

usage: make_test_archives.py OUT STANDARD_PAYLOAD.zip"""
import os
import shutil
import struct
import sys
import zipfile

import make_large_payload

ENTRY_TIME = (2026, 9, 18, 12, 0, 0)


def write(path, entries):
    """entries: (name, bytes or None for a folder entry)."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with zipfile.ZipFile(path, "w") as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, ENTRY_TIME)
            if data is None:
                info.external_attr = 0x10
                archive.writestr(info, b"")
            else:
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, data)


def standard_entries(payload):
    with zipfile.ZipFile(payload) as archive:
        return [(i.filename, None if i.is_dir() else archive.read(i)) for i in archive.infolist()]


def break_crc(path, victim):
    """Flips the stored CRC of one entry in its local and central headers alike,
    so that only the check after inflating can notice."""
    with zipfile.ZipFile(path) as archive:
        info = archive.getinfo(victim)
    data = bytearray(open(path, "rb").read())
    local = info.header_offset
    crc = struct.unpack_from("<I", data, local + 14)[0] ^ 0xA5A5A5A5
    struct.pack_into("<I", data, local + 14, crc)
    at = struct.unpack_from("<I", data, len(data) - 22 + 16)[0]
    while data[at:at + 4] == b"PK\x01\x02":
        name_length, extra_length, comment_length = struct.unpack_from("<HHH", data, at + 28)
        if data[at + 46:at + 46 + name_length].decode() == victim:
            struct.pack_into("<I", data, at + 16, crc)
        at += 46 + name_length + extra_length + comment_length
    open(path, "wb").write(data)


def declare_longer(path, victim, extra):
    """Declares one entry EXTRA bytes longer than its data in both headers:
    its deflate stream then ends cleanly before the declared size, with a
    check sum that matches what it holds."""
    with zipfile.ZipFile(path) as archive:
        info = archive.getinfo(victim)
    data = bytearray(open(path, "rb").read())
    struct.pack_into("<I", data, info.header_offset + 22, info.file_size + extra)
    at = struct.unpack_from("<I", data, len(data) - 22 + 16)[0]
    while data[at:at + 4] == b"PK\x01\x02":
        name_length, extra_length, comment_length = struct.unpack_from("<HHH", data, at + 28)
        if data[at + 46:at + 46 + name_length].decode() == victim:
            struct.pack_into("<I", data, at + 24, info.file_size + extra)
        at += 46 + name_length + extra_length + comment_length
    open(path, "wb").write(data)


def main(out, payload):
    entries = standard_entries(payload)
    files = [(n, d) for n, d in entries if d is not None]

    # Files only: every folder must be made on the way.
    write(os.path.join(out, "missing_folders", "lumipg_payload.zip"), files)

    # A CRC mismatch in the third file.
    crc_path = os.path.join(out, "crc_error", "lumipg_payload.zip")
    write(crc_path, entries)
    break_crc(crc_path, files[2][0])

    # The third file shorter than its entry declares.
    short_path = os.path.join(out, "short_entry", "lumipg_payload.zip")
    write(short_path, entries)
    declare_longer(short_path, files[2][0], 1000)

    # Cut in the middle: not even the directory at its end can be read.
    truncated = os.path.join(out, "truncated", "lumipg_payload.zip")
    os.makedirs(os.path.dirname(truncated), exist_ok=True)
    whole = open(payload, "rb").read()
    open(truncated, "wb").write(whole[:len(whole) // 2])

    # Names that try to leave the installation folder, around harmless ones.
    write(os.path.join(out, "hostile_names", "lumipg_payload.zip"), [
        ("lumi32.exe", dict(files)["lumi32.exe"]),
        ("../escaped_parent.txt", b"parent"),
        ("..\\escaped_backslash.txt", b"backslash"),
        ("/escaped_root.txt", b"root"),
        ("\\escaped_root2.txt", b"root2"),
        ("C:escaped_drive.txt", b"drive"),
        ("Sub/../../escaped_nested.txt", b"nested"),
        ("Sub/harmless..txt", b"dots inside a name are fine"),
        ("ok.txt", b"ok"),
    ])

    # Only folders: nothing of the viewer would arrive.
    write(os.path.join(out, "folders_only", "lumipg_payload.zip"), [(n, None) for n, d in entries if d is None])

    # Long enough to unpack that a run can be stopped halfway: 2,000 files.
    many = os.path.join(out, "many_files", "lumipg_payload.zip")
    os.makedirs(os.path.dirname(many), exist_ok=True)
    make_large_payload.main(many, payload, 40)

    # A CRC mismatch in the middle of those: the threads unpacking the others stop.
    many_crc = os.path.join(out, "many_files_crc_error", "lumipg_payload.zip")
    os.makedirs(os.path.dirname(many_crc), exist_ok=True)
    shutil.copyfile(many, many_crc)
    with zipfile.ZipFile(many_crc) as archive:
        names = [i.filename for i in archive.infolist() if not i.is_dir()]
    break_crc(many_crc, names[len(names) // 2])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
