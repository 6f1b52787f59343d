#!/usr/bin/env python3
"""Takes a PNG of every wizard page and of every message box the wizard and
the uninstaller can show, under Xvfb, into build/screenshots."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402
from wizard import ASSOCIATIONS, CANCEL, FINISH, IDNO, IDOK, IDYES, NEXT, NOTES, READY, WELCOME, Wizard  # noqa: E402

OUT = os.path.join(harness.BUILD, "screenshots")


def shot(name):
    path = os.path.join(OUT, name + ".png")
    subprocess.run(["import", "-window", "root", path], check=True,
                   env=dict(os.environ, DISPLAY=harness.DISPLAY.name))
    print(path)


def shoot_uninstaller():
    """The uninstaller's question and its closing message, on an installation
    made silently."""
    prefix = harness.Prefix("screens_uninstall", version="win7")
    prefix.set_version("lu_uninstall.exe", "win7")
    prefix.setup("/silent", "/group=1")
    process = prefix.start("C:\\Program Files (x86)\\Lumidor\\lu_uninstall.exe")
    try:
        def ui(*commands):
            status, output = prefix.run_output(harness.PROBE_EXE, ["ui", *commands], timeout=120)
            if status != 0:
                raise AssertionError(f"probe failed: {output}")
        ui("wait-box|60", "sleep|300")
        shot("14_uninstall_question")
        ui(f"answer|{IDYES}", "wait-no-box", "wait-box|60", "sleep|300")
        shot("15_uninstall_done")
        ui(f"answer|{IDOK}", "wait-no-box")
        process.wait(timeout=60)
    finally:
        prefix.stop()


def main():
    os.makedirs(OUT, exist_ok=True)
    harness.DISPLAY.start()
    try:
        wizard = Wizard("screens_main", version="win7").start()
        try:
            shot("01_welcome")
            wizard.ui("set-text|1000|Lumidor", f"click|{NEXT}", "wait-box", "sleep|300")
            shot("02_box_invalid_folder")
            wizard.answer(IDOK)
            wizard.ui("set-text|1000|C:\\Lumidor", f"click|{CANCEL}", "wait-box", "sleep|300")
            shot("03_box_cancel_question")
            wizard.answer(IDNO)
            wizard.next(NOTES)
            shot("04_whats_new")
            wizard.next(ASSOCIATIONS)
            shot("05_associations")
            wizard.ui("click|3311", "click|1091", "sleep|300")
            shot("06_associations_images_only")
            wizard.next(READY)
            shot("07_ready")
            wizard.ui(f"click|{NEXT}", "wait-box", "sleep|300")
            shot("08_box_association_question")
            wizard.answer(IDYES)
            wizard.ui(f"wait-page|{FINISH}|120", "sleep|300")
            shot("09_finish")
            wizard.ui("click|1022", "click|1020", f"click|{CANCEL}")
            wizard.wait_closed()
        finally:
            wizard.stop()

        wizard = Wizard("screens_failure", version="win7").start()
        try:
            wizard.ui("set-text|1000|R:\\Lumidor")
            wizard.to_ready_page()
            wizard.ui(f"click|{NEXT}", "wait-box", "sleep|300")
            shot("10_box_cannot_create_folder")
            wizard.answer(IDOK)
            wizard.ui(f"wait-page|{WELCOME}")
        finally:
            wizard.stop()

        wizard = Wizard("screens_unpack_failure", version="win7")
        wizard.prefix.set_value("user", "Environment", "TEMP", "C:\\gibt-es-nicht")
        wizard.prefix.set_value("user", "Environment", "TMP", "C:\\gibt-es-nicht")
        wizard.start()
        try:
            wizard.ui("set-text|1000|C:\\Lumidor")
            wizard.to_ready_page()
            wizard.ui(f"click|{NEXT}", "wait-box", "sleep|300")
            shot("11_box_install_failed")
            wizard.answer(IDOK)
            wizard.ui(f"wait-page|{WELCOME}")
            wizard.to_ready_page()
            wizard.ui("sleep|300")
            shot("12_ready_after_a_failure")
        finally:
            wizard.stop()

        wizard = Wizard("screens_viewer_running", version="win7")
        viewer = wizard.start_viewer()
        try:
            wizard.prefix.probe("wait-window", "Lumidor", "30")
            wizard.start(expect_box=True)
            wizard.ui("sleep|300")
            shot("13_box_viewer_running")
            wizard.answer(IDOK)
        finally:
            viewer.kill()
            wizard.stop()

        shoot_uninstaller()
    finally:
        harness.DISPLAY.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
