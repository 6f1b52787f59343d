#!/usr/bin/env python3
"""Build check: the program may import only system DLLs, and only functions
that Windows XP SP3 provides. Wine has every newer function too, so a run
under Wine cannot catch such an import; this check does.

usage: check_imports.py PROGRAM.exe [ALLOWLIST]
The allow-list names, per system DLL, each function checked against XP SP3.
"""
import os
import re
import subprocess
import sys

RUNTIME_DLLS = re.compile(r"^(libstdc\+\+|libgcc|libwinpthread|libz|zlib|msvcp|msvcr\d|vcruntime|ucrtbase|api-ms-)", re.I)


def read_imports(program):
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", program], check=True,
                          capture_output=True, text=True).stdout
    imports, dll = {}, None
    for line in dump.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            dll = m.group(1).lower()
            imports.setdefault(dll, set())
            continue
        m = re.match(r"\s+[0-9a-f]+\s+([0-9a-f]+\s+)?(\S+)$", line)
        if dll and m and not line.strip().startswith("vma:"):
            imports[dll].add(m.group(2))
        if line.strip() == "" and dll and imports[dll]:
            dll = None
    return imports


def read_allowlist(path):
    allowed = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                dll, function = line.split()
                allowed.setdefault(dll.lower(), set()).add(function)
    return allowed


def main(argv):
    program = argv[1]
    allowlist = argv[2] if len(argv) > 2 else os.path.join(os.path.dirname(__file__), "xp_imports.txt")
    imports, allowed = read_imports(program), read_allowlist(allowlist)
    faults = []
    for dll, functions in sorted(imports.items()):
        if RUNTIME_DLLS.match(dll):
            faults.append(f"{dll}: a runtime DLL (link the runtimes statically)")
        elif dll not in allowed:
            faults.append(f"{dll}: not a system DLL known to XP SP3")
        else:
            for function in sorted(functions - allowed[dll]):
                faults.append(f"{dll}!{function}: not checked against XP SP3")
    if faults:
        print(f"{os.path.basename(program)}: imports that Windows XP SP3 may lack:", file=sys.stderr)
        for fault in faults:
            print("  " + fault, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
