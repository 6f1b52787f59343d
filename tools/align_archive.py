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
    field counted as zero, plus the file's length."""
    padded = image + b"\0" * (len(image) & 1)
    words = struct.unpack(f"<{len(padded) // 2}H", padded)
    total = sum(words) - sum(struct.unpack_from("<2H", padded, check_sum_at))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(image)


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
    # Both hold file offsets that the move would leave pointing elsewhere.
    if struct.unpack_from("<I", image, directories + 4 * 8 + 4)[0]:
        raise ValueError("signed: align before signing")
    if struct.unpack_from("<I", image, directories + 6 * 8 + 4)[0] or struct.unpack_from("<I", image, pe + 12)[0]:
        raise ValueError("debug data or symbols: strip the program first")
    table = optional + optional_size
    headers = [table + 40 * i for i in range(sections)]
    names = [image[h:h + 8].rstrip(b"\0").decode("ascii", "replace") for h in headers]
    if SECTION not in names:
        return image, 0
    size, start = struct.unpack_from("<II", image, headers[names.index(SECTION)] + 16)
    pad = -start % PAGE
    if pad == 0 or size < LARGE:
        return image, 0
    image = bytearray(image[:start] + b"\0" * pad + image[start:])
    for header in headers:
        raw = struct.unpack_from("<I", image, header + 20)[0]
        if raw >= start:
            struct.pack_into("<I", image, header + 20, raw + pad)
    struct.pack_into("<I", image, check_sum_at, check_sum(bytes(image), check_sum_at))
    return bytes(image), pad


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
