#!/usr/bin/env python3
"""A large synthetic payload for the benchmark: the standard payload's files
plus about 2,000 data files of about 200 MB in all, half incompressible, half
text-like, from a fixed seed (the same archive every time).

usage: make_large_payload.py OUT.zip STANDARD_PAYLOAD.zip [MEGABYTES]"""
import random
import sys
import zipfile

ENTRY_TIME = (2026, 9, 18, 12, 0, 0)
WORDS = ("Bild Lumidor Vorschau Ordner Datei Farbe Pixel Rahmen Skin Werkzeug Ansicht Miniatur Zoom "
         "Drehen Helligkeit Kontrast Format Export Import Seite Druck Diashow").split()


def main(out, standard, megabytes=200):
    rng = random.Random(4711)
    count = 2000
    size = megabytes * 1024 * 1024 // count
    with zipfile.ZipFile(standard) as base, zipfile.ZipFile(out, "w") as archive:
        for info in base.infolist():
            archive.writestr(info, base.read(info), compress_type=info.compress_type)
        for folder in range(20):
            name = f"Data/Teil{folder:02d}/"
            archive.writestr(zipfile.ZipInfo(name, ENTRY_TIME), b"")
            for index in range(count // 20):
                info = zipfile.ZipInfo(f"{name}datei{index:03d}.bin", ENTRY_TIME)
                info.compress_type = zipfile.ZIP_DEFLATED
                if index % 2:
                    data = rng.randbytes(size)
                else:
                    text = []
                    length = 0
                    while length < size:
                        word = rng.choice(WORDS)
                        text.append(word)
                        length += len(word) + 1
                    data = " ".join(text).encode()[:size]
                archive.writestr(info, data, compresslevel=6)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], *(int(a) for a in sys.argv[3:])))
