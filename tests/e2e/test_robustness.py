"""Machines that are not clean: two runs at once, updates that move the
settings file, settings in other encodings, a viewer that did not arrive,
folders with blanks, and old commands with forward slashes."""
import os
import random
import subprocess
import sys

from harness import PROBE_EXE, SETUP_EXE, TOP, Prefix, confined_to, installation_areas
from test_silent_install import APPDATA_INI, MESSAGE_7, PROGRAM_FILES, log_entries, read_text, start_folder
from wizard import FINISH, Wizard

SETUP_LOCK = "Global\\Lumidor.SetupOrRemoval"
MESSAGE_12 = "Warnung: Ein anderes Lumidor Setup oder eine Deinstallation l\xe4uft bereits!".encode("latin-1")


def big_settings(sections=400, keys=100):
    """About 1.3 MB of user settings, as the viewer writes them (ANSI)."""
    rng = random.Random(7)
    lines = []
    for s in range(sections):
        lines.append(f"[Abschnitt{s}]")
        for k in range(keys):
            lines.append(f"Schl\xfcssel{k}={rng.getrandbits(64):016x}-{s}-{k}")
    return "\r\n".join(lines) + "\r\n"


def user_lines(text):
    return {l for l in text.replace("\r\n", "\n").split("\n") if l and not l.startswith(";")}


def test_two_silent_runs_started_together_install_once_and_keep_the_settings_whole():
    prefix = Prefix("two_at_once")
    start = start_folder(prefix)
    settings = big_settings()
    os.makedirs(os.path.dirname(prefix.unix(APPDATA_INI)))
    with open(prefix.unix(APPDATA_INI), "w", encoding="latin-1", newline="") as f:
        f.write(settings)
    expected = user_lines(settings)
    command = f'"Z:{SETUP_EXE.replace("/", chr(92))}" /silent /folder=C:\\Lumidor'

    def settings_whole(round_):
        text = read_text(prefix.unix(APPDATA_INI))
        missing = expected - user_lines(text)
        assert not missing, (round_, len(text), sorted(missing)[:3])
        assert "Lang=Deutsch" in text, round_

    refused = 0
    for round_ in range(6):
        # Let go at the same moment from inside the prefix. On a loaded machine
        # the system may start the second only after the first has ended; then
        # both install, one after the other.
        status, output = prefix.run_output(PROBE_EXE, ["together", "2", command], cwd=start, timeout=180)
        assert status == 0, output
        statuses = sorted(int(s) for s in output.split())
        assert statuses in ([0, 1618], [0, 0]), (round_, statuses)
        refused += statuses.count(1618)
        settings_whole(round_)
    # A second run while the first surely holds the machine.
    status, output = prefix.run_output(PROBE_EXE, ["beside-holder", SETUP_LOCK, command], cwd=start, timeout=180)
    assert (status, output.split()) == (0, ["0", "1618"]), output
    settings_whole("beside")
    entries = log_entries(start)
    assert len(entries) == refused + 1 and all(MESSAGE_12 in e for e in entries), entries


def test_a_running_setup_makes_the_wizard_say_so_and_end():
    wizard = Wizard("wizard_second")
    blocker = wizard.prefix.start(SETUP_EXE)  # the first wizard holds the machine
    try:
        wizard.ui("wait-sheet|60")
        second = wizard.prefix.start_status(SETUP_EXE)
        text, buttons = wizard.box()
        assert text.startswith("Warnung: Ein anderes Lumidor Setup") and buttons == ["1*"], text
        wizard.process = second
        wizard.answer(1)
        assert second.status(30) == 1618
        assert wizard.ui("boxes") == ["0"]
    finally:
        blocker.kill()
        wizard.stop()


def install(prefix, *args, folder="C:\\Lumidor"):
    assert prefix.setup("/silent", f"/folder={folder}", *args) == 0


def test_updates_that_move_the_settings_keep_every_key_of_the_user():
    # Settings in the program folder (as the wizard leaves them on XP), then
    # a silent update into the default folder, which keeps them under %APPDATA%.
    prefix = Prefix("move_to_appdata")
    install(prefix, folder=PROGRAM_FILES)
    program_ini = prefix.unix(PROGRAM_FILES + "\\lumi32.ini")
    with open(program_ini, "wb") as f:
        f.write(("\ufeff[Language]\r\nLang=English\r\n[Eigenes]\r\nZoom=150\r\nOrdner=C:\\B\xfccher\r\n"
                 ).encode("utf-16-le"))
    install(prefix, folder=PROGRAM_FILES)
    moved = read_text(prefix.unix(APPDATA_INI))
    assert "Zoom=150" in moved and "Ordner=C:\\B\xfccher" in moved and "Lang=Deutsch" in moved, moved
    assert "INI_Folder=%APPDATA%\\Lumidor" in read_text(program_ini)
    assert "Zoom=150" in read_text(program_ini)  # the old file stays

    # Settings under %APPDATA%, then an update into another folder whose INI
    # choice is the program folder.
    prefix = Prefix("move_to_program_folder")
    install(prefix, "/ini=%APPDATA%\\Lumidor", folder="C:\\Daten\\Lumidor")
    with open(prefix.unix(APPDATA_INI), "ab") as f:
        f.write("[Eigenes]\r\nTitel=\u65e5\u672c\r\n".encode("utf-16-le"))
    install(prefix, "/ini=", folder="C:\\Daten\\Lumidor")
    program = read_text(prefix.unix("C:\\Daten\\Lumidor\\lumi32.ini"))
    assert "Titel=\u65e5\u672c" in program and "INI_Folder" not in program, program
    assert "Titel=\u65e5\u672c" in read_text(prefix.unix(APPDATA_INI))


def test_a_wizard_run_that_changes_the_ini_choice_keeps_the_users_keys():
    wizard = Wizard("wizard_ini_change")
    install(wizard.prefix, "/ini=", folder="C:\\Lumidor")
    with open(wizard.prefix.unix("C:\\Lumidor\\lumi32.ini"), "ab") as f:
        f.write("[Eigenes]\r\nFarbe=gr\xfcn\r\n".encode("utf-16-le"))
    wizard.start()
    try:
        wizard.ui("set-text|1000|C:\\Lumidor")
        wizard.to_ready_page()
        assert wizard.ui("checked|1039") == ["1"]  # the application-data folder on Windows 7
        wizard.next(FINISH)
        wizard.ui("click|1022", "click|1020", "sleep|200", "click|2")
        assert wizard.wait_closed() == 0
    finally:
        wizard.stop()
    assert "Farbe=gr\xfcn" in read_text(wizard.prefix.unix(APPDATA_INI))


def test_settings_in_utf8_or_big_endian_keep_their_text():
    forms = {"utf8_mark": lambda t: b"\xef\xbb\xbf" + t.encode("utf-8"),
             "utf16_be": lambda t: b"\xfe\xff" + t.encode("utf-16-be"),
             "utf8": lambda t: t.encode("utf-8")}
    user = "[Viewer]\r\nOrdner=C:\\B\xfccher\\Gr\xfc\xdfe\r\nTitel=\u65e5\u672c\u8a9e\r\n[Toolbar]\r\nSkin=Mein.png\r\n"
    for name, encode in forms.items():
        prefix = Prefix("encoding_" + name)
        os.makedirs(os.path.dirname(prefix.unix(APPDATA_INI)))
        with open(prefix.unix(APPDATA_INI), "wb") as f:
            f.write(encode(user))
        install(prefix)
        data = open(prefix.unix(APPDATA_INI), "rb").read()
        assert data.startswith(b"\xff\xfe"), name
        text = data[2:].decode("utf-16-le")
        assert user_lines(user) - {"[Toolbar]", "Skin=Mein.png"} <= user_lines(text), (name, text)
        assert "Skin=Mein.png" in text and "Lang=Deutsch" in text, (name, text)


def test_a_viewer_that_is_not_a_file_fails_with_message_7_before_registering():
    prefix = Prefix("viewer_is_a_folder")
    start = start_folder(prefix)
    os.makedirs(prefix.unix("C:\\Lumidor\\lumi32.exe"))
    with confined_to(prefix, installation_areas("C:\\Lumidor", start=start, registered=False)):
        assert prefix.setup("/silent", "/folder=C:\\Lumidor", "/desktop=1", cwd=start) == 4
    entries = log_entries(start)
    assert len(entries) == 1 and b"C:\\Lumidor\\: " + MESSAGE_7 in entries[0], entries


def test_a_level_ending_in_blanks_is_named_as_the_files_lie():
    prefix = Prefix("blank_level")
    install(prefix, "/desktop=1", "/ini=", folder="C:\\A \\B")
    assert os.path.isfile(prefix.unix("C:\\A\\B\\lumi32.exe"))
    assert not os.path.exists(os.path.join(prefix.path, "drive_c", "A "))
    command = prefix.machine_key("SOFTWARE\\Classes\\Lumidor\\shell\\open\\command")[""]
    assert command == ("REG_SZ", '"C:\\A\\B\\lumi32.exe" "%1"'), command
    uninstall = prefix.machine_key("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumidor")
    assert uninstall["InstallLocation"][1].rstrip("\\") == "C:\\A\\B", uninstall
    assert "Lang=Deutsch" in read_text(prefix.unix("C:\\A\\B\\lumi32.ini"))


def test_an_ini_folder_of_blanks_keeps_the_settings_in_the_program_folder():
    prefix = Prefix("blank_ini")
    # The command line loses trailing blanks; a variable keeps them.
    prefix.set_value("user", "Environment", "LUMIBLANKS", "   ")
    with confined_to(prefix, installation_areas("C:\\Daten\\Lumidor")):
        install(prefix, "/ini=%LUMIBLANKS%", folder="C:\\Daten\\Lumidor")
    text = read_text(prefix.unix("C:\\Daten\\Lumidor\\lumi32.ini"))
    assert "Lang=Deutsch" in text and "INI_Folder" not in text, text
    assert not os.path.exists(prefix.unix("C:\\windows\\lumi32.ini"))


def test_an_earlier_command_with_forward_slashes_is_the_default_folder():
    prefix = Prefix("forward_slashes")
    prefix.set_value("system", "Software\\Classes\\Lumidor\\shell\\open\\command", "", '"C:/Alt/lumi32.exe" "%1"')
    assert prefix.setup("/silent") == 0
    assert os.path.isfile(prefix.unix("C:\\Alt\\lumi32.exe"))


def test_the_installation_report_goes_on_past_a_broken_shortcut():
    prefix = Prefix("report_broken_link")
    install(prefix, "/desktop=1", "/thumbs=1")
    with open(prefix.unix("C:\\users\\root\\Desktop\\Kaputt.lnk"), "wb") as f:
        f.write(b"kein Link")
    prefix.stop()
    report = subprocess.run([sys.executable, os.path.join(TOP, "tools", "show_installation.py"), prefix.path],
                            capture_output=True, text=True, timeout=120)
    assert report.returncode == 0, report.stderr
    out = report.stdout
    assert "Kaputt.lnk\n      (not a valid shortcut)" in out, out
    assert out.index("Kaputt.lnk") < out.index("Lumidor.lnk") and "/thumbs" in out, out
