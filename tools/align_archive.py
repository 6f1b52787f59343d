#!/usr/bin/env python3
"""Moves the resource section of a linked program (which holds the payload
archive) to a page boundary in the file, in place, when it is large.

Wine maps a section straight from the file only when its file offset is a
multiple of the page size; otherwise it reads the whole section into memory
when the program starts: for a large archive a copy of every byte before the
first instruction runs, and that much private memory. Windows maps the
section either way. The zero bytes put in before the section (at most 3.5 KB)
shift it and every section after it; the PE check sum is computed again.
A section under 1 MiB stays where it is: copying it costs less than a
millisecond, and the padding would be a noticeable share of the program.
Run before signing (a signature covers the layout).

usage: align_archive.py PROGRAM"""
import struct
import sys

PAGE = 0x1000
SECTION = ".rsrc"
LARGE = 0x100000


def check_sum(image, check_sum_at):
    """The PE check sum: 16-bit one's-complement sum of the file, its own
    field counted as zero, plus the file's length. As 0x10000 leaves 1 modulo
    0xFFFF, the sum of the words is the file read as one number, modulo 0xFFFF."""
    words = bytearray(image)
    words[check_sum_at:check_sum_at + 4] = bytes(4)
    return (int.from_bytes(words, "little") % 0xFFFF or 0xFFFF) + len(image)


def align(image):
    """The program with its resource section at a page boundary, and the
    number of bytes put in."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    check_sum_at = optional + 64
    directories = optional + (96 if struct.unpack_from("<H", image, optional)[0] == 0x10B else 112)
    table = optional + optional_size
    headers = [table + 40 * i for i in range(sections)]
    names = [image[h:h + 8].rstrip(b"\0").decode("ascii", "replace") for h in headers]
    if SECTION not in names:
        return image, 0
    size, start = struct.unpack_from("<II", image, headers[names.index(SECTION)] + 16)
    pad = -start % PAGE
    if pad == 0 or size < LARGE:
        return image, 0
    # What holds file offsets that the move would leave pointing elsewhere.
    if struct.unpack_from("<I", image, directories - 4)[0] < 7:
        raise ValueError("too few data directories")
    if struct.unpack_from("<I", image, directories + 4 * 8 + 4)[0]:
        raise ValueError("signed: align before signing")
    if (struct.unpack_from("<I", image, directories + 6 * 8 + 4)[0] or struct.unpack_from("<I", image, pe + 12)[0]
            or any(struct.unpack_from("<II", image, h + 24) != (0, 0) for h in headers)):
        raise ValueError("debug data, symbols or line numbers: strip the program first")
    image = bytearray(image[:start]) + bytes(pad) + image[start:]
    for header in headers:
        raw = struct.unpack_from("<I", image, header + 20)[0]
        if raw >= start:
            struct.pack_into("<I", image, header + 20, raw + pad)
    struct.pack_into("<I", image, check_sum_at, check_sum(image, check_sum_at))
    return image, pad


def main(path):
    with open(path, "rb") as f:
        image = f.read()
    aligned, pad = align(image)
    if pad:
        with open(path, "wb") as f:
            f.write(aligned)
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
