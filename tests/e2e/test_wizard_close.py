"""Close requests reach the wizard in many ways: the title bar, Alt+F4, and a
close or system command that another program sends or posts (taskkill
without /f posts WM_CLOSE, Task Manager sends it). Each asks once on the
inner pages and is honoured; on the finish page each closes at once."""
from wizard import CANCELLED, FINISH, IDNO, IDYES, NOTES, WELCOME, Wizard

# How the probe delivers a request: WM_SYSCOMMAND/SC_CLOSE or WM_CLOSE,
# posted or sent.
CLOSE_REQUESTS = ("sys-post", "sys-send", "post", "send")


def assert_no_box_follows(wizard):
    """A second question would come right after the first answer."""
    assert wizard.ui("sleep|1500", "boxes") == ["0"]


def test_every_close_request_on_an_inner_page_asks_once_and_the_answer_holds():
    for how in CLOSE_REQUESTS:
        wizard = Wizard(f"wizard_close_{how}").start()
        try:
            wizard.ui("set-text|1000|C:\\Feld bleibt")
            wizard.ui(f"close|{how}")
            text, buttons = wizard.box()
            assert text == "Installation beenden?" and buttons == ["6", "7*"], (how, text, buttons)
            assert wizard.read("boxes") == "1", how
            wizard.answer(IDNO)
            assert_no_box_follows(wizard)
            assert wizard.ui("page", "text|1000") == [str(WELCOME), "C:\\Feld bleibt"], how

            wizard.next(NOTES)
            wizard.ui(f"close|{how}")
            assert wizard.box()[0] == "Installation beenden?", how
            wizard.answer(IDYES)
            assert wizard.wait_closed(20) == CANCELLED, how
        finally:
            wizard.stop()


def test_alt_f4_asks_once_and_no_keeps_the_wizard():
    wizard = Wizard("wizard_close_alt_f4").start()
    try:
        # Key presses through the prefix's own input queue: the X display is
        # shared with the other tests' wizards, its focus is not ours.
        wizard.ui("alt-f4")
        text, _ = wizard.box()
        assert text == "Installation beenden?"
        assert wizard.read("boxes") == "1"
        wizard.answer(IDNO)
        assert_no_box_follows(wizard)
        assert wizard.read("page") == str(WELCOME)
    finally:
        wizard.stop()


def test_every_close_request_on_the_finish_page_closes_without_the_finish_actions():
    for how in CLOSE_REQUESTS:
        wizard = Wizard(f"wizard_finish_close_{how}").start()
        try:
            wizard.ui("set-text|1000|C:\\Fertig")
            wizard.to_ready_page()
            wizard.next(FINISH)
            # Both actions ticked, so that one run by mistake shows.
            assert wizard.ui("checked|1022", "checked|1020") == ["1", "1"]
            wizard.ui(f"close|{how}")
            assert wizard.wait_closed(20) == 0, how
            # The viewer would be in front within a second or two.
            assert wizard.prefix.probe("wait-window", "Lumidor", "4") != 0, f"{how} started the viewer"
        finally:
            wizard.stop()
