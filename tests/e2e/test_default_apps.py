"""Default apps from Windows 8 on: the wizard sends the user to the system's
own page, the "Open with" values go with the removal, and the
default-associations file names the classes an installation registers."""
import os
import subprocess
import sys
import tempfile
import xml.dom.minidom

from harness import PROBE_EXE, TOP, snapshot_changes
from test_uninstall import machine, run_quiet_uninstall
from wizard import CANCEL, FINISH, IDYES, Wizard

sys.path.insert(0, os.path.join(TOP, "tools"))
import catalogue  # noqa: E402


def finish_with_formats(version):
    """A wizard run that chose the image formats and said yes; what the
    shell was asked to open for the ms-settings protocol, or None."""
    wizard = Wizard(f"defaults_page_{version}", version=version)
    probe = "Z:" + PROBE_EXE.replace("/", "\\")
    wizard.prefix.set_value("system", "Software\\Classes\\ms-settings\\shell\\open\\command", "",
                            f'"{probe}" record C:\\geoeffnet.txt "%1"')
    wizard.start()
    try:
        assert wizard.ask_with_every_format()[0].startswith("Sie m\xf6chten die aktuellen Verkn\xfcpfungen")
        wizard.answer(IDYES)
        wizard.ui(f"wait-page|{FINISH}", "click|1022", "click|1020", "sleep|200", f"click|{CANCEL}")
        assert wizard.wait_closed() == 0
        wizard.prefix.wait_for_processes()
    finally:
        wizard.stop()
    opened = wizard.prefix.unix("C:\\geoeffnet.txt")
    return open(opened, encoding="utf-8", errors="replace").read().split() if os.path.exists(opened) else None


def test_the_finish_page_opens_the_default_apps_settings_on_windows_10_and_nothing_on_7():
    assert finish_with_formats("win10") == ["ms-settings:defaultapps"]
    assert finish_with_formats("win7") is None


def test_the_open_with_values_go_with_the_removal_and_a_foreign_one_stays():
    prefix = machine("win10", "open_with_removal")
    prefix.set_value("system", "Software\\Classes\\.png\\OpenWithProgids", "Anderes.png", "")
    before = prefix.snapshot(folders=True)
    assert prefix.setup("/silent", "/assoc=2") == 0
    offered = prefix.machine_key("SOFTWARE\\Classes\\.png\\OpenWithProgids")
    assert offered == {"Anderes.png": ("REG_SZ", ""), "Lumidor.png": ("REG_NONE", b"")}, offered
    assert run_quiet_uninstall(prefix, "/purge") == 0
    prefix.restart()
    changes = snapshot_changes(before, prefix.snapshot(folders=True))
    assert changes == [], changes


def test_the_default_associations_file_names_registered_classes_of_the_image_formats_or_all():
    prefix = machine("win10", "default_associations")
    assert prefix.setup("/silent") == 0
    system = prefix.registry("system")
    for option, rows in (([], catalogue.IMAGES_ONLY_ROWS), (["ASSOC=all"], None)):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "DefaultAssociations.xml")
            result = subprocess.run(["make", "--no-print-directory", "manifests", f"MANIFESTS={folder}",
                                     f"ASSOCIATIONS={path}", *option], cwd=TOP, capture_output=True, text=True)
            assert result.returncode == 0, result.stdout + result.stderr
            document = xml.dom.minidom.parse(path).documentElement
        assert document.tagName == "DefaultAssociations"
        entries = [(e.getAttribute("Identifier"), e.getAttribute("ProgId"), e.getAttribute("ApplicationName"))
                   for e in document.getElementsByTagName("Association")]
        assert [e[0] for e in entries] == ["." + e for e, _base in catalogue.extensions(rows)], option
        for identifier, prog_id, application in entries:
            assert application == "Lumidor", identifier
            command = system.get(f"software\\classes\\{prog_id.lower()}\\shell\\open\\command", {}).get("")
            assert command == ("REG_SZ", '"C:\\Program Files (x86)\\Lumidor\\lumi32.exe" "%1"'), (identifier, command)
