"""The format catalogue as the tools read it: the rows of
assoc/FormatCatalogue.cpp, each with its extensions and their class bases,
in catalogue order (the first 51 rows are the image formats)."""
import os
import re

CATALOGUE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assoc", "FormatCatalogue.cpp")
IMAGES_ONLY_ROWS = 51
_ROW = re.compile(r'^\s*\{L"([^"]*)", L"([^"]*)", \{((?:\{L"[^"]+", L"[^"]+"\}(?:, )?)+)\}, IconKind::(\w+)\},\s*// (\d+)$')
_EXTENSION = re.compile(r'\{L"([^"]+)", L"([^"]+)"\}')


def rows():
    """[(label, [(extension, class base), ...]), ...] in catalogue order."""
    found = []
    with open(CATALOGUE, encoding="utf-8") as source:
        for line in source:
            m = _ROW.match(line)
            if m:
                assert int(m.group(5)) == len(found), f"row {m.group(5)} out of order"
                found.append((m.group(1), _EXTENSION.findall(m.group(3))))
    assert len(found) == 65, f"{len(found)} catalogue rows read"
    return found


def extensions(row_count=None):
    """The extensions (lower case, no dot) of the first row_count rows, with their class bases."""
    return [pair for _label, pairs in rows()[:row_count] for pair in pairs]
