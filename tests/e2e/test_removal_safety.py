"""The uninstaller on machines that are not clean, as an administrator and a
hostile user would try it: links planted inside the installation, other
spellings of its folder, items of others before and after the installation,
a denied key, a viewer deleted by someone else, a folder open elsewhere, and
a second installation on XP. Either the machine ends as it was before the
installation, or the status is 3 and the log says what stays."""
import os
import re
import shutil

from harness import INSTALLATION_KEYS, PROBE_EXE, snapshot_changes
from shell import NO_OPEN_WITH_CLASSES, UNINSTALL
from test_uninstall import (EVERY_SWITCH, PENDING, PROGRAM_FILES_64, SETTINGS, machine, quiet_uninstall,
                            run_quiet_uninstall, start_folder, uninstall_log)

SETTINGS_FOLDER = "C:\\users\\root\\AppData\\Roaming\\Lumidor"
LINK_NOTE = "(Verkn\xfcpfung, nicht verfolgt)"
DENY_SET_VALUE = "D:(D;;0x2;;;WD)(A;;KA;;;WD)"
ALLOW_ALL = "D:(A;;KA;;;WD)"
START_LOG = ["^drive_c/start/"]
SHORTCUTS = (r"^drive_c/users/[^/]+/Desktop/Lumidor( Thumbnails)?\.lnk$",
             r"^drive_c/(users/[^/]+/AppData/Roaming|ProgramData)/Microsoft/Windows/Start Menu/Programs/Lumidor(/|$)")


def dangling_references(prefix):
    """Extension defaults and Explorer choices that name a viewer class that
    does not exist."""
    system, user = prefix.registry("system"), prefix.registry("user")
    classes = {k for k in system if re.match(r"^software\\classes\\lumidor\.[^\\]+$", k)}
    named = [(k, v.get("", ("", ""))[1]) for k, v in system.items() if re.match(r"^software\\classes\\\.[^\\]+$", k)]
    named += [(k, v.get(name, ("", ""))[1]) for k, v in user.items() for name in ("ProgID", "Progid")
              if "\\explorer\\fileexts\\." in k]
    return [(k, c) for k, c in named if c.lower().startswith("lumidor.") and "software\\classes\\" + c.lower() not in classes]


def test_a_link_inside_the_installation_or_a_linked_settings_folder_is_never_followed():
    prefix = machine("win7", "removal_links")
    start = start_folder(prefix)
    assert prefix.setup(*EVERY_SWITCH, "/folder=C:\\Lumidor") == 0
    installed, settings = prefix.unix("C:\\Lumidor"), prefix.unix(SETTINGS_FOLDER)
    # Someone else's files under the payload's and the settings' names, and
    # the links a user who may write C:\Lumidor plants to them.
    elsewhere = prefix.unix("C:\\Fremd")
    shutil.copytree(os.path.join(installed, "Plugins"), os.path.join(elsewhere, "Plugins"))
    shutil.copytree(settings, os.path.join(elsewhere, "Einstellungen"))
    shutil.copy(os.path.join(installed, "lm_about.txt"), os.path.join(elsewhere, "wichtig.txt"))
    for name, target in (("Plugins", "Plugins"), ("lm_about.txt", "wichtig.txt")):
        path = os.path.join(installed, name)
        shutil.rmtree(path) if os.path.isdir(path) else os.unlink(path)
        os.symlink(os.path.join(elsewhere, target), path)
    shutil.rmtree(settings)
    os.symlink(os.path.join(elsewhere, "Einstellungen"), settings)

    before = prefix.snapshot(folders=True)
    assert run_quiet_uninstall(prefix, "/purge", cwd=start) == 3
    entries = uninstall_log(start)
    assert len(entries) == 1, entries
    for link in ("C:\\Lumidor\\Plugins", "C:\\Lumidor\\lm_about.txt", SETTINGS_FOLDER):
        assert f"{link} {LINK_NOTE}" in entries[0], (link, entries)
    # Nothing outside the installation changed; what keeps it recognisable stays.
    prefix.wait_for_processes()
    changes = snapshot_changes(before, prefix.snapshot(folders=True),
                               ["^drive_c/Lumidor/", *START_LOG, *INSTALLATION_KEYS, *SHORTCUTS])
    assert changes == [], changes
    assert sorted(os.listdir(installed)) == ["Plugins", "lm_about.txt", "lu_uninstall.exe", "lumi32.exe", "lumi32.ini"]
    assert prefix.machine_key(UNINSTALL) is not None


def test_every_spelling_of_the_folder_and_a_drive_letter_leave_the_machine_as_it_was():
    prefix = machine("win7", "removal_spellings")
    clean = prefix.snapshot(folders=True)
    status, output = prefix.run_output(PROBE_EXE, ["short-path", "C:\\Program Files (x86)"])
    short = output.strip()
    assert status == 0 and "~" in short, output
    spellings = [("C:\\Apps\\\\Lumidor", "C:\\Apps\\Lumidor\\"), ("C:\\Apps\\.\\Lumidor", "C:\\Apps\\Lumidor\\"),
                 ("C:\\Apps\\x\\..\\Lumidor", "C:\\Apps\\Lumidor\\"), (short + "\\Lumidor", PROGRAM_FILES_64 + "\\")]
    for spelling, canonical in spellings:
        assert prefix.setup("/silent", "/group=1", "/desktop=1", "/assoc=1", "/folder=" + spelling) == 0, spelling
        entry = prefix.machine_key(UNINSTALL)
        assert entry["InstallLocation"][1] == canonical, (spelling, entry["InstallLocation"])
        assert entry["QuietUninstallString"][1] == f'"{canonical}lu_uninstall.exe" /silent'
        assert run_quiet_uninstall(prefix, "/purge") == 0, spelling
        prefix.restart()
        changes = snapshot_changes(clean, prefix.snapshot(folders=True))
        assert changes == [], (spelling, changes)

    # Started through a drive letter that names its folder, as subst makes one.
    assert prefix.setup("/silent", "/group=1", "/assoc=1", "/folder=C:\\Apps\\Lumidor") == 0
    prefix.map_drive("s", prefix.unix("C:\\Apps\\Lumidor"))
    assert prefix.run("S:\\lu_uninstall.exe", ["/silent", "/purge"]) == 0
    prefix.restart()
    os.unlink(os.path.join(prefix.path, "dosdevices", "s:"))
    changes = snapshot_changes(clean, prefix.snapshot(folders=True))
    assert changes == [], changes


def test_items_of_others_from_before_and_after_the_installation_stay():
    prefix = machine("win10", "removal_foreign")
    for app_class in NO_OPEN_WITH_CLASSES:
        prefix.set_value("user", "Software\\Classes\\" + app_class, "NoOpenWith", "")
    os.makedirs(prefix.unix(SETTINGS_FOLDER))
    before = prefix.snapshot(folders=True)

    assert prefix.setup("/silent", "/assoc=1", "/desktop=1") == 0
    # What the viewer keeps in its key, and an administrator's note in the entry.
    prefix.set_value("system", prefix.machine_path("SOFTWARE\\Lumidor\\Verlauf"), "Zuletzt", "C:\\Bilder")
    prefix.set_value("system", prefix.machine_path(UNINSTALL), "Kommentar", "Abteilung 3")
    assert run_quiet_uninstall(prefix) == 0
    prefix.restart()
    after = prefix.snapshot(folders=True)
    changes = snapshot_changes(before, after)
    lumidor, entry = prefix.machine_path("SOFTWARE\\Lumidor"), prefix.machine_path(UNINSTALL)
    assert changes == [f"file {SETTINGS}/lumi32.ini", f"system key {lumidor}", f"system key {lumidor}\\verlauf",
                       f"system key {entry}"], changes
    assert after["system"][lumidor] == {} and after["system"][lumidor + "\\verlauf"] == {
        "Zuletzt": ("REG_SZ", "C:\\Bilder")}
    assert after["system"][entry] == {"Kommentar": ("REG_SZ", "Abteilung 3")}

    # With "/purge" the keys go whole; the settings folder that was there stays.
    assert prefix.setup("/silent", "/assoc=1") == 0
    assert run_quiet_uninstall(prefix, "/purge") == 0
    prefix.restart()
    changes = snapshot_changes(before, prefix.snapshot(folders=True))
    assert changes == [], changes


def test_a_denied_key_gives_3_then_the_rerun_0_and_a_viewer_deleted_by_someone_else_still_goes():
    prefix = machine("win7", "removal_denied")
    start = start_folder(prefix)
    clean = prefix.snapshot(folders=True)
    assert prefix.setup(*EVERY_SWITCH) == 0
    command = quiet_uninstall(prefix)
    assert prefix.probe("key-access", "HKLM\\SOFTWARE\\Classes\\.jpg", DENY_SET_VALUE) == 0
    assert run_quiet_uninstall(prefix, "/purge", cwd=start, command=command) == 3
    entries = uninstall_log(start)
    assert len(entries) == 1 and "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.jpg [(Standard)]" in entries[0], entries
    assert prefix.machine_key("SOFTWARE\\Classes\\Lumidor") is not None  # the rerun finds the shared items
    assert prefix.probe("key-access", "HKLM\\SOFTWARE\\Classes\\.jpg", ALLOW_ALL) == 0
    assert run_quiet_uninstall(prefix, "/purge", cwd=start, command=command) == 0
    prefix.restart()
    changes = snapshot_changes(clean, prefix.snapshot(folders=True), START_LOG)
    assert changes == [], changes

    assert prefix.setup(*EVERY_SWITCH) == 0
    os.unlink(prefix.unix(PROGRAM_FILES_64 + "\\lumi32.exe"))
    assert run_quiet_uninstall(prefix, "/purge", cwd=start) == 0
    prefix.restart()
    changes = snapshot_changes(clean, prefix.snapshot(folders=True), START_LOG)
    assert changes == [], changes


def test_a_read_only_uninstaller_and_a_folder_open_elsewhere_go_at_the_restart_with_the_created_parent():
    prefix = machine("win7", "removal_restart")
    clean = prefix.snapshot(folders=True)
    assert prefix.setup("/silent", "/group=1", "/folder=C:\\Werkzeuge\\Lumidor") == 0
    assert prefix.run("cmd", ["/c", "attrib", "+r", "C:\\Werkzeuge\\Lumidor\\lu_uninstall.exe"]) == 0
    command = quiet_uninstall(prefix)
    prefix.start(PROBE_EXE, ["hold-folder", "C:\\Werkzeuge\\Lumidor", "20"])
    assert run_quiet_uninstall(prefix, "/purge", command=command) == 0
    prefix.wait_for_processes()
    installed = prefix.unix("C:\\Werkzeuge\\Lumidor")
    assert os.listdir(installed) == [], os.listdir(installed)
    pending = prefix.registry("system")[PENDING[0]][PENDING[1]][1].split("\0")
    assert "\\??\\C:\\Werkzeuge\\Lumidor" in pending and "\\??\\C:\\Werkzeuge" in pending, pending
    prefix.restart()
    changes = snapshot_changes(clean, prefix.snapshot(folders=True))
    assert changes == [], changes


def test_on_xp_the_other_installations_removal_leaves_no_reference_to_its_classes():
    prefix = machine("winxp", "removal_xp_second")
    assert prefix.setup("/silent", "/assoc=2", "/assocallusers", "/folder=C:\\Other") == 0
    assert prefix.setup("/silent", "/assoc=1", "/assocallusers", "/folder=C:\\Lumidor") == 0
    assert prefix.run("C:\\Other\\lu_uninstall.exe", ["/silent"]) == 0
    prefix.wait_for_processes()
    assert dangling_references(prefix) == []
    # The registered installation keeps its own.
    assert prefix.machine_key("SOFTWARE\\Classes\\.jpg")[""][1] == "Lumidor.jpg"
