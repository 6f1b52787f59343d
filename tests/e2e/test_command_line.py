"""The real program's command line at its edges: a maximal command line,
awkward folder values, folder lengths around the 259-character limit, and
folder names outside ISO 8859-1 in the log."""
import os
import zipfile

from harness import PAYLOAD, PROBE_EXE, SETUP_EXE, Prefix, confined_to, installation_areas

SEPARATOR = b"-" * 48 + b"\r\n"


def log_texts(folder):
    path = os.path.join(folder, "Lumidor_Install.log")
    entries = [e for e in open(path, "rb").read().split(SEPARATOR) if e] if os.path.exists(path) else []
    return [e.split(b": ", 1)[1] for e in entries]


def test_a_maximal_command_line_installs_with_the_options_it_can_see():
    prefix = Prefix("long_command_line")
    # A value ends only at the next "/": the filler comes after the options.
    # Options past the first 519 characters are not seen: the thumbnails
    # switch at the very end has no effect.
    filler = "x" * (32767 - 300)
    with confined_to(prefix, installation_areas("C:\\Lang")):
        assert prefix.setup("/silent", "/folder=C:\\Lang", "/desktop=1", filler, "/thumbs=1") == 0
    assert os.path.isfile(prefix.unix("C:\\Lang\\lumi32.exe"))
    assert os.path.exists(prefix.unix("C:\\users\\root\\Desktop\\Lumidor.lnk"))
    assert not os.path.exists(prefix.unix("C:\\users\\root\\Desktop\\Lumidor Thumbnails.lnk"))


def spawn(prefix, arguments):
    """Runs the setup program with exactly this command line, as a user types it."""
    setup = "Z:" + SETUP_EXE.replace("/", "\\")
    return prefix.run(PROBE_EXE, ["spawn", f'"{setup}" {arguments}'])


def test_folder_values_with_quotes_blanks_and_slashes():
    prefix = Prefix("folder_values")
    assert spawn(prefix, '/silent /folder="C:\\Mit Leer zeichen"   /desktop=1') == 0
    assert os.path.isfile(prefix.unix("C:\\Mit Leer zeichen\\lumi32.exe"))
    assert os.path.isfile(prefix.unix("C:\\users\\root\\Desktop\\Lumidor.lnk"))
    # A "/" ends the value: the folder is C:\Bis, and "Hier\x" is no option.
    assert spawn(prefix, "/silent /folder=C:\\Bis/Hier\\x") == 0
    assert os.path.isfile(prefix.unix("C:\\Bis\\lumi32.exe"))
    # Trailing blanks inside the quotes stay, the driver trims them.
    assert spawn(prefix, '/silent /folder="C:\\Blanks   "') == 0
    assert os.path.isfile(prefix.unix("C:\\Blanks\\lumi32.exe"))


def test_folders_are_refused_exactly_when_an_installed_path_would_pass_259_characters():
    # The longest path the installation builds is the folder, a backslash and
    # the payload's longest entry.
    with zipfile.ZipFile(os.path.join(PAYLOAD, "lumipg_payload.zip")) as archive:
        longest = max(len(name) for name in archive.namelist())
    limit = 259 - 1 - longest
    for length, expected in ((200, 0), (limit, 0), (limit + 1, 3), (258, 3), (259, 3), (260, 3), (300, 3)):
        prefix = Prefix(f"folder_of_{length}")
        start = prefix.unix("C:\\start")
        os.makedirs(start)
        folder = "C:\\" + "\\".join(["d" * 60] * 4)
        folder = (folder + "\\" + "e" * 300)[:length]
        areas = installation_areas(folder) if expected == 0 else installation_areas(start=start, registered=False)
        with confined_to(prefix, areas):
            assert prefix.setup("/silent", "/folder=" + folder, cwd=start) == expected, length
        texts = log_texts(start)
        if expected == 0:
            assert os.path.isfile(prefix.unix(folder + "\\lumi32.exe")) and texts == [], length
        else:
            assert len(texts) == 1 and texts[0].startswith(b"Kann Zielverzeichnis nicht erstellen!"), texts


def test_folder_names_outside_latin1_are_logged_with_question_marks():
    prefix = Prefix("non_latin_folder")
    start = prefix.unix("C:\\start")
    os.makedirs(start)
    with confined_to(prefix, installation_areas(start=start, registered=False)):
        assert prefix.setup("/silent", "/folder=R:\\B\u00fccher\\\u65e5\u672c", cwd=start) == 3
    texts = log_texts(start)
    assert len(texts) == 1 and texts[0].endswith(b": R:\\B\xfccher\\??\\\r\n"), texts
