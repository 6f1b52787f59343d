#!/usr/bin/env python3
"""Where the setup program's bytes go: the linker map's input sections by
origin (our code, minizip, zlib, the C and C++ runtimes, import tables),
then resources, relocations and the file's headers and alignment.

usage: size_table.py PROGRAM MAP ARCHIVE"""
import collections
import os
import re
import subprocess
import sys

COLUMNS = (".text", ".rdata", ".data", ".eh_frame", ".idata")
ORIGINS = (
    ("our code", r"liblumidor_core\.a|CMakeFiles/"),
    ("minizip", r"libminizip\.a"),
    ("zlib (inflate)", r"libzlib_inflate\.a|libz\.a"),
    ("C++ runtime", r"libstdc\+\+\.a|libsupc\+\+\.a"),
    ("import tables", r"lib(kernel32|user32|gdi32|advapi32|shell32|ole32|comctl32|uuid)\.a"),
    ("C runtime", r"."),
)
INPUT = re.compile(r"^ (\.[a-z_]+)(?:\$\S*)?\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S+)")
CONTINUED_NAME = re.compile(r"^ (\.[a-z_]+)(?:\$\S*)?\s*$")
CONTINUED = re.compile(r"^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S+)")


def origin(path):
    """The first origin whose pattern the input file's path matches."""
    return next(name for name, pattern in ORIGINS if re.search(pattern, path))


def map_sizes(map_path):
    sizes = collections.defaultdict(collections.Counter)
    pending = None
    lines = open(map_path, encoding="utf-8", errors="replace").read().splitlines()
    # What garbage collection discarded is listed first; the image follows.
    start = next(i for i, line in enumerate(lines) if line.startswith("Linker script and memory map"))
    for line in lines[start:]:
        m = INPUT.match(line)
        if m:
            section, size, path = m.group(1), int(m.group(2), 16), m.group(3)
        else:
            named = CONTINUED_NAME.match(line)
            if named:
                pending = named.group(1)
                continue
            m = CONTINUED.match(line)
            if not (m and pending):
                pending = None
                continue
            section, size, path = pending, int(m.group(1), 16), m.group(2)
        pending = None
        if section in COLUMNS and size:
            # Every DLL's import table, msvcrt's too, counts as import tables.
            sizes["import tables" if section == ".idata" else origin(path)][section] += size
    return sizes


def section_sizes(program):
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-h", program], capture_output=True, text=True,
                          check=True).stdout
    return {m.group(1): int(m.group(2), 16)
            for m in re.finditer(r"^\s+\d+ (\S+)\s+([0-9a-f]+)", dump, re.M)}


def main():
    program, map_path, archive = sys.argv[1:4]
    sizes = map_sizes(map_path)
    sections = section_sizes(program)
    total = os.path.getsize(program)
    archive_size = os.path.getsize(archive)
    kb = lambda n: f"{n / 1024:7.1f}"
    print(f"{'where the setup program’s bytes go (KB)':40}" + "".join(f"{c:>10}" for c in COLUMNS) + f"{'sum':>10}")
    listed = 0
    for name, _ in ORIGINS:
        row = sizes.get(name, {})
        listed += sum(row.values())
        print(f"  {name:38}" + "".join(f"{kb(row.get(c, 0)):>10}" for c in COLUMNS) + f"{kb(sum(row.values())):>10}")
    resources = sections.get(".rsrc", 0)
    relocations = sections.get(".reloc", 0)
    others = total - listed - resources - relocations
    print(f"  {'resources: the archive':38}{kb(archive_size):>60}")
    print(f"  {'resources: pictures, dialogs, texts':38}{kb(resources - archive_size):>60}")
    print(f"  {'relocations (ASLR)':38}{kb(relocations):>60}")
    print(f"  {'headers, section alignment':38}{kb(others):>60}")
    print(f"  {'the program':38}{kb(total):>60}")
    print(f"  {'the program minus its archive':38}{kb(total - archive_size):>60}  (target <= 100 KB)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
