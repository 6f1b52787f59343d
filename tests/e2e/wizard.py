"""Driving the real wizard from the tests: the setup program runs in its own
prefix under Xvfb, and the probe's "ui" commands press its buttons, answer its
message boxes and read what it shows."""
import os

from harness import PAYLOAD, PROBE_EXE, SETUP_EXE, Prefix

# Frame buttons and pages.
BACK, NEXT, CANCEL = 12323, 12324, 2
WELCOME, NOTES, ASSOCIATIONS, READY, FINISH = 101, 108, 104, 109, 110
IDOK, IDYES, IDNO = 1, 6, 7
CANCELLED, SETUP_RUNNING = 1602, 1618  # ERROR_INSTALL_USEREXIT, ERROR_INSTALL_ALREADY_RUNNING
VISTA_OR_LATER = {"vista", "win7", "win8", "win81", "win10"}


class Wizard:
    def __init__(self, name, version="win7"):
        arch = "win32" if version == "winxp" else "win64"
        self.prefix = Prefix(name, arch=arch, version=version)
        if version in VISTA_OR_LATER:
            self.prefix.create_key("system", self.prefix.machine_path("SOFTWARE\\RegisteredApplications"))
        self.process = None

    def start(self, expect_box=False):
        self.process = self.prefix.start_status(SETUP_EXE)
        # A warning of the first page comes before the sheet is shown.
        if expect_box:
            self.ui("wait-box|60")
        else:
            self.ui("wait-sheet|60", f"wait-page|{WELCOME}|30")
        return self

    def ui(self, *commands):
        """Runs the commands in one probe; returns the lines they printed."""
        status, output = self.prefix.run_output(PROBE_EXE, ["ui", *commands], timeout=120)
        lines = output.splitlines()
        if status != 0:
            _, windows = self.prefix.run_output(PROBE_EXE, ["ui", "windows", "page", "box-text"])
            raise AssertionError(f"probe failed: {lines}\nwindows now: {windows}")
        return lines

    def read(self, command):
        return self.ui(command)[0]

    def next(self, page):
        self.ui(f"click|{NEXT}", f"wait-page|{page}")

    def box(self):
        """Waits for a message box; returns its text (line feeds as \\n) and buttons."""
        text, buttons = self.ui("wait-box", "box-text", "box-style")
        return text, buttons.split()

    def answer(self, button):
        self.ui(f"answer|{button}", "wait-no-box")

    def ask_with_every_format(self):
        """Into C:\\Lumidor with every format chosen, up to the association
        question; returns its text and buttons."""
        self.ui("set-text|1000|C:\\Lumidor")
        self.next(NOTES)
        self.next(ASSOCIATIONS)
        self.ui("click|3311", "sleep|200", "click|1091", "sleep|200")
        self.next(READY)
        self.ui(f"click|{NEXT}")
        return self.box()

    def to_ready_page(self):
        for page in (NOTES, ASSOCIATIONS, READY):
            self.next(page)

    def wait_closed(self, timeout=60):
        """Waits for the wizard's end; its whole exit status."""
        self.ui(f"wait-gone|{timeout}")
        return self.process.status(timeout)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
        self.prefix.stop()

    def start_viewer(self):
        return self.prefix.start(os.path.join(PAYLOAD, "lumi32.exe"))
