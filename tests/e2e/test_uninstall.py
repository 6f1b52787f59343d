"""The uninstaller lu_uninstall.exe, run as Programs and Features and
deployment tools run it: removal round trips on every Windows version,
machines with a second installation, a running viewer, a held file, a copy
without an installation, and the interactive road."""
import os
import re
import shlex
import shutil
import subprocess

from harness import PAYLOAD, PROBE_EXE, SETUP_EXE, Prefix, snapshot_changes
from shell import COMMON_DESKTOP, DESKTOP, PROGRAMS, UNINSTALL, lnkinfo
from wizard import IDNO, IDOK, IDYES

PROGRAM_FILES_64 = "C:\\Program Files (x86)\\Lumidor"
PROGRAM_FILES_32 = "C:\\Program Files\\Lumidor"
EVERY_SWITCH = ["/silent", "/desktop=1", "/thumbs=1", "/group=1", "/assoc=2", "/assocallusers"]
SETTINGS = "drive_c/users/root/AppData/Roaming/Lumidor"
TEMP = "drive_c/users/root/Temp"
SEPARATOR = b"-" * 48 + b"\r\n"
PENDING = ("system\\currentcontrolset\\control\\session manager", "PendingFileRenameOperations")
FILE_EXTS = "software\\microsoft\\windows\\currentversion\\explorer\\fileexts"
VISTA_OR_LATER = {"vista", "win7", "win8", "win81", "win10"}


def machine(version, name):
    """A prefix of that Windows version for both programs, with the keys that
    every such Windows has and Wine lacks: the folders' and drives' verbs, the
    user's classes and Explorer extensions and, on Vista and later, the registered
    applications."""
    arch = "win32" if version == "winxp" else "win64"
    prefix = Prefix(name, arch=arch, version=version)
    prefix.set_version("lu_uninstall.exe", version)
    for key in ("SOFTWARE\\Classes\\Directory\\shell", "SOFTWARE\\Classes\\Drive\\shell"):
        prefix.create_key("system", prefix.machine_path(key))
    for key in ("Software\\Classes", "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts"):
        prefix.create_key("user", key)
    if version in VISTA_OR_LATER:
        prefix.create_key("system", prefix.machine_path("SOFTWARE\\RegisteredApplications"))
    return prefix


def program_folder(prefix):
    return PROGRAM_FILES_32 if prefix.arch == "win32" else PROGRAM_FILES_64


def start_folder(prefix):
    folder = prefix.unix("C:\\start")
    os.makedirs(folder, exist_ok=True)
    return folder


def quiet_uninstall(prefix):
    """The command deployment tools read from the uninstall entry, split."""
    entry = prefix.machine_key(UNINSTALL)
    assert entry is not None, "no uninstall entry"
    return shlex.split(entry["QuietUninstallString"][1].replace("\\", "/"))


def run_quiet_uninstall(prefix, *extra, cwd=None, command=None):
    """Runs it; command: the split command read before (reading the registry
    ends every program of the prefix)."""
    exe, *args = command or quiet_uninstall(prefix)
    return prefix.run_status(exe.replace("/", "\\"), [*args, *extra], cwd=cwd)


def uninstall_log(folder):
    path = os.path.join(folder, "Lumidor_Uninstall.log")
    if not os.path.exists(path):
        return []
    return [e.decode("latin-1") for e in open(path, "rb").read().split(SEPARATOR) if e]


def file_exts(snapshot):
    return {k: v for k, v in snapshot["user"].items() if k.startswith(FILE_EXTS)}


def round_trip(version, all_users, purge):
    name = f"roundtrip_{version}_{'all' if all_users else 'user'}{'_purge' if purge else ''}"
    prefix = machine(version, name)
    before = prefix.snapshot(folders=True)
    assert prefix.setup(*EVERY_SWITCH, f"/allusers={1 if all_users else 0}") == 0
    installed = prefix.unix(program_folder(prefix))
    assert os.path.isfile(os.path.join(installed, "lumi32.exe"))
    assert run_quiet_uninstall(prefix, *(["/purge"] if purge else [])) == 0
    prefix.wait_for_processes()

    # Only the uninstaller's temporary copy waits for the restart.
    pending = prefix.registry("system").get(PENDING[0], {}).get(PENDING[1])
    assert pending is not None, "no removal is scheduled for the copy"
    scheduled = [p for p in pending[1].split("\0") if p]
    assert len(scheduled) == 2 and re.search(r"\\Temp\\lu[0-9A-F]{6}\.tmp\\lu_uninstall\.exe$", scheduled[0]), scheduled
    assert scheduled[1] == scheduled[0].rsplit("\\", 1)[0], scheduled
    assert not os.path.exists(installed), os.listdir(installed)

    prefix.restart()
    after = prefix.snapshot(folders=True)
    # The former default classes of .jpg and .png (Wine's) come back too.
    kept = [] if purge else ["^" + re.escape(SETTINGS) + "(/lumi32\\.ini)?$"]
    changes = snapshot_changes(before, after, kept)
    assert changes == [], changes
    assert file_exts(after) == file_exts(before)
    assert (PENDING[1] not in after["system"].get(PENDING[0], {}))
    if not purge:
        assert os.path.isfile(prefix.unix("C:\\users\\root\\AppData\\Roaming\\Lumidor\\lumi32.ini"))


def _round_trip_test(version, all_users, purge):
    def test():
        round_trip(version, all_users, purge)
    return test


# Every Windows version: the current user's installation keeping the
# settings, and an all-users installation removed with "/purge".
for _version in ("winxp", "winxp64", "vista", "win7", "win8", "win81", "win10"):
    globals()[f"test_round_trip_for_the_user_on_{_version}_keeps_only_the_settings"] = \
        _round_trip_test(_version, False, False)
    globals()[f"test_round_trip_for_all_users_with_purge_on_{_version}_leaves_nothing"] = \
        _round_trip_test(_version, True, True)


def test_a_second_installation_keeps_every_key_link_and_file_and_a_users_file_stays():
    prefix = machine("win7", "uninstall_second")
    other = prefix.unix("C:\\Other")
    assert prefix.setup(*EVERY_SWITCH, "/folder=C:\\Other") == 0
    # The installation the class "Lumidor", the links and the entry now point at.
    assert prefix.setup(*EVERY_SWITCH, "/folder=" + PROGRAM_FILES_64) == 0
    os.makedirs(os.path.join(other, "Plugins"), exist_ok=True)
    open(os.path.join(other, "Notizen.txt"), "w").write("meine Notizen")
    open(os.path.join(other, "Plugins", "Eigenes.dll"), "wb").write(b"MZ")
    before = prefix.snapshot(folders=True)

    assert prefix.run("C:\\Other\\lu_uninstall.exe", ["/silent"]) == 0
    prefix.wait_for_processes()
    after = prefix.snapshot(folders=True)
    changes = snapshot_changes(before, after, ["^drive_c/Other/", "^" + TEMP + "/"])
    assert changes == [], changes
    left = sorted(os.path.relpath(os.path.join(r, n), other) for r, ds, ns in os.walk(other) for n in ns + ds)
    assert left == ["Notizen.txt", "Plugins", "Plugins/Eigenes.dll"], left
    assert prefix.machine_key(UNINSTALL)["InstallLocation"][1] == PROGRAM_FILES_64 + "\\"
    assert lnkinfo(prefix.unix(DESKTOP + "\\Lumidor.lnk"))["target"].startswith(PROGRAM_FILES_64)


def test_the_other_installations_removal_keeps_the_shared_items_of_the_one_registered():
    """The reverse order: the folder the keys point at is removed, the second
    installation's files and links stay."""
    prefix = machine("win10", "uninstall_owner")
    assert prefix.setup("/silent", "/assoc=2", "/folder=C:\\Other") == 0
    assert prefix.setup(*EVERY_SWITCH, "/folder=" + PROGRAM_FILES_64) == 0
    assert run_quiet_uninstall(prefix) == 0
    prefix.wait_for_processes()
    keys = prefix.registry("system")
    assert prefix.machine_key("SOFTWARE\\Classes\\Lumidor", keys) is None
    assert prefix.machine_key(UNINSTALL, keys) is None
    assert not [k for k in keys if k.startswith("software\\classes\\lumidor.")]
    assert os.path.isfile(prefix.unix("C:\\Other\\lumi32.exe"))
    assert os.path.isfile(prefix.unix("C:\\Other\\lu_uninstall.exe"))
    # The second installation still removes itself, though nothing points at it.
    assert prefix.run("C:\\Other\\lu_uninstall.exe", ["/silent"]) == 0
    prefix.wait_for_processes()
    assert not os.path.exists(prefix.unix("C:\\Other"))


def removal_while_running(name, start_blocker, status, message):
    """A silent removal while another program runs: the status, one log entry
    with the message, and nothing else changed."""
    prefix = machine("win7", name)
    start = start_folder(prefix)
    assert prefix.setup(*EVERY_SWITCH) == 0
    command = quiet_uninstall(prefix)
    before = prefix.snapshot(folders=True)
    blocker = start_blocker(prefix)
    try:
        assert run_quiet_uninstall(prefix, cwd=start, command=command) == status
        entries = uninstall_log(start)
        assert len(entries) == 1 and message in entries[0], entries
    finally:
        blocker.kill()
        prefix.stop()
    changes = snapshot_changes(before, prefix.snapshot(folders=True), ["^drive_c/start/Lumidor_Uninstall\\.log$"])
    assert changes == [], changes


def test_a_running_viewer_gives_1_and_removes_nothing():
    removal_while_running("uninstall_viewer_running", Prefix.start_viewer, 1, "Lumidor l\xe4uft")


def start_wizard(prefix):
    wizard = prefix.start(SETUP_EXE)
    assert prefix.probe("ui", "wait-sheet|60") == 0
    return wizard


def test_a_running_setup_gives_1618_and_removes_nothing():
    removal_while_running("uninstall_setup_running", start_wizard, 1618, "Setup oder eine Deinstallation")


def test_a_held_file_gives_3_keeps_the_installation_recognisable_and_the_rerun_completes():
    prefix = machine("win7", "uninstall_held_file")
    start = start_folder(prefix)
    clean = prefix.snapshot(folders=True)
    assert prefix.setup(*EVERY_SWITCH, "/allusers=1") == 0
    command = quiet_uninstall(prefix)
    held = PROGRAM_FILES_64 + "\\Plugins\\Icons.dll"
    holder = prefix.start(PROBE_EXE, ["hold", held, "600"])
    try:
        for _ in range(100):
            if os.path.exists(prefix.unix(held) + ".held"):
                break
            subprocess.run(["sleep", "0.1"])
        os.unlink(prefix.unix(held) + ".held")
        assert run_quiet_uninstall(prefix, cwd=start, command=command) == 3
        entries = uninstall_log(start)
        assert len(entries) == 1 and held in entries[0] and "nicht vollst\xe4ndig" in entries[0], entries
    finally:
        holder.kill()
        prefix.stop()
    # What keeps it recognisable: the viewer, the uninstaller, the entry, and
    # the settings file that says where the user's settings are.
    installed = prefix.unix(PROGRAM_FILES_64)
    assert sorted(os.listdir(installed)) == ["Plugins", "lu_uninstall.exe", "lumi32.exe", "lumi32.ini"]
    assert prefix.machine_key(UNINSTALL) is not None
    # The class "Lumidor" says which installation owns the shared items: it stays for the rerun.
    assert prefix.machine_key("SOFTWARE\\Classes\\Lumidor") is not None
    assert not os.path.exists(prefix.unix(COMMON_DESKTOP + "\\Lumidor.lnk"))
    os.unlink(os.path.join(start, "Lumidor_Uninstall.log"))

    assert run_quiet_uninstall(prefix, "/purge", cwd=start) == 0
    prefix.restart()
    changes = snapshot_changes(clean, prefix.snapshot(folders=True), ["^drive_c/start"])
    assert changes == [], changes


def test_the_uninstaller_outside_an_installation_gives_2_and_a_second_removal_finds_nothing():
    prefix = machine("win7", "uninstall_no_installation")
    start = start_folder(prefix)
    assert prefix.setup(*EVERY_SWITCH) == 0
    installed = prefix.unix(PROGRAM_FILES_64)
    stray = prefix.unix("C:\\Fremd")
    os.makedirs(stray)
    shutil.copy(os.path.join(installed, "lu_uninstall.exe"), stray)
    spare = open(os.path.join(installed, "lu_uninstall.exe"), "rb").read()

    before = prefix.snapshot(folders=True)
    assert prefix.run("C:\\Fremd\\lu_uninstall.exe", ["/silent"], cwd=start) == 2
    entries = uninstall_log(start)
    assert len(entries) == 1 and "C:\\Fremd\\" in entries[0] and "nicht installiert" in entries[0], entries
    changes = snapshot_changes(before, prefix.snapshot(folders=True), ["^drive_c/start/Lumidor_Uninstall\\.log$"])
    assert changes == [], changes

    # Removed once, a copy of the uninstaller put back finds nothing to remove.
    assert run_quiet_uninstall(prefix) == 0
    prefix.restart()
    os.makedirs(installed)
    open(os.path.join(installed, "lu_uninstall.exe"), "wb").write(spare)
    before = prefix.snapshot(folders=True)
    assert prefix.run(PROGRAM_FILES_64 + "\\lu_uninstall.exe", ["/silent"], cwd=start) == 2
    changes = snapshot_changes(before, prefix.snapshot(folders=True), ["^drive_c/start/Lumidor_Uninstall\\.log$"])
    assert changes == [], changes


def test_the_question_no_gives_1602_and_removes_nothing_and_yes_removes_with_a_closing_message():
    prefix = machine("win7", "uninstall_interactive")
    assert prefix.setup(*EVERY_SWITCH) == 0
    uninstaller = PROGRAM_FILES_64 + "\\lu_uninstall.exe"

    before = prefix.snapshot(folders=True)
    process = prefix.start_status(uninstaller)
    status, output = prefix.run_output(PROBE_EXE, ["ui", "wait-box|60", "box-text", "box-style", f"answer|{IDNO}",
                                                   "wait-no-box"])
    assert status == 0, output
    text, buttons = output.splitlines()[:2]
    assert "Lumidor" in text and "entfernen?" in text, text
    assert buttons.split() == ["6", "7*"], buttons  # Yes, and No as the default
    assert process.status(60) == 1602
    prefix.stop()
    changes = snapshot_changes(before, prefix.snapshot(folders=True))
    assert changes == [], changes

    process = prefix.start(uninstaller)
    status, output = prefix.run_output(PROBE_EXE, ["ui", "wait-box|60", f"answer|{IDYES}", "wait-no-box", "wait-box|60",
                                                   "box-text", "box-style", f"answer|{IDOK}", "wait-no-box"])
    assert status == 0, output
    text, buttons = output.splitlines()[:2]
    assert text == "Lumidor wurde vollst\xe4ndig von diesem Computer entfernt.", text
    assert buttons.split() == ["1*"] or buttons.split() == ["1"], buttons
    assert process.wait(timeout=60) == 0
    prefix.wait_for_processes()
    assert not os.path.exists(prefix.unix(PROGRAM_FILES_64))
    assert prefix.machine_key(UNINSTALL) is None
    assert not os.path.exists(prefix.unix(PROGRAMS + "\\Lumidor"))


def test_an_installation_into_a_drives_root_removes_its_files_and_never_the_root():
    prefix = machine("win7", "uninstall_drive_root")
    drive = os.path.join(prefix.path, "d-drive")
    os.makedirs(drive)
    prefix.map_drive("d", drive)
    open(os.path.join(drive, "eigen.txt"), "w").write("mine")
    assert prefix.setup("/silent", "/folder=D:\\", "/group=1") == 0
    assert "lumi32.exe" in os.listdir(drive)
    assert run_quiet_uninstall(prefix) == 0
    prefix.wait_for_processes()
    assert os.listdir(drive) == ["eigen.txt"]
    pending = prefix.registry("system").get(PENDING[0], {}).get(PENDING[1], ("", ""))[1]
    assert "D:" not in pending, pending


def test_an_interactive_run_without_an_installation_says_so_in_a_box():
    prefix = machine("win7", "uninstall_interactive_stray")
    stray = prefix.unix("C:\\Fremd")
    os.makedirs(stray)
    shutil.copy(os.path.join(PAYLOAD, "..", "uninstall", "lu_uninstall.exe"), stray)
    process = prefix.start("C:\\Fremd\\lu_uninstall.exe")
    status, output = prefix.run_output(PROBE_EXE, ["ui", "wait-box|60", "box-text", f"answer|{IDOK}", "wait-no-box"])
    assert status == 0, output
    assert output.splitlines()[0] == ("In diesem Ordner ist Lumidor nicht installiert:\\nC:\\Fremd\\\\n\\n"
                                      "Es wurde nichts entfernt."), output
    assert process.wait(timeout=60) == 2
    assert not os.path.exists(os.path.join(prefix.path, "Lumidor_Uninstall.log"))  # its start folder
