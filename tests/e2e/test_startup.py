"""Start-up of the real setup program: the running-viewer case of silent mode."""
import os

from harness import Prefix, snapshot_changes

RUNNING_ENTRY = ("Warnung: Lumidor l\xe4uft!\r\nBeenden Sie bitte Lumidor bevor Sie mit der Installation "
                 "fortsetzen!\r\n" + "-" * 48 + "\r\n").encode("latin-1")


def test_silent_run_with_the_viewer_running_logs_one_entry_and_installs_nothing():
    prefix = Prefix("viewer_running")
    start = prefix.unix("C:\\start")
    os.makedirs(start)
    # A first start lets Wine make its own first-use entries before the snapshot.
    prefix.start_viewer()
    before = prefix.snapshot()
    viewer = prefix.start_viewer()
    try:
        status = prefix.setup("/silent", "/folder=C:\\Lumidor", "/desktop=1", "/assoc=1", cwd=start)
    finally:
        prefix.probe("close-window", "Lumidor")
        viewer.wait(timeout=30)
    assert status == 1, status
    log = open(os.path.join(start, "Lumidor_Install.log"), "rb").read()
    assert log.endswith(RUNNING_ENTRY), log
    assert log.count(b"-" * 48) == 1 and log.count(b"\r\n") == 3, log
    changes = snapshot_changes(before, prefix.snapshot(), allowed=[r"^drive_c/start/Lumidor_Install\.log$"])
    assert changes == [], changes
    assert not os.path.exists(prefix.unix("C:\\Lumidor"))
