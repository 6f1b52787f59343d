"""Reading back what an installation told the shell: shortcuts through
lnkinfo, and the registry entries of one installation."""
import os
import re
import subprocess

USER = "C:\\users\\root"
DESKTOP = USER + "\\Desktop"
PROGRAMS = USER + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"
COMMON_DESKTOP = "C:\\users\\Public\\Desktop"
COMMON_PROGRAMS = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"
FILE_EXTS = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\."
UNINSTALL = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumidor"
BROWSE_VERB = "Durchsuchen mit &Lumidor"
NO_OPEN_WITH_CLASSES = ["AppXvhc4p7vz4b485xfp46hhk3fq3grkdgjg", "AppXk0g4vb8gvt7b93tg50ybcy892pge6jmt",
                        "AppX43hnxtbyyps62jhe9sqpdzxn1790zetc", "AppX9rkaq77s0jzh1tyccadx9ghba15r6t3h",
                        "AppX6eg8h5sxqq90pv53845wmnbewywdqq5h"]

GROUP_LINKS = ["Lumidor 4.76.lnk", "Lumidor - Thumbnails.lnk", "Lumidor deinstallieren.lnk", "\xdcber Lumidor.lnk",
               "Was ist neu.lnk", "Kommandozeilen-Optionen.lnk", "Verf\xfcgbare PlugIns.lnk",
               "Verf\xfcgbare Sprachen.lnk", "Lumidor Hilfe.lnk"]


def lnkinfo(path):
    """The fields lnkinfo reads from a shortcut: local path, arguments, icon
    location and index, description."""
    out = subprocess.run(["lnkinfo", path], capture_output=True, text=True, check=True).stdout
    fields = {}
    for key, name in (("Local path", "target"), ("Command line arguments", "arguments"),
                      ("Icon location", "icon"), ("Icon index", "index"), ("Description", "description")):
        m = re.search(r"^\s*" + re.escape(key) + r"\s*:\s?(.*)$", out, re.M)
        if m:
            fields[name] = m.group(1).strip()
    return fields


def links(prefix, folder):
    unix = prefix.unix(folder)
    return sorted(os.listdir(unix)) if os.path.isdir(unix) else []
