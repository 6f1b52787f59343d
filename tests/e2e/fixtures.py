"""Things the end-to-end tests build or mount for themselves: icon libraries
with real version resources, test builds of the setup program, small drives."""
import contextlib
import os
import subprocess
import tempfile

from harness import BUILD, SCRATCH

VARIANTS = os.path.join(BUILD, "product", "variants")
PAYLOAD_ICONS_DLL = os.path.join(BUILD, "product", "payload", "Icons.dll")


def variant(name):
    """A test build of the setup program whose payload is damaged or hostile."""
    path = os.path.join(VARIANTS, name, "lumidor476_setup.exe")
    assert os.path.exists(path), f"{path} is missing: run 'make unit'"
    return path


def icon_library(product, build, company, size=None):
    """A resource-only DLL whose version text reads "<product><build>" (product
    version as "4.3", file build as "0") from company, padded to size bytes."""
    folder = os.path.join(SCRATCH, "icon-libraries")
    os.makedirs(folder, exist_ok=True)
    major, minor = product.split(".")
    name = f"icons_{major}_{minor}_{build}_{company}_{size or 'plain'}.dll".replace(" ", "_")
    path = os.path.join(folder, name)
    if os.path.exists(path):
        return path
    with tempfile.TemporaryDirectory() as work:
        rc = os.path.join(work, "version.rc")
        with open(rc, "w") as f:
            f.write(f"""#include <windows.h>
VS_VERSION_INFO VERSIONINFO
FILEVERSION {major},{minor},{build},0
PRODUCTVERSION {major},{minor},0,0
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904E4"
    BEGIN
      VALUE "CompanyName", "{company}"
      VALUE "ProductVersion", "{product}"
    END
  END
END
""")
        res = os.path.join(work, "version.o")
        entry = os.path.join(work, "entry.c")
        with open(entry, "w") as f:
            f.write("#include <windows.h>\nBOOL WINAPI DllEntry(HINSTANCE a, DWORD b, LPVOID c) { return TRUE; }\n")
        subprocess.run(["i686-w64-mingw32-windres", rc, "-O", "coff", "-o", res], check=True)
        subprocess.run(["i686-w64-mingw32-gcc", "-shared", "-nostdlib", "-s", "-Wl,-e,_DllEntry@12", entry, res,
                        "-o", path], check=True)
    if size:
        # Bytes after the last section: the version block stays readable.
        padding = size - os.path.getsize(path)
        assert padding >= 0
        with open(path, "ab") as f:
            f.write(b"\0" * padding)
    return path


@contextlib.contextmanager
def _tmpfs(folder, options):
    subprocess.run(["mount", "-t", "tmpfs", "-o", options, "tmpfs", folder], check=True)
    try:
        yield folder
    finally:
        subprocess.run(["umount", "-l", folder])


@contextlib.contextmanager
def small_drive(kilobytes):
    """A tmpfs of the given size, unmounted afterwards."""
    folder = tempfile.mkdtemp(prefix="lumidor-drive-", dir=SCRATCH)
    try:
        with _tmpfs(folder, f"size={kilobytes}k"):
            yield folder
    finally:
        os.rmdir(folder)


def read_only_folder(folder):
    """Makes an (empty) folder read-only for a with block: as root,
    permissions stop nothing, a read-only mount does."""
    os.makedirs(folder, exist_ok=True)
    return _tmpfs(folder, "ro,size=64k")


def planted_dll(name, marker):
    """A DLL named like a system DLL that leaves the file marker (a Windows
    path) behind when any process loads it."""
    folder = os.path.join(SCRATCH, "planted")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name + "." + marker.replace("\\", "_").replace(":", ""))
    source = path + ".c"
    escaped = marker.replace("\\", "\\\\")
    with open(source, "w") as f:
        f.write("#include <windows.h>\n"
                "BOOL WINAPI DllMain(HINSTANCE a, DWORD reason, LPVOID c) {\n"
                "    if (reason == DLL_PROCESS_ATTACH)\n"
                f"        CloseHandle(CreateFileW(L\"{escaped}\", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));\n"
                "    return TRUE;\n"
                "}\n")
    subprocess.run(["i686-w64-mingw32-gcc", "-shared", "-s", source, "-o", path], check=True)
    return path
