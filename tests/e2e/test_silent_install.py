"""Silent installations with the real setup program: files, times, settings,
the icon library, and every failure the driver reports."""
import glob
import hashlib
import os
import re
import subprocess
import time

from fixtures import PAYLOAD_ICONS_DLL, icon_library, read_only_folder, small_drive, variant
from harness import (INSTALLATION_FILES, INSTALLATION_KEYS, PROBE_EXE, SETUP_EXE, Prefix, confined_to,
                     installation_areas)
from shell import UNINSTALL

ENTRY_TIME = time.mktime((2026, 9, 18, 12, 0, 0, 0, 0, -1))  # stored as local time
PROGRAM_FILES = "C:\\Program Files (x86)\\Lumidor"
APPDATA_INI = "C:\\users\\root\\AppData\\Roaming\\Lumidor\\lumi32.ini"
SEPARATOR = b"-" * 48 + b"\r\n"
MESSAGE_7 = "Fehler beim Installieren!".encode("latin-1")
MESSAGE_11 = "Kann Zielverzeichnis nicht erstellen!".encode("latin-1")
HEADER = "; UNICODE FILE - edit with care ;-)\r\n\r\n"

PAYLOAD_FILES = ["lumi32.exe", "lu_uninstall.exe", "lm_about.txt", "lm_changes.txt", "lm_languages.txt",
                 "lm_options.txt", "lm_plugins.txt", "Languages/DEUTSCH.DLL", "Plugins/Icons.dll",
                 "Help/lumi32_deutsch.chm", "Html/lumidor.htm", "Toolbars/gnome-colors-human_48.png",
                 "Toolbars/gnome-colors-wise_32.png", "Toolbars/Corvane_24.png", "Toolbars/Tessel_16.png"]


def start_folder(prefix):
    folder = prefix.unix("C:\\start")
    os.makedirs(folder, exist_ok=True)
    return folder


def log_entries(folder):
    path = os.path.join(folder, "Lumidor_Install.log")
    if not os.path.exists(path):
        return []
    return [e for e in open(path, "rb").read().split(SEPARATOR) if e]


def read_text(path):
    """A settings file's text; UTF-16 files are recognised by their mark."""
    data = open(path, "rb").read()
    return data[2:].decode("utf-16-le") if data.startswith(b"\xff\xfe") else data.decode("latin-1")


def temp_leftovers(prefix):
    return glob.glob(prefix.unix("C:\\users\\root\\Temp") + "/*")


def test_a_standard_silent_installation_unpacks_everything_with_its_times():
    prefix = Prefix("standard_install")
    start = start_folder(prefix)
    with confined_to(prefix, installation_areas(PROGRAM_FILES)):
        assert prefix.setup("/silent", cwd=start) == 0
    installed = prefix.unix(PROGRAM_FILES)
    for name in PAYLOAD_FILES:
        path = os.path.join(installed, name)
        assert os.path.isfile(path), name
        assert os.path.getmtime(path) == ENTRY_TIME, (name, os.path.getmtime(path))
    assert open(os.path.join(installed, "Plugins", "Icons.dll"), "rb").read() == open(PAYLOAD_ICONS_DLL, "rb").read()
    assert log_entries(start) == []
    assert temp_leftovers(prefix) == []

    # No earlier installation: the settings live in the application-data folder.
    program_ini = open(os.path.join(installed, "lumi32.ini"), "rb").read()
    assert program_ini == b"[Others]\r\nINI_Folder=%APPDATA%\\Lumidor\r\n", program_ini
    settings = read_text(prefix.unix(APPDATA_INI))
    assert settings.startswith(HEADER), settings
    assert "[Language]\r\nDLL=DEUTSCH.DLL\r\nLang=Deutsch\r\n" in settings
    assert "[Toolbar]\r\nSkin=" in settings and "\r\nSize=" in settings


def test_ini_modes_program_folder_app_folder_and_the_users_skin():
    prefix = Prefix("ini_modes")
    with confined_to(prefix, installation_areas("C:\\Daten\\Lumidor")):
        assert prefix.setup("/silent", "/folder=C:\\Daten\\Lumidor", "/ini=") == 0
    program_ini = prefix.unix("C:\\Daten\\Lumidor\\lumi32.ini")
    text = read_text(program_ini)
    assert text.startswith(HEADER) and "INI_Folder" not in text and "DLL=DEUTSCH.DLL" in text, text

    with confined_to(prefix, installation_areas("C:\\Apps\\Lumidor", "C:\\Daten\\Lumidor64_App")):
        assert prefix.setup("/silent", "/folder=C:\\Apps\\Lumidor", "/ini=C:\\Daten\\Lumidor64_App") == 0
    mirrored = read_text(prefix.unix("C:\\Apps\\Lumidor\\lumi32.ini"))
    for line in ("INI_Folder=C:\\Daten\\Lumidor64_App", "DefaultLang=DEUTSCH.DLL", "Skin=Corvane_24.png", "Size=24"):
        assert line in mirrored, (line, mirrored)
    assert "DLL=DEUTSCH.DLL" in read_text(prefix.unix("C:\\Daten\\Lumidor64_App\\lumi32.ini"))

    # A reinstallation keeps the user's skin; the UTF-16 file stays UTF-16.
    with open(program_ini, "w", encoding="utf-16") as f:
        f.write("[Toolbar]\r\nSkin=gnome-colors-wise_32.png\r\nSize=32\r\n[Language]\r\nLang=English\r\n")
    assert prefix.setup("/silent", "/folder=C:\\Daten\\Lumidor", "/ini=") == 0
    text = read_text(program_ini)
    assert "Skin=gnome-colors-wise_32.png" in text and "Size=32" in text and "Lang=Deutsch" in text, text


ICON_CASES = [
    # (product version, file build, company, size, kept)
    ("4.3", 0, "ORVENDAL", 226816, False),
    ("4.3", 0, "ORVENDAL", None, True),
    ("4.3", 1, "Orvendal", None, True),
    ("4.2", 0, "Andere Firma", None, True),
    ("4.2", 0, "Orvendal", None, False),
]


def test_an_installed_icon_library_is_kept_or_replaced_by_version_size_and_maker():
    prefix = Prefix("icon_library")
    plugins = prefix.unix("C:\\Lumidor\\Plugins")
    os.makedirs(plugins)
    shipped = open(PAYLOAD_ICONS_DLL, "rb").read()
    for product, build, company, size, kept in ICON_CASES:
        planted = open(icon_library(product, build, company, size), "rb").read()
        with open(os.path.join(plugins, "Icons.dll"), "wb") as f:
            f.write(planted)
        with confined_to(prefix, installation_areas("C:\\Lumidor")):
            assert prefix.setup("/silent", "/folder=C:\\Lumidor") == 0
        now = open(os.path.join(plugins, "Icons.dll"), "rb").read()
        assert now == (planted if kept else shipped), (product, build, company, size)


def test_a_locked_file_is_left_alone_while_the_rest_unpacks():
    prefix = Prefix("locked_file")
    start = start_folder(prefix)
    folder = prefix.unix("C:\\Lumidor")
    os.makedirs(folder)
    locked = os.path.join(folder, "lm_about.txt")
    with open(locked, "w") as f:
        f.write("gesperrt")
    with confined_to(prefix, installation_areas("C:\\Lumidor", start=start)):
        holder = prefix.start(PROBE_EXE, ["hold", "C:\\Lumidor\\lm_about.txt", "60"])
        for _ in range(300):
            if os.path.exists(locked + ".held"):
                break
            time.sleep(0.1)
        try:
            # Installed, but not whole: 6, and the log names the file.
            assert prefix.run_status(SETUP_EXE, ["/silent", "/folder=C:\\Lumidor"], cwd=start) == 6
        finally:
            holder.kill()
            prefix.stop()
    entries = log_entries(start)
    assert len(entries) == 1 and b"C:\\Lumidor\\lm_about.txt" in entries[0], entries
    assert open(locked).read() == "gesperrt"
    assert os.path.getmtime(os.path.join(folder, "lm_changes.txt")) == ENTRY_TIME


def test_a_full_drive_fails_with_message_7_and_keeps_the_partly_written_file():
    prefix = Prefix("full_drive")
    start = start_folder(prefix)
    with small_drive(48) as drive:
        prefix.map_drive("R", drive)
        # The drive lies outside the prefix: nothing in it may change but the log.
        with confined_to(prefix, installation_areas(start=start, registered=False)):
            assert prefix.setup("/silent", "/folder=R:\\Lumidor", cwd=start) == 4
        written = sorted(os.listdir(os.path.join(drive, "Lumidor")))
        assert "lumi32.exe" in written, written
        assert 0 < os.path.getsize(os.path.join(drive, "Lumidor", "lumi32.exe")) < 91648
    entries = log_entries(start)
    assert len(entries) == 1 and b": R:\\Lumidor\\: " + MESSAGE_7 in entries[0], entries
    assert temp_leftovers(prefix) == []


def test_a_missing_drive_fails_with_message_11_and_the_normalised_folder():
    prefix = Prefix("missing_drive")
    start = start_folder(prefix)
    with confined_to(prefix, installation_areas(start=start, registered=False)):
        assert prefix.setup("/silent", "/folder=R:\\Lumidor ", cwd=start) == 3
    entries = log_entries(start)
    assert len(entries) == 1 and MESSAGE_11 in entries[0], entries
    assert entries[0].endswith(b".: R:\\Lumidor\\\r\n"), entries[0]


def test_invalid_folders_fail_with_message_5():
    prefix = Prefix("invalid_folders")
    start = start_folder(prefix)
    with confined_to(prefix, installation_areas(start=start, registered=False)):
        assert prefix.setup("/silent", "/folder=Lumidor", cwd=start) == 2
        assert prefix.setup("/silent", "/folder=C:Lumidor", cwd=start) == 2
        assert prefix.setup("/silent", "/folder=", "/desktop=1", cwd=start) == 2
    entries = log_entries(start)
    assert [e.split(b": ", 1)[1] for e in entries] == [
        b"Ung\xfcltiges Zielverzeichnis!: Lumidor\r\n", b"Ung\xfcltiges Zielverzeichnis!: C:Lumidor\r\n",
        b"Ung\xfcltiges Zielverzeichnis!: \r\n"], entries
    assert not os.path.exists(os.path.join(start, "Lumidor"))


def test_an_unwritable_temporary_folder_fails_before_any_file_is_unpacked():
    prefix = Prefix("readonly_temp")
    start = start_folder(prefix)
    for name in ("TEMP", "TMP"):
        prefix.set_value("user", "Environment", name, "C:\\nur-lesen-temp")
    with read_only_folder(prefix.unix("C:\\nur-lesen-temp")):
        try:
            with confined_to(prefix, installation_areas("C:\\Lumidor", start=start, registered=False)):
                assert prefix.setup("/silent", "/folder=C:\\Lumidor", cwd=start) == 4
        finally:
            prefix.stop()
    entries = log_entries(start)
    assert len(entries) == 1 and b": C:\\Lumidor\\: " + MESSAGE_7 in entries[0], entries
    assert sorted(os.listdir(prefix.unix("C:\\Lumidor"))) == ["Plugins"]


def test_damaged_payloads_fail_with_message_7_and_leave_no_temporary_archive():
    for name in ("crc_error", "short_entry", "truncated", "folders_only", "many_files_crc_error"):
        prefix = Prefix("damaged_" + name)
        start = start_folder(prefix)
        folder = f"C:\\{name}"
        with confined_to(prefix, installation_areas(folder, start=start, registered=False)):
            assert prefix.run(variant(name), ["/silent", f"/folder={folder}"], cwd=start) == 4, name
        assert temp_leftovers(prefix) == [], name
        assert not os.path.exists(prefix.unix(folder + "\\lumi32.ini")), name
        entries = log_entries(start)
        assert len(entries) == 1 and MESSAGE_7 in entries[0], (name, entries)


def test_missing_folder_entries_and_hostile_names():
    prefix = Prefix("odd_payloads")
    with confined_to(prefix, installation_areas("C:\\Lumidor")):
        assert prefix.run(variant("missing_folders"), ["/silent", "/folder=C:\\Lumidor"]) == 0
    assert os.path.isfile(prefix.unix("C:\\Lumidor\\Toolbars\\Tessel_16.png"))

    with confined_to(prefix, installation_areas("C:\\Tief\\Lumidor")):
        assert prefix.run(variant("hostile_names"), ["/silent", "/folder=C:\\Tief\\Lumidor"]) == 0
    assert os.path.isfile(prefix.unix("C:\\Tief\\Lumidor\\ok.txt"))
    escaped = subprocess.run(["find", prefix.path, "-name", "escaped*"], capture_output=True, text=True).stdout
    assert escaped == "", escaped


def test_an_unwritable_start_directory_loses_the_log_entry_but_not_the_status():
    prefix = Prefix("readonly_start")
    start = prefix.unix("C:\\nur-lesen")
    for name in ("TEMP", "TMP"):
        prefix.set_value("user", "Environment", name, "C:\\nur-lesen-temp")
    with read_only_folder(start), read_only_folder(prefix.unix("C:\\nur-lesen-temp")):
        try:
            with confined_to(prefix, installation_areas("C:\\Lumidor", registered=False)):
                assert prefix.setup("/silent", "/folder=R:\\Lumidor", cwd=start) == 3
                assert prefix.setup("/silent", "/folder=Lumidor", cwd=start) == 2
                # Both folders read-only: nothing to unpack with, nothing to log in.
                assert prefix.setup("/silent", "/folder=C:\\Lumidor", cwd=start) == 4
            assert os.listdir(start) == []
        finally:
            prefix.stop()
    assert not os.path.exists(prefix.unix("C:\\nur-lesen\\Lumidor"))


def test_a_read_only_file_is_left_alone_while_the_rest_unpacks():
    prefix = Prefix("read_only_file", user="lumidor-test")
    folder = prefix.unix("C:\\Lumidor")
    os.makedirs(folder)
    prefix.own(folder)
    kept = os.path.join(folder, "lm_about.txt")
    with open(kept, "w") as f:
        f.write("schreibgeschützt")
    prefix.own(kept)
    os.chmod(kept, 0o444)
    start = prefix.unix("C:\\start")
    os.makedirs(start)
    prefix.own(start)
    with confined_to(prefix, installation_areas("C:\\Lumidor", start=start)):
        assert prefix.setup("/silent", "/folder=C:\\Lumidor", cwd=start) == 6
    assert b"C:\\Lumidor\\lm_about.txt" in log_entries(start)[0]
    assert open(kept).read() == "schreibgeschützt"
    for name in PAYLOAD_FILES:
        if name != "lm_about.txt":
            assert os.path.getmtime(os.path.join(folder, name)) == ENTRY_TIME, name


def installation_state(prefix, folder):
    """What an installation left: the folder's files (size, digest, and the
    time of every unpacked file), the settings and shortcut files, and the
    values of the keys it registers."""
    files = {}
    root = prefix.unix(folder)
    for base, _dirs, names in os.walk(root):
        for name in names:
            path = os.path.join(base, name)
            data = open(path, "rb").read()
            stamp = None if name.endswith(".ini") else os.path.getmtime(path)
            files[os.path.relpath(path, root)] = (len(data), hashlib.sha1(data).hexdigest(), stamp)
    outside = {}
    for base, _dirs, names in os.walk(prefix.unix("C:\\users")):
        for name in names:
            rel = os.path.relpath(os.path.join(base, name), prefix.path)
            if any(re.search(area, rel) for area in INSTALLATION_FILES):
                outside[rel] = os.path.getsize(os.path.join(base, name))
    keys = {(hive, key): values for hive in ("system", "user") for key, values in prefix.registry(hive).items()
            if any(re.search(area, key) for area in INSTALLATION_KEYS)}
    return files, outside, keys


def test_a_run_killed_while_unpacking_is_made_whole_by_the_next_run():
    options = ["/silent", "/folder=C:\\Lumidor", "/desktop=1", "/group=1"]
    clean = Prefix("killed_clean")
    assert clean.run(variant("many_files"), options) == 0
    expected = installation_state(clean, "C:\\Lumidor")

    prefix = Prefix("killed_run")
    folder = prefix.unix("C:\\Lumidor")
    run = prefix.start(variant("many_files"), options)
    unpacked = 0
    for _ in range(3000):
        unpacked = sum(len(names) for _base, _dirs, names in os.walk(folder))
        if unpacked >= 200 or run.poll() is not None:
            break
        time.sleep(0.01)
    assert run.poll() is None, "the run ended before it could be stopped"
    prefix.stop()  # kills every process of the prefix at once
    run.wait()
    assert 200 <= unpacked < len(expected[0]), unpacked

    assert len(temp_leftovers(prefix)) == 1  # the stopped run's copy of the archive
    assert prefix.run(variant("many_files"), options) == 0
    # The record of the run that ended says what it found: the folder was there.
    record = ("system", prefix.machine_path(UNINSTALL + "\\InstallRecord"))
    assert expected[2][record].pop("CreatedFolders")[1].rstrip("\0") == "C:\\Lumidor\\"
    assert installation_state(prefix, "C:\\Lumidor") == expected
    assert temp_leftovers(prefix) == []
