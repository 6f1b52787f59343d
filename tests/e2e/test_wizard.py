"""The real wizard under Xvfb, driven like a person would: pages, buttons,
message boxes, an installation from end to end, and the finish actions."""
import os
import time

from harness import PROBE_EXE
from shell import DESKTOP, FILE_EXTS, NO_OPEN_WITH_CLASSES, PROGRAMS, links
from wizard import (ASSOCIATIONS, BACK, CANCEL, CANCELLED, FINISH, IDNO, IDOK, IDYES, NEXT, NOTES, READY, WELCOME,
                    Wizard)

MESSAGE_5 = "Ung\xfcltiges Zielverzeichnis!"
MESSAGE_10 = "Warnung: Lumidor l\xe4uft!\\nBeenden Sie bitte Lumidor bevor Sie mit der Installation fortsetzen!"


def test_the_welcome_page_on_first_display():
    wizard = Wizard("wizard_welcome").start()
    try:
        lines = wizard.ui("title", "text|1013", "text|1056", "checked|1011", "checked|1021", "checked|1012",
                          "checked|1016", "checked|1017", "enabled|12323", "text|12323", "text|12324", "text|2",
                          "text|1000", "text|1045")
        assert lines == ["Lumidor 32-bit Setup", "Willkommen zur Lumidor 32 Installation!",
                         "Dieses Programm wird Lumidor Version  4.76  (32 bit) auf Ihrem PC installieren.\\n"
                         "(Bitte mit Admin-Rechten ausf\xfchren)", "1", "1", "1", "1", "0", "0", "< &Zur\xfcck",
                         "&Weiter >", "&Beenden", "C:\\Program Files (x86)\\Lumidor", "Lumidor EULA"], lines

        # "&Keine" clears the boxes and greys the scope; a box brings it back.
        assert wizard.ui("click|1019", "sleep|200", "checked|1011", "checked|1021", "checked|1012", "enabled|1016",
                         "enabled|1017", "checked|1016") == ["0", "0", "0", "0", "0", "1"]
        assert wizard.ui("click|1021", "sleep|200", "enabled|1016", "enabled|1017", "checked|1016") == ["1", "1", "1"]

        # Cancel answered Yes ends the wizard, before any installation: cancelled.
        wizard.ui(f"click|{CANCEL}")
        assert wizard.box()[0] == "Installation beenden?"
        wizard.answer(IDYES)
        assert wizard.wait_closed(20) == CANCELLED
    finally:
        wizard.stop()


def test_refused_folders_keep_the_welcome_page():
    wizard = Wizard("wizard_refused").start()
    try:
        for folder in ("", "Lumidor", "\\\\server\\share\\Lumidor", "C:Lumidor", "C:\\" + "x" * 256):
            wizard.ui(f"set-text|1000|{folder}", f"click|{NEXT}")
            text, buttons = wizard.box()
            assert text == MESSAGE_5 and buttons == ["1*"], (folder, text, buttons)
            wizard.answer(IDOK)
            assert wizard.ui("page", "enabled|12323", "text|1000") == [str(WELCOME), "0", folder], folder
    finally:
        wizard.stop()


def test_cancel_asks_and_the_title_bar_close_asks_once():
    wizard = Wizard("wizard_cancel").start()
    try:
        wizard.next(NOTES)
        wizard.ui(f"click|{CANCEL}")
        text, buttons = wizard.box()
        assert text == "Installation beenden?" and buttons == ["6", "7*"], (text, buttons)
        wizard.answer(IDNO)
        assert wizard.read("page") == str(NOTES)

        wizard.ui("close")
        text, _ = wizard.box()
        assert text == "Installation beenden?" and wizard.read("boxes") == "1"
        wizard.answer(IDYES)
        # No second question: the wizard ends at once.
        assert wizard.wait_closed(20) == CANCELLED
    finally:
        wizard.stop()


def test_the_associations_page_list_and_its_buttons():
    wizard = Wizard("wizard_associations").start()
    try:
        wizard.next(NOTES)
        notes = wizard.read("text|1000")
        assert notes.startswith("\ufeff---") and notes.endswith("JPEG-Dateien"), notes[-40:]
        wizard.next(ASSOCIATIONS)
        assert wizard.ui("list-count|1579", "list-states|1579", "enabled|1579", "checked|3311", "enabled|1091",
                         "enabled|1080", "enabled|1081", "visible|1037") == ["65", "1" * 65, "0", "0", "0", "0", "0",
                                                                             "0"]
        wizard.ui("click|3311", "sleep|200")
        assert wizard.ui("enabled|1579", "enabled|1091") == ["1", "1"]
        wizard.ui("click|1080", "sleep|200", "click|1091", "sleep|200")
        assert wizard.read("list-states|1579") == "2" * 51 + "1" * 14
        wizard.ui("click|1081", "sleep|200")
        assert wizard.read("list-states|1579") == "1" * 65
        # Unticking the registry box greys the list but keeps its ticks.
        wizard.ui("click|1080", "sleep|200", "click|3311", "sleep|200")
        assert wizard.ui("enabled|1579", "enabled|1080", "list-states|1579") == ["0", "0", "2" * 65]
        # Back and again: the list is not rebuilt.
        wizard.ui(f"click|{BACK}", f"wait-page|{NOTES}")
        wizard.next(ASSOCIATIONS)
        assert wizard.ui("list-count|1579", "list-states|1579", "enabled|1579") == ["65", "2" * 65, "0"]
    finally:
        wizard.stop()


def check_ready_page_defaults(version, expected_ini):
    wizard = Wizard(f"wizard_ready_{version}", version=version).start()
    try:
        wizard.ui("set-text|1000|C:\\Bilder\\Lumidor  ")
        wizard.to_ready_page()
        assert wizard.ui("text|1010", "checked|1038", "checked|1039", "visible|1040", "visible|1042",
                         "visible|1044") == ["Zielverzeichnis: C:\\Bilder\\Lumidor"] + expected_ini + ["0", "0", "0"]
        # Changed, then reset by going back and forth.
        wizard.ui("click|1038" if expected_ini == ["0", "1"] else "click|1039", "sleep|200")
        wizard.ui(f"click|{BACK}", f"wait-page|{ASSOCIATIONS}")
        assert wizard.read("visible|1037") == ("1" if version == "winxp" else "0")
        wizard.next(READY)
        assert wizard.ui("checked|1038", "checked|1039") == expected_ini
    finally:
        wizard.stop()


def test_the_ready_page_offers_the_application_data_folder_from_vista_on():
    check_ready_page_defaults("win7", ["0", "1"])


def test_the_ready_page_offers_the_program_folder_on_xp():
    check_ready_page_defaults("winxp", ["1", "0"])


def test_a_full_installation_through_the_wizard():
    wizard = Wizard("wizard_install").start()
    try:
        wizard.ui("set-text|1000|C:\\Wizard\\Lumidor\\  ")
        wizard.next(NOTES)
        wizard.next(ASSOCIATIONS)
        # Every line ticked, then the list disabled: nothing is read from it.
        wizard.ui("click|3311", "sleep|200", "click|1080", "sleep|200", "click|3311", "sleep|200")
        wizard.next(READY)
        wizard.next(FINISH)
        assert wizard.ui("text|2", "enabled|12323", "enabled|12324", "checked|1022", "checked|1020", "text|1015") == [
            "&Fertig stellen", "0", "0", "1", "1", "Einrichtung abgeschlossen!"]
        wizard.ui("click|1022", "sleep|200", f"click|{CANCEL}")
        assert wizard.wait_closed() == 0
        # The viewer was started and is in front.
        assert wizard.prefix.probe("wait-window", "Lumidor", "20") == 0
        assert wizard.read("foreground-class") == "Lumidor"
        wizard.prefix.probe("close-window", "Lumidor")
    finally:
        wizard.stop()
    prefix = wizard.prefix
    assert os.path.isfile(prefix.unix("C:\\Wizard\\Lumidor\\lumi32.exe"))
    command = prefix.machine_key("SOFTWARE\\Classes\\Lumidor\\shell\\open\\command")[""]
    assert command == ("REG_SZ", '"C:\\Wizard\\Lumidor\\lumi32.exe" "%1"'), command
    assert links(prefix, DESKTOP) == ["Lumidor Thumbnails.lnk", "Lumidor.lnk"]
    assert len(links(prefix, PROGRAMS + "\\Lumidor")) == 9
    assert os.path.isfile(prefix.unix("C:\\users\\root\\AppData\\Roaming\\Lumidor\\lumi32.ini"))
    # The disabled list was not read: no user choice, no chosen default class.
    assert prefix.user_key(FILE_EXTS + "jpg\\UserChoice") is None
    assert (prefix.machine_key("SOFTWARE\\Classes\\.gif") or {}).get("") != ("REG_SZ", "Lumidor.gif")


def test_a_failed_installation_goes_back_to_the_welcome_page():
    wizard = Wizard("wizard_failure").start()
    try:
        wizard.ui("set-text|1000|R:\\Lumidor")
        wizard.to_ready_page()
        wizard.ui(f"click|{NEXT}")
        text, buttons = wizard.box()
        assert text.startswith("Kann Zielverzeichnis nicht erstellen!") and buttons == ["1*"], text
        wizard.answer(IDOK)
        wizard.ui(f"wait-page|{WELCOME}")
        assert wizard.ui("text|1000", "enabled|12323") == ["R:\\Lumidor", "0"]
        wizard.to_ready_page()
        assert wizard.read("visible|1044") == "1"
    finally:
        wizard.stop()


def test_a_running_viewer_is_warned_about_and_stops_the_installation():
    wizard = Wizard("wizard_viewer_running")
    viewer = wizard.start_viewer()
    try:
        assert wizard.prefix.probe("wait-window", "Lumidor", "30") == 0, "the sample viewer's window never appeared"
        wizard.start(expect_box=True)
        text, buttons = wizard.box()
        assert text == MESSAGE_10 and buttons == ["1*"], text
        wizard.answer(IDOK)
        wizard.ui("wait-sheet", f"wait-page|{WELCOME}")
        wizard.to_ready_page()
        wizard.ui(f"click|{NEXT}")
        text, _ = wizard.box()
        assert text == MESSAGE_10
        wizard.answer(IDOK)
        assert wizard.read("page") == str(READY)
        # Once the viewer is closed, Next installs.
        wizard.prefix.probe("close-window", "Lumidor")
        viewer.wait(timeout=30)
        wizard.next(FINISH)
    finally:
        wizard.stop()


def check_association_question_refused(version):
    wizard = Wizard(f"wizard_refuse_{version}", version=version).start()
    try:
        text, buttons = wizard.ask_with_every_format()
        assert text.startswith("Sie m\xf6chten die aktuellen Verkn\xfcpfungen \xe4ndern") and buttons == ["6", "7*"]
        wizard.answer(IDNO)
        wizard.ui(f"wait-page|{FINISH}", "click|1022", "click|1020", "sleep|200", f"click|{CANCEL}")
        assert wizard.wait_closed() == 0
    finally:
        wizard.stop()
    prefix = wizard.prefix
    system, user = prefix.registry("system"), prefix.registry("user")
    assert prefix.user_key(FILE_EXTS + "jpg\\UserChoice", user) is None
    assert (prefix.machine_key("SOFTWARE\\Classes\\.gif", system) or {}).get("") != ("REG_SZ", "Lumidor.gif")
    assert prefix.machine_key("SOFTWARE\\Classes\\.jpg", system)[""] == ("REG_SZ", "Lumidor.jpg")
    assert len(prefix.machine_key("SOFTWARE\\Lumidor\\Capabilities\\FileAssociations", system)) == 94
    for app_class in NO_OPEN_WITH_CLASSES:
        assert prefix.user_key("Software\\Classes\\" + app_class, user) is None


def test_a_refused_association_question_on_win7():
    check_association_question_refused("win7")


def test_a_refused_association_question_on_win10():
    check_association_question_refused("win10")


def click_link_with_handler(name, padding):
    """Clicks the licence link with a stand-in ".htm" handler whose command
    carries padding; returns what the handler recorded, if it ran."""
    wizard = Wizard(name)
    record = "C:\\link.txt"
    probe = "Z:" + PROBE_EXE.replace("/", "\\")
    wizard.prefix.set_value("system", "Software\\Classes\\.htm", "", "lumitest.htm")
    wizard.prefix.set_value("system", "Software\\Classes\\lumitest.htm\\shell\\open\\command", "",
                            f'"{probe}" record {record} {padding}"%1"')
    wizard.start()
    try:
        wizard.ui("mouse-click|1045")
        recorded = wizard.prefix.unix(record)
        for _ in range(50):
            if os.path.exists(recorded):
                break
            time.sleep(0.1)
        return open(recorded, encoding="latin-1").read().split() if os.path.exists(recorded) else []
    finally:
        wizard.stop()


def test_the_licence_link_falls_back_to_the_htm_handler():
    lines = click_link_with_handler("wizard_link", "")
    assert any(l.endswith("eula.htm") for l in lines), lines


def test_a_handler_command_that_cannot_be_read_whole_is_never_run():
    # Over 260 bytes: read only in part, so not run at all.
    assert click_link_with_handler("wizard_link_long", "p" * 200 + " ") == []


def test_a_handler_command_that_fills_the_260_bytes_exactly_is_run():
    # 129 characters and the terminator: 260 bytes, the room the fallback has.
    probe = "Z:" + PROBE_EXE.replace("/", "\\")
    base = len(f'"{probe}" record C:\\link.txt "%1"')
    lines = click_link_with_handler("wizard_link_full", "p" * (129 - base - 1) + " ")
    assert any(l.endswith("eula.htm") for l in lines), lines
