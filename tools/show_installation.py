#!/usr/bin/env python3
"""Prints what an installation left in a Wine prefix: its shortcuts (through
lnkinfo) and the registry entries it wrote, one line per value, with the
per-extension entries folded into one line per extension.

usage: show_installation.py PREFIX"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import parse_reg  # noqa: E402
from shell import lnkinfo  # noqa: E402

FILE_EXTS = "software\\microsoft\\windows\\currentversion\\explorer\\fileexts\\."


def show_shortcuts(prefix):
    print("== shortcuts")
    for root, _dirs, names in sorted(os.walk(os.path.join(prefix, "drive_c"))):
        for name in sorted(n for n in names if n.endswith(".lnk")):
            path = os.path.join(root, name)
            rel = "C:\\" + os.path.relpath(path, os.path.join(prefix, "drive_c")).replace("/", "\\")
            print(f"  {rel}")
            try:
                fields = lnkinfo(path)
            except subprocess.CalledProcessError:
                print("      (not a valid shortcut)")
                continue
            for key in ("target", "arguments", "icon", "index", "description"):
                if key in fields and not (key == "index" and "icon" not in fields):
                    print(f"      {key:12} {fields[key]}")


def value_text(value):
    kind, data = value
    return f"{kind} {data!r}" if kind != "REG_DWORD" else f"{kind} {data}"


def show_registry(prefix):
    system = parse_reg(os.path.join(prefix, "system.reg"))
    user = parse_reg(os.path.join(prefix, "user.reg"))
    print("\n== registry: the viewer's own keys (HKLM as the 32-bit program sees it)")
    for key in sorted(system):
        plain = key.replace("software\\wow6432node\\", "software\\")
        own = ("\\lumidor" in plain and "\\lumidor." not in plain) or "lumi32.exe" in plain or \
              "durchsuchen mit" in plain or plain.endswith("\\registeredapplications")
        if not own or "fileassociations" in plain:
            continue
        for name, value in sorted(system[key].items()):
            if name == "Lumidor" or own:
                print(f"  HKLM\\{plain} [{name or '@'}] = {value_text(value)}")

    capabilities = system.get("software\\wow6432node\\lumidor\\capabilities\\fileassociations") or \
        system.get("software\\lumidor\\capabilities\\fileassociations") or {}
    classes = sorted(k for k in system if k.startswith("software\\classes\\lumidor."))
    bases = sorted({k.split("\\")[2] for k in classes})
    print(f"\n== registry: {len(bases)} classes (description | open command | icon)")
    for base in bases:
        key = "software\\classes\\" + base
        get = lambda k: (system.get(k) or {}).get("", ("", "-"))[1]
        command, icon = get(key + "\\shell\\open\\command"), get(key + "\\defaulticon")
        print(f"  {base:16} {get(key)!r} | {command!r} | {icon!r}")

    extensions = sorted({n[1:] for n in capabilities} |
                        {k.split("\\.")[-1].split("\\")[0] for k in user if k.startswith(FILE_EXTS)
                         and "lumidor" in str(user[k]).lower()} |
                        {k[len("software\\classes\\."):] for k in system if k.startswith("software\\classes\\.")
                         and str(system[k].get("", ("", ""))[1]).startswith("Lumidor.")})
    print(f"\n== registry: {len(extensions)} extensions (machine default | capability | user choice | XP ProgID)")
    for ext in extensions:
        machine = (system.get("software\\classes\\." + ext) or {}).get("", ("", ""))[1]
        machine = machine if str(machine).startswith("Lumidor.") else "-"
        capability = capabilities.get("." + ext, ("", "-"))[1]
        choice = (user.get(FILE_EXTS + ext + "\\userchoice") or {}).get("Progid", ("", "-"))[1]
        progid = (user.get(FILE_EXTS + ext) or {}).get("ProgID", ("", "-"))[1]
        print(f"  .{ext:6} {machine:14} {capability:14} {choice:14} {progid}")

    no_open_with = sorted(k for k in user if k.startswith("software\\classes\\appx") and "NoOpenWith" in user[k])
    print(f"\n== registry: NoOpenWith under {len(no_open_with)} packaged-application classes (HKCU)")
    for key in no_open_with:
        print(f"  HKCU\\{key}")


def main(prefix):
    show_shortcuts(prefix)
    show_registry(prefix)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
