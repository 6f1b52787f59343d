"""Both programs as deployment tools meet them: exit statuses they act on, a
viewer running where no window of it can be found, files that could not be
replaced, the log of every run named with "/log=", and the removal script."""
import os
import shutil
import time

from harness import PROBE_EXE, SETUP_EXE, TOP, snapshot_changes
from test_uninstall import PROGRAM_FILES_64, machine, start_folder
from wizard import CANCEL, FINISH, IDOK, IDYES, NEXT, Wizard

VIEWER = PROGRAM_FILES_64 + "\\lumi32.exe"
HELD = PROGRAM_FILES_64 + "\\lm_about.txt"
LOG_FOLDER = "C:\\ProgramData\\Lumidor Protokolle"
LOG = "%ProgramData%\\Lumidor Protokolle\\Verteilung.log"
SEPARATOR = "-" * 48 + "\r\n"
NOT_REPLACED = "folgende Dateien konnten nicht ersetzt werden"


def log_entries(prefix):
    path = os.path.join(prefix.unix(LOG_FOLDER), "Verteilung.log")
    if not os.path.exists(path):
        return []
    return [e for e in open(path, encoding="latin-1", newline="").read().split(SEPARATOR) if e]


def hold(prefix, path, seconds=120):
    """Holds a file open without sharing, as a running program does."""
    holder = prefix.start(PROBE_EXE, ["hold", path, str(seconds)])
    for _ in range(300):
        if os.path.exists(prefix.unix(path) + ".held"):
            os.unlink(prefix.unix(path) + ".held")
            return holder
        time.sleep(0.1)
    raise AssertionError(f"{path} was never held")


def test_a_viewer_without_a_window_or_on_another_desktop_keeps_update_and_removal_away():
    prefix = machine("win7", "deploy_viewer")
    start = start_folder(prefix)
    assert prefix.setup("/silent", "/group=1") == 0
    before = prefix.snapshot(folders=True)
    for how, viewer in (("no window", lambda: prefix.start(VIEWER, ["/nowindow"])),
                        ("another desktop", lambda: prefix.start(PROBE_EXE, ["on-desktop", "Verborgen", VIEWER]))):
        running = viewer()
        try:
            assert prefix.probe("wait-window", "Lumidor", "3") != 0, how  # no window to be found
            assert prefix.run_status(SETUP_EXE, ["/silent"], cwd=start) == 1, how
            assert prefix.run_status(PROGRAM_FILES_64 + "\\lu_uninstall.exe", ["/silent"], cwd=start) == 1, how
        finally:
            running.kill()
            prefix.stop()
    changes = snapshot_changes(before, prefix.snapshot(folders=True), ["^drive_c/start/"])
    assert changes == [], changes
    logs = {n: open(os.path.join(start, n), encoding="latin-1", newline="").read() for n in os.listdir(start)}
    assert logs["Lumidor_Install.log"].count("Lumidor l\xe4uft") == 2, logs
    assert logs["Lumidor_Uninstall.log"].count("Lumidor l\xe4uft") == 2, logs


def test_every_silent_run_writes_its_entry_to_the_named_log_and_held_files_give_6():
    prefix = machine("win7", "deploy_log")
    start = start_folder(prefix)
    assert prefix.run_status(SETUP_EXE, ["/silent", "/group=1", f'/log="{LOG}"'], cwd=start) == 0
    assert prefix.run_status(SETUP_EXE, ["/silent", "/folder=R:\\Lumidor", "/log=Fehler.log"], cwd=start) == 3

    # An update while a program holds a file of the payload: the rest is installed.
    about = open(prefix.unix(HELD), "rb").read()
    with open(prefix.unix(PROGRAM_FILES_64 + "\\lm_changes.txt"), "wb") as f:
        f.write(b"alt")
    holder = hold(prefix, HELD)
    try:
        assert prefix.run_status(SETUP_EXE, ["/silent", f'/log="{LOG}"'], cwd=start) == 6
    finally:
        holder.kill()
        prefix.stop()
    assert open(prefix.unix(HELD), "rb").read() == about
    assert open(prefix.unix(PROGRAM_FILES_64 + "\\lm_changes.txt"), "rb").read() != b"alt"

    # The removal, through the script that reads the uninstall entry.
    shutil.copy(os.path.join(TOP, "deploy", "remove-lumidor.cmd"), prefix.unix("C:\\remove-lumidor.cmd"))
    assert prefix.run_status("C:\\windows\\system32\\cmd.exe", ["/c", "C:\\remove-lumidor.cmd", f"/log={LOG}"],
                             cwd=start) == 0
    prefix.wait_for_processes()
    assert not os.path.exists(prefix.unix(PROGRAM_FILES_64))
    assert prefix.run_status("C:\\windows\\system32\\cmd.exe", ["/c", "C:\\remove-lumidor.cmd"], cwd=start) == 2

    entries = log_entries(prefix)
    assert len(entries) == 3, entries
    installed, held, removed = entries
    failed = open(os.path.join(start, "Fehler.log"), encoding="latin-1").read()
    assert "lumidor476_setup.exe 4.76\r\n" in installed and "/group=1" in installed
    assert f"Ordner: {PROGRAM_FILES_64}\\\r\nWindows-Versionscode: 7\r\nStatus: 0\r\n" in installed, installed
    assert "Kann Zielverzeichnis nicht erstellen!" in failed and "R:\\Lumidor\\" in failed and "Status: 3" in failed
    assert NOT_REPLACED in held and HELD in held and held.endswith("Status: 6\r\n"), held
    assert "lu_uninstall.exe 4.76\r\n" in removed and removed.endswith("Status: 0\r\n"), removed
    # With "/log=" nothing else went to the start folder.
    assert os.listdir(start) == ["Fehler.log"], os.listdir(start)


def test_the_wizard_names_files_it_could_not_replace_and_exits_with_the_last_attempts_status():
    wizard = Wizard("deploy_wizard")
    prefix = wizard.prefix
    assert prefix.setup("/silent") == 0
    holder = hold(prefix, HELD)
    wizard.start()
    try:
        wizard.to_ready_page()
        wizard.ui(f"click|{NEXT}")
        text, buttons = wizard.box()
        assert NOT_REPLACED in text and HELD in text and buttons == ["1*"], text
        wizard.answer(IDOK)
        wizard.ui(f"wait-page|{FINISH}", "click|1022", "click|1020", "sleep|200", f"click|{CANCEL}")
        assert wizard.wait_closed() == 6
    finally:
        holder.kill()
        wizard.stop()

    # A failed attempt, then closed: that failure's status; a silent run
    # beside a running wizard: 1618.
    wizard = Wizard("deploy_wizard_failed").start()
    try:
        wizard.ui("set-text|1000|R:\\Lumidor")
        wizard.to_ready_page()
        wizard.ui(f"click|{NEXT}")
        assert wizard.box()[0].startswith("Kann Zielverzeichnis nicht erstellen!")
        wizard.answer(IDOK)
        assert wizard.prefix.run_status(SETUP_EXE, ["/silent"]) == 1618
        wizard.ui(f"click|{CANCEL}")
        assert wizard.box()[0] == "Installation beenden?"
        wizard.answer(IDYES)
        assert wizard.wait_closed(20) == 3
    finally:
        wizard.stop()
