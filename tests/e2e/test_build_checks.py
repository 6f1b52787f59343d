"""The build's promises: the import check passes both programs and fails
programs that need a runtime DLL or a function Windows XP SP3 lacks; the
uninstaller the payload carries is the one built here, with the setup
program's manifest level; a build in another folder gives the same bytes; and
a large archive lies on a page boundary of the file."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

from fixtures import variant
from harness import BUILD, PAYLOAD, SETUP_EXE, TOP

CHECK = os.path.join(TOP, "tools", "check_imports.py")


def check(program):
    result = subprocess.run([sys.executable, CHECK, program], capture_output=True, text=True)
    return result.returncode, result.stderr


def build(folder, name, source, *flags):
    path = os.path.join(folder, name + ".cpp")
    with open(path, "w") as f:
        f.write(source)
    exe = os.path.join(folder, name + ".exe")
    subprocess.run(["i686-w64-mingw32-g++-posix", "-O2", path, "-o", exe, *flags], check=True)
    return exe


SYSTEM_DLLS = {"advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll", "shell32.dll",
               "user32.dll"}


def imported_dlls(program):
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", program], capture_output=True, text=True).stdout
    return sorted({line.split()[-1].lower() for line in dump.splitlines() if "DLL Name:" in line})


def test_the_setup_program_imports_only_system_functions_of_xp():
    status, errors = check(SETUP_EXE)
    assert status == 0, errors
    dlls = imported_dlls(SETUP_EXE)
    assert dlls and set(dlls) <= SYSTEM_DLLS, dlls
    # Made small, it keeps what ASLR needs: the flag and the relocations.
    headers = subprocess.run(["i686-w64-mingw32-objdump", "-p", "-h", SETUP_EXE], capture_output=True,
                             text=True).stdout
    assert "DYNAMIC_BASE" in headers and " .reloc " in headers, headers[:800]


def test_the_shipped_uninstaller_is_the_one_built_here_with_the_setup_programs_standards():
    with tempfile.TemporaryDirectory() as folder:
        with zipfile.ZipFile(os.path.join(PAYLOAD, "lumipg_payload.zip")) as archive:
            shipped = archive.extract("lu_uninstall.exe", folder)
        built = os.path.join(BUILD, "product", "uninstall", "lu_uninstall.exe")
        assert open(shipped, "rb").read() == open(built, "rb").read()
        status, errors = check(shipped)
        assert status == 0, errors
        dlls = imported_dlls(shipped)
        assert dlls and set(dlls) <= SYSTEM_DLLS, dlls
        assert b'level="highestAvailable"' in open(shipped, "rb").read()
        # 32-bit, a Windows program, relocatable (ASLR).
        header = subprocess.run(["i686-w64-mingw32-objdump", "-p", shipped], capture_output=True, text=True).stdout
        assert "pei-i386" in header and "(Windows GUI)" in header and "DYNAMIC_BASE" in header, header[:800]


def test_a_build_in_another_folder_gives_the_same_bytes():
    folder = tempfile.mkdtemp(prefix="lumidor-rebuild-")
    try:
        subprocess.run(["cmake", "-S", TOP, "-B", folder, f"-DCMAKE_TOOLCHAIN_FILE={TOP}/cmake/mingw-i686.cmake",
                        "-DLUMIDOR_THREAD_MODEL=win32", "-DCMAKE_BUILD_TYPE=MinSizeRel",
                        f"-DLUMIDOR_DEPS={BUILD}/deps"], check=True, capture_output=True)
        subprocess.run(["cmake", "--build", folder, "-j2", "--target", "lumidor476_setup"], check=True,
                       capture_output=True)
        for rebuilt, shipped in (("lumidor476_setup.exe", SETUP_EXE),
                                 ("uninstall/lu_uninstall.exe", os.path.join(BUILD, "product", "uninstall",
                                                                             "lu_uninstall.exe"))):
            assert open(os.path.join(folder, rebuilt), "rb").read() == open(shipped, "rb").read(), rebuilt
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def raw_sections(image):
    """Each section's name, file offset and size in the file, in file order."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    count, optional = struct.unpack_from("<H12xH", image, pe + 6)
    table = pe + 24 + optional
    sections = []
    for header in range(table, table + 40 * count, 40):
        size, offset = struct.unpack_from("<II", image, header + 16)
        sections.append((image[header:header + 8].rstrip(b"\0").decode(), offset, size))
    return sorted(sections, key=lambda section: section[1])


def test_a_large_archive_lies_on_a_page_boundary_a_small_one_where_the_linker_put_it():
    sys.path.insert(0, os.path.join(TOP, "tools"))
    from align_archive import LARGE, check_sum
    for program in (variant("many_files"), SETUP_EXE):
        image = open(program, "rb").read()
        sections = [s for s in raw_sections(image) if s[2]]
        names = [name for name, _, _ in sections]
        before, resources = sections[names.index(".rsrc") - 1], sections[names.index(".rsrc")]
        gap = resources[1] - (before[1] + before[2])
        assert resources[1] % 0x1000 == 0 if resources[2] >= LARGE else gap == 0, (program, sections)
        # The sections still follow each other up to the file's end, and the
        # check sum holds (the linker's own sum, for the program it wrote, is
        # computed the same way).
        assert all(a[1] + a[2] <= b[1] for a, b in zip(sections, sections[1:])), sections
        assert sections[-1][1] + sections[-1][2] == len(image), sections
        at = struct.unpack_from("<I", image, 0x3C)[0] + 24 + 64
        assert struct.unpack_from("<I", image, at)[0] == check_sum(image, at), program


def test_a_runtime_dll_or_a_function_newer_than_xp_fails_the_check():
    with tempfile.TemporaryDirectory() as folder:
        dynamic = build(folder, "dynamic", "#include <string>\nint main(int c, char**) { return std::to_string(c).size(); }\n")
        status, errors = check(dynamic)
        assert status == 1 and "runtime DLL" in errors, errors

        newer = build(folder, "newer", "#include <windows.h>\nint main() { return (int)GetTickCount64(); }\n",
                      "-static", "-D_WIN32_WINNT=0x0600")
        status, errors = check(newer)
        assert status == 1 and "kernel32.dll!GetTickCount64" in errors, errors

