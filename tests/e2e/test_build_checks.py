"""The import check of the build: it passes the setup program and fails
programs that need a runtime DLL or a function Windows XP SP3 lacks."""
import os
import subprocess
import sys
import tempfile

from harness import SETUP_EXE, TOP

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


def test_the_setup_program_imports_only_system_functions_of_xp():
    status, errors = check(SETUP_EXE)
    assert status == 0, errors
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", SETUP_EXE], capture_output=True, text=True).stdout
    dlls = sorted({line.split()[-1].lower() for line in dump.splitlines() if "DLL Name:" in line})
    system = {"advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll", "shell32.dll",
              "user32.dll"}
    assert dlls and set(dlls) <= system, dlls


def test_a_runtime_dll_or_a_function_newer_than_xp_fails_the_check():
    with tempfile.TemporaryDirectory() as folder:
        dynamic = build(folder, "dynamic", "#include <string>\nint main(int c, char**) { return std::to_string(c).size(); }\n")
        status, errors = check(dynamic)
        assert status == 1 and "runtime DLL" in errors, errors

        newer = build(folder, "newer", "#include <windows.h>\nint main() { return (int)GetTickCount64(); }\n",
                      "-static", "-D_WIN32_WINNT=0x0600")
        status, errors = check(newer)
        assert status == 1 and "kernel32.dll!GetTickCount64" in errors, errors

