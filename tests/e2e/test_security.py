"""DLL planting: copies of the DLLs the setup program and the uninstaller load at run time, put
beside the program and in the current directory, are never loaded."""
import os
import re
import shutil

from fixtures import icon_library, planted_dll, variant
from harness import PROBE_EXE, SETUP_EXE, Prefix

RUNTIME_DLLS = ("UxTheme.dll", "version.dll", "comctl32.dll", "shell32.dll")
# Native first, so that a load by bare name takes a planted copy: Wine would
# otherwise always prefer its own builtin DLLs.
OVERRIDES = "uxtheme,version,comctl32,shell32=n,b"
PLANTED = ("C:\\Downloads\\", "C:\\Arbeit\\")


def plant(prefix, folder):
    os.makedirs(prefix.unix(folder), exist_ok=True)
    for name in RUNTIME_DLLS:
        marker = f"C:\\planted-{name}-{folder[3:]}.txt"
        shutil.copy(planted_dll(name, marker), prefix.unix(folder + "\\" + name))


def markers(prefix):
    return sorted(n for n in os.listdir(prefix.unix("C:\\")) if n.startswith("planted-"))


def loads(trace, program):
    """The DLLs that the process of program loaded, in order, from Wine's trace."""
    m = re.search(r'^([0-9a-f]{4}):trace:loaddll:build_module Loaded L"[^"]*\\\\' + re.escape(program), trace, re.M)
    assert m, f"{program} is not in the trace"
    thread = m.group(1)
    found = []
    for line in trace.splitlines():
        m = re.match(r'^([0-9a-f]{4}):trace:loaddll:build_module Loaded L"(.*?)" at', line)
        if m and m.group(1) == thread:
            found.append(m.group(2).replace("\\\\", "\\"))
    return found


def check_planting(name, program):
    """Returns the DLLs the program loaded from its folder C:\\Downloads."""
    prefix = Prefix(name)
    for folder in ("C:\\Downloads", "C:\\Arbeit"):
        plant(prefix, folder)
    shutil.copy(program, prefix.unix("C:\\Downloads\\lumidor476_setup.exe"))
    shutil.copy(PROBE_EXE, prefix.unix("C:\\Downloads\\probe.exe"))
    # An installed icon library, so that the version probe loads version.dll too.
    os.makedirs(prefix.unix("C:\\Lumidor\\Plugins"))
    shutil.copy(icon_library("4.3", 0, "Orvendal"), prefix.unix("C:\\Lumidor\\Plugins\\Icons.dll"))
    prefix.dll_overrides = OVERRIDES

    # The control: a program beside the copies that loads by bare name picks them up.
    for name in RUNTIME_DLLS:
        status, trace = prefix.run_trace(prefix.unix("C:\\Downloads\\probe.exe"), ["load", name],
                                         cwd=prefix.unix("C:\\Arbeit"))
        assert status == 0 and f"C:\\Downloads\\{name}" in loads(trace, "probe.exe"), (name, status)
    for marker in markers(prefix):
        os.unlink(prefix.unix("C:\\" + marker))

    status, trace = prefix.run_trace(prefix.unix("C:\\Downloads\\lumidor476_setup.exe"),
                                     ["/silent", "/folder=C:\\Lumidor", "/desktop=1", "/assoc=1"],
                                     cwd=prefix.unix("C:\\Arbeit"))
    assert status == 0, status
    assert os.path.isfile(prefix.unix("C:\\users\\root\\Desktop\\Lumidor.lnk"))
    loaded = loads(trace, "lumidor476_setup.exe")
    planted = [p for p in loaded if p.startswith(PLANTED) and not p.endswith(".exe")]
    # Wine's own user32 imports version.dll: with native DLLs preferred, the
    # loader takes the copy beside the program before any code of ours runs.
    # Nothing else planted is ever loaded, and our own version probe takes the
    # system folder's copy.
    user32 = next(i for i, p in enumerate(loaded) if p.lower().endswith("\\user32.dll"))
    assert all(loaded.index(p) < user32 and p.endswith("version.dll") for p in planted), planted
    assert "C:\\windows\\system32\\version.dll" in loaded[user32:], loaded
    assert [m for m in markers(prefix) if "version" not in m] == [], markers(prefix)
    return loaded


def test_planted_copies_of_runtime_dlls_are_never_loaded():
    check_planting("dll_planting", SETUP_EXE)


def test_without_search_flags_planted_copies_stay_unloaded_and_comctl32_is_version_6():
    # Loads as XP, and Vista and 7 without the update, must: no
    # SetDefaultDllDirectories, no LOAD_LIBRARY_SEARCH_SYSTEM32.
    loaded = check_planting("dll_planting_old_loader", variant("old_loader"))
    comctl32 = [p for p in loaded if p.lower().endswith("\\comctl32.dll")]
    assert comctl32 and all("\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0." in p.lower()
                            for p in comctl32), comctl32


def test_the_uninstaller_never_loads_copies_planted_in_the_installation_or_start_folder():
    prefix = Prefix("dll_planting_uninstaller")
    assert prefix.setup("/silent", "/folder=C:\\Downloads", "/desktop=1", "/assoc=1") == 0
    for folder in ("C:\\Downloads", "C:\\Arbeit"):
        plant(prefix, folder)
    prefix.dll_overrides = OVERRIDES
    status, trace = prefix.run_trace(prefix.unix("C:\\Downloads\\lu_uninstall.exe"), ["/silent"],
                                     cwd=prefix.unix("C:\\Arbeit"))
    assert status == 0, status
    assert not os.path.exists(prefix.unix("C:\\users\\root\\Desktop\\Lumidor.lnk"))
    loaded = loads(trace, "lu_uninstall.exe")
    # As for the setup program: only Wine's user32 takes version.dll beside the
    # program, before any code of ours runs.
    user32 = next(i for i, p in enumerate(loaded) if p.lower().endswith("\\user32.dll"))
    planted = [p for p in loaded if p.startswith(PLANTED) and not p.endswith(".exe")]
    assert all(loaded.index(p) < user32 and p.endswith("version.dll") for p in planted), planted
    assert any(p.lower().endswith("\\system32\\shell32.dll") for p in loaded), loaded
    assert [m for m in markers(prefix) if "version" not in m] == [], markers(prefix)
    # The planted copies are no payload entries: they stay, and so does the folder.
    prefix.wait_for_processes()
    assert sorted(os.listdir(prefix.unix("C:\\Downloads"))) == sorted(RUNTIME_DLLS)
