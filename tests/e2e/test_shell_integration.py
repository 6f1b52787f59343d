"""The silent installation complete, on every Windows from XP to 11: shortcuts,
the viewer's class and commands, the uninstall entry, capabilities and file
associations, read back from the prefix."""
import os
import sys

from harness import TOP, Prefix, confined_to, installation_areas
from shell import (BROWSE_VERB, COMMON_DESKTOP, COMMON_PROGRAMS, DESKTOP, FILE_EXTS, GROUP_LINKS,
                   NO_OPEN_WITH_CLASSES, PROGRAMS, UNINSTALL, links, lnkinfo)

OPEN = '"C:\\Lumidor\\lumi32.exe" "%1"'
SZ, DWORD = "REG_SZ", "REG_DWORD"

sys.path.insert(0, os.path.join(TOP, "tools"))
import catalogue  # noqa: E402

# version: (architecture, Vista or later, Windows 8/8.1, Windows 10, XP family)
VERSIONS = {
    "winxp": ("win32", False, False, False, True),
    "winxp64": ("win64", False, False, False, True),
    "vista": ("win64", True, False, False, False),
    "win7": ("win64", True, False, False, False),
    "win8": ("win64", True, True, False, False),
    "win81": ("win64", True, True, False, False),
    "win10": ("win64", True, False, True, False),
    "win11": ("win64", True, False, False, False),
}
# Where a user's choice written without the system's hash counts.
UNHASHED_CHOICE_TAKEN = {"vista", "win7"}


def windows11(prefix):
    """Windows 11 as Wine 8 shows it: the system's version keys with build
    22000, and no version of Wine's own for the program."""
    for view in ("Software\\Microsoft\\Windows NT\\CurrentVersion",
                 "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion"):
        prefix.set_value("system", view, "CurrentVersion", "10.0")
        prefix.set_value("system", view, "CurrentBuildNumber", "22000")
        prefix.set_value("system", view, "CurrentBuild", "22000")


def install(name, version, *args, before=None):
    arch, vista = VERSIONS[version][:2]
    prefix = Prefix(name, arch=arch, version=None if version == "win11" else version)
    if version == "win11":
        windows11(prefix)
    if before:
        before(prefix)
    if vista:
        # Windows always has this key; a fresh Wine prefix lacks it in the 32-bit view.
        prefix.create_key("system", prefix.machine_path("SOFTWARE\\RegisteredApplications"))
    assert prefix.setup("/silent", *args) == 0
    return prefix


def old_choice(prefix):
    """The user's earlier choice for .jpg, as the system's dialog leaves it."""
    prefix.set_value("user", FILE_EXTS + "jpg\\UserChoice", "Progid", "Alt.jpg")
    prefix.set_value("user", FILE_EXTS + "jpg\\UserChoice", "Hash", "abc=")


def check_version(version):
    arch, vista, windows8, windows10, xp = VERSIONS[version]
    prefix = install(f"shell_{version}", version, "/folder=C:\\Lumidor", "/desktop=1", "/group=1", "/thumbs=1",
                     "/assoc=1", before=old_choice)
    system, user = prefix.registry("system"), prefix.registry("user")
    machine = lambda path: prefix.machine_key(path, system) or {}
    per_user = lambda path: prefix.user_key(path, user) or {}

    assert links(prefix, DESKTOP) == ["Lumidor Thumbnails.lnk", "Lumidor.lnk"]
    expected_group = [n for n in GROUP_LINKS if not (windows8 and n == "Lumidor deinstallieren.lnk")]
    assert links(prefix, PROGRAMS + "\\Lumidor") == sorted(expected_group), links(prefix, PROGRAMS + "\\Lumidor")

    assert machine("SOFTWARE\\Classes\\Lumidor") == {"": (SZ, "Lumidor")}
    assert machine("SOFTWARE\\Classes\\Lumidor\\shell\\open\\command") == {"": (SZ, OPEN)}
    assert machine("SOFTWARE\\Classes\\Applications\\lumi32.exe\\shell\\open\\command") == {"": (SZ, OPEN)}
    assert machine("SOFTWARE\\Classes\\Applications\\lumi32.exe")["FriendlyAppName"] == (SZ, "Lumidor 32-bit")
    assert machine(UNINSTALL) == {
        "": (SZ, ""), "DisplayName": (SZ, "Lumidor 4.76 (32-bit)"),
        "UninstallString": (SZ, '"C:\\Lumidor\\lu_uninstall.exe"'), "Publisher": (SZ, "Orvendal"),
        "InstallLocation": (SZ, "C:\\Lumidor\\"), "DisplayVersion": (SZ, "4.76"),
        "DisplayIcon": (SZ, "C:\\Lumidor\\lumi32.exe,0"), "VersionMajor": (DWORD, 4), "VersionMinor": (DWORD, 76),
        "EstimatedSize": (DWORD, 6144),
        "QuietUninstallString": (SZ, '"C:\\Lumidor\\lu_uninstall.exe" /silent')}

    for parent in ("Directory", "Drive"):
        verb = machine(f"SOFTWARE\\Classes\\{parent}\\shell\\{BROWSE_VERB}")
        command = machine(f"SOFTWARE\\Classes\\{parent}\\shell\\{BROWSE_VERB}\\command")
        assert (verb == {"": (SZ, BROWSE_VERB)}) == vista, (parent, verb)
        assert (command == {"": (SZ, OPEN + " /thumbs")}) == vista, (parent, command)

    capabilities = machine("SOFTWARE\\Lumidor\\Capabilities\\FileAssociations")
    if vista:
        assert machine("SOFTWARE\\Lumidor\\shell\\open\\command") == {"": (SZ, '"C:\\Lumidor\\lumi32.exe"')}
        assert machine("SOFTWARE\\Lumidor\\Capabilities")["ApplicationDescription"][1].startswith("Picture viewer")
        assert len(capabilities) == 94 and capabilities[".jpeg"] == (SZ, "Lumidor.jpg"), len(capabilities)
        assert machine("SOFTWARE\\RegisteredApplications")["Lumidor"] == (SZ, "SOFTWARE\\Lumidor\\Capabilities")
    else:
        assert machine("SOFTWARE\\Lumidor") == {} and capabilities == {}

    # Image formats were chosen; Flash (row 51) was not.
    assert machine("SOFTWARE\\Classes\\Lumidor.jpg") == {"": (SZ, "Lumidor JPG File")}
    assert machine("SOFTWARE\\Classes\\Lumidor.jpg\\shell\\open\\command") == {"": (SZ, OPEN)}
    assert machine("SOFTWARE\\Classes\\Lumidor.jpg\\DefaultIcon") == {"": (SZ, "C:\\Lumidor\\lumi32.exe,0")}
    assert machine("SOFTWARE\\Classes\\Lumidor.ani\\DefaultIcon") == {"": (SZ, "%1")}
    assert (machine("SOFTWARE\\Classes\\Lumidor.swf") != {}) == vista
    if vista:
        assert machine("SOFTWARE\\Classes\\Lumidor.wav\\DefaultIcon") == {"": (SZ, "C:\\Lumidor\\lumi32.exe,11")}
        assert machine("SOFTWARE\\Classes\\Lumidor.avi\\DefaultIcon") == {"": (SZ, "C:\\Lumidor\\lumi32.exe,12")}
    jpg_default = machine("SOFTWARE\\Classes\\.jpg").get("")
    assert (jpg_default == (SZ, "Lumidor.jpg")) == vista, jpg_default
    assert (machine("SOFTWARE\\Classes\\.swf").get("") == (SZ, "Lumidor.swf")) is False

    # The old choice goes from Vista on; only Vista and 7 take a new one without its hash.
    choice = per_user(FILE_EXTS + "jpg\\UserChoice")
    if version in UNHASHED_CHOICE_TAKEN:
        assert choice == {"Progid": (SZ, "Lumidor.jpg")}, choice
    else:
        assert choice == ({} if vista else {"Progid": (SZ, "Alt.jpg"), "Hash": (SZ, "abc=")}), choice
    assert per_user(FILE_EXTS + "swf\\UserChoice").get("Progid") != (SZ, "Lumidor.swf")
    # Offered in "Open with" for every extension the pass wrote: all on Vista
    # and later, the chosen image formats before.
    written = catalogue.extensions(None if vista else catalogue.IMAGES_ONLY_ROWS)
    for extension, base in catalogue.extensions():
        offered = machine(f"SOFTWARE\\Classes\\.{extension}\\OpenWithProgids")
        assert offered.get(f"Lumidor.{base}") == (("REG_NONE", b"") if (extension, base) in written else None), (
            extension, offered)
    assert (per_user(FILE_EXTS + "jpg").get("ProgID") == (SZ, "Lumidor.jpg")) == xp
    assert per_user(FILE_EXTS + "swf").get("ProgID") is None
    for app_class in NO_OPEN_WITH_CLASSES:
        value = per_user("Software\\Classes\\" + app_class).get("NoOpenWith")
        assert (value == (SZ, "")) == windows10, (app_class, value)


def test_registration_on_winxp():
    check_version("winxp")


def test_registration_on_winxp64():
    check_version("winxp64")


def test_registration_on_vista():
    check_version("vista")


def test_registration_on_win7():
    check_version("win7")


def test_registration_on_win8():
    check_version("win8")


def test_registration_on_win81():
    check_version("win81")


def test_registration_on_win10():
    check_version("win10")


def test_registration_on_win11():
    check_version("win11")


def test_browse_verbs_only_come_with_the_thumbnails_shortcut():
    prefix = install("no_thumbs", "win10", "/folder=C:\\Lumidor", "/desktop=1")
    system = prefix.registry("system")
    for parent in ("Directory", "Drive"):
        assert prefix.machine_key(f"SOFTWARE\\Classes\\{parent}\\shell\\{BROWSE_VERB}", system) is None
    # Nothing requested: every class and capability, jpg/png/tif by default, no UserChoice.
    assert len(prefix.machine_key("SOFTWARE\\Lumidor\\Capabilities\\FileAssociations", system)) == 94
    assert prefix.machine_key("SOFTWARE\\Classes\\.png", system)[""] == ("REG_SZ", "Lumidor.png")
    assert prefix.user_key(FILE_EXTS + "png\\UserChoice") is None
    assert prefix.user_key("Software\\Classes\\" + NO_OPEN_WITH_CLASSES[0]) is None
    assert links(prefix, PROGRAMS + "\\Lumidor") == []


def test_all_users_shortcuts_go_to_the_common_folders():
    prefix = install("all_users", "win7", "/folder=C:\\Lumidor", "/desktop=1", "/group=1", "/thumbs=1",
                     "/allusers=1")
    assert links(prefix, COMMON_DESKTOP) == ["Lumidor Thumbnails.lnk", "Lumidor.lnk"]
    assert links(prefix, COMMON_PROGRAMS + "\\Lumidor") == sorted(GROUP_LINKS)
    assert links(prefix, DESKTOP) == [] and links(prefix, PROGRAMS + "\\Lumidor") == []


def test_shortcuts_read_back_with_their_fields():
    prefix = install("shortcut_fields", "win7", "/folder=C:\\Apps\\Lumidor  ", "/desktop=1", "/group=1",
                     "/thumbs=1")
    exe = "C:\\Apps\\Lumidor\\lumi32.exe"
    viewer = lnkinfo(prefix.unix(DESKTOP + "\\Lumidor.lnk"))
    assert viewer["target"] == exe and viewer["description"] == "Lumidor - Bildbetrachter", viewer
    assert "arguments" not in viewer and "icon" not in viewer, viewer
    thumbs = lnkinfo(prefix.unix(DESKTOP + "\\Lumidor Thumbnails.lnk"))
    assert thumbs == {"target": exe, "arguments": "/thumbs", "icon": exe, "index": "7",
                      "description": "Lumidor - Thumbnails"}, thumbs
    group = PROGRAMS + "\\Lumidor\\"
    entry = lnkinfo(prefix.unix(group + "Lumidor - Thumbnails.lnk"))
    assert entry["target"] == exe and entry["arguments"] == "/thumbs" and entry["index"] == "7", entry
    assert "description" not in entry
    assert lnkinfo(prefix.unix(group + "Was ist neu.lnk"))["target"] == "C:\\Apps\\Lumidor\\lm_changes.txt"
    assert lnkinfo(prefix.unix(group + "Lumidor deinstallieren.lnk"))["target"] == "C:\\Apps\\Lumidor\\lu_uninstall.exe"
    help_target = lnkinfo(prefix.unix(group + "Lumidor Hilfe.lnk"))["target"]
    assert help_target.lower().replace("\\\\", "\\") == "c:\\apps\\lumidor\\help\\lumi32_deutsch.chm", help_target


def test_a_second_installation_replaces_every_path():
    prefix = install("second_install", "win10", "/folder=C:\\Erste", "/desktop=1", "/group=1", "/thumbs=1",
                     "/assoc=1")
    with open(prefix.unix(PROGRAMS + "\\Lumidor\\Lumidor 4.75.lnk"), "wb") as f:
        f.write(b"alt")
    # The first folder stays as it was: nothing of the second run goes there.
    with confined_to(prefix, installation_areas("C:\\Zweite")):
        assert prefix.setup("/silent", "/folder=C:\\Zweite", "/desktop=1", "/group=1", "/thumbs=1", "/assoc=1") == 0
    system, user = prefix.registry("system"), prefix.registry("user")
    machine = lambda path: prefix.machine_key(path, system)
    texts = [str(v) for key in system for v in system[key].values() if "lumidor" in key or "lumi32" in str(v)]
    texts += [str(v) for key in user for v in user[key].values()]
    assert not [t for t in texts if "Erste" in t], [t for t in texts if "Erste" in t][:5]
    new_open = '"C:\\Zweite\\lumi32.exe" "%1"'
    assert machine("SOFTWARE\\Classes\\Lumidor\\shell\\open\\command")[""] == ("REG_SZ", new_open)
    assert machine("SOFTWARE\\Classes\\Lumidor.jpg\\shell\\open\\command")[""] == ("REG_SZ", new_open)
    assert machine(UNINSTALL)["InstallLocation"] == ("REG_SZ", "C:\\Zweite\\")
    for folder in (DESKTOP, PROGRAMS + "\\Lumidor"):
        for name in links(prefix, folder):
            assert lnkinfo(prefix.unix(folder + "\\" + name))["target"].startswith("C:\\Zweite\\"), name
    assert "Lumidor 4.75.lnk" not in links(prefix, PROGRAMS + "\\Lumidor")


def test_every_group_entry_starts_what_its_name_says():
    prefix = install("group_targets", "win10", "/folder=C:\\Lumidor", "/group=1")
    folder = "C:\\Lumidor\\"
    expected = {"Lumidor 4.76.lnk": ("lumi32.exe", None), "Lumidor - Thumbnails.lnk": ("lumi32.exe", "/thumbs"),
                "Lumidor deinstallieren.lnk": ("lu_uninstall.exe", None), "\xdcber Lumidor.lnk": ("lm_about.txt", None),
                "Was ist neu.lnk": ("lm_changes.txt", None), "Kommandozeilen-Optionen.lnk": ("lm_options.txt", None),
                "Verf\xfcgbare PlugIns.lnk": ("lm_plugins.txt", None),
                "Verf\xfcgbare Sprachen.lnk": ("lm_languages.txt", None),
                "Lumidor Hilfe.lnk": ("help\\lumi32_deutsch.chm", None)}
    assert links(prefix, PROGRAMS + "\\Lumidor") == sorted(expected)
    for name, (target, arguments) in expected.items():
        fields = lnkinfo(prefix.unix(PROGRAMS + "\\Lumidor\\" + name))
        assert fields["target"].lower().replace("\\\\", "\\") == (folder + target).lower(), (name, fields)
        assert fields.get("arguments") == arguments, (name, fields)
        assert os.path.isfile(prefix.unix(folder + target.replace("help", "Help"))), name
    assert links(prefix, DESKTOP) == []


def test_the_thumbnails_shortcut_alone():
    prefix = install("thumbs_alone", "win7", "/folder=C:\\Lumidor", "/thumbs=1")
    assert links(prefix, DESKTOP) == ["Lumidor Thumbnails.lnk"]
    assert lnkinfo(prefix.unix(DESKTOP + "\\Lumidor Thumbnails.lnk")) == {
        "target": "C:\\Lumidor\\lumi32.exe", "arguments": "/thumbs", "icon": "C:\\Lumidor\\lumi32.exe", "index": "7",
        "description": "Lumidor - Thumbnails"}
    assert not os.path.exists(prefix.unix(PROGRAMS + "\\Lumidor"))


def check_all_formats_for_all_users(version):
    prefix = install(f"assoc_all_{version}", version, "/folder=C:\\Lumidor", "/assoc=2", "/assocallusers")
    xp = VERSIONS[version][4]
    system, user = prefix.registry("system"), prefix.registry("user")
    machine = lambda path: prefix.machine_key(path, system) or {}
    per_user = lambda path: prefix.user_key(path, user) or {}
    # Flash comes only with every format; the machine-wide defaults with it.
    for ext, klass in (("jpg", "Lumidor.jpg"), ("swf", "Lumidor.swf"), ("ani", "Lumidor.ani")):
        assert machine(f"SOFTWARE\\Classes\\.{ext}").get("") == (SZ, klass), (version, ext)
        assert machine(f"SOFTWARE\\Classes\\{klass}\\shell\\open\\command") == {"": (SZ, OPEN)}, (version, ext)
        if xp:
            assert per_user(FILE_EXTS + ext).get("ProgID") == (SZ, klass), (version, ext)
        else:
            assert per_user(FILE_EXTS + ext + "\\UserChoice") == {"Progid": (SZ, klass)}, (version, ext)


def test_every_format_for_all_users_on_xp():
    check_all_formats_for_all_users("winxp")


def test_every_format_for_all_users_on_win7():
    check_all_formats_for_all_users("win7")


def test_a_machine_without_the_registered_applications_key_installs_the_rest():
    # Only opened, never made: Windows always has it.
    prefix = Prefix("no_registered_apps", version="win7")
    assert prefix.machine_key("SOFTWARE\\RegisteredApplications") is None
    assert prefix.setup("/silent", "/folder=C:\\Lumidor", "/assoc=1") == 0
    system = prefix.registry("system")
    assert prefix.machine_key("SOFTWARE\\RegisteredApplications", system) is None
    assert len(prefix.machine_key("SOFTWARE\\Lumidor\\Capabilities\\FileAssociations", system)) == 94
    assert prefix.machine_key("SOFTWARE\\Classes\\Lumidor.jpg\\shell\\open\\command", system) == {"": (SZ, OPEN)}
