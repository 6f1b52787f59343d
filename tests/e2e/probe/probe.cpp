// Test probe run inside a test prefix: asks the Windows side what the
// end-to-end tests cannot see from Linux.
//   probe wait-window CLASS SECONDS   exit 0 once a top-level window of CLASS exists
//   probe close-window CLASS          asks every such window to close
//   probe version                     the version as RtlGetVersion and GetVersionExW report it
//   probe hold FILE SECONDS           holds FILE open without sharing; FILE.held appears once it is held
//   probe ui COMMAND...               drives the setup wizard (see WizardDriver.cpp)
//   probe record FILE ARGS...         writes its arguments to FILE (a stand-in program to be started)
//   probe spawn COMMANDLINE           runs a program with exactly that command line; prints its whole
//                                     exit status (wine hands on only the low 8 bits) and returns it
//   probe load NAME                   LoadLibraryW by that name, as a careless program would
//   probe short-path PATH             the path's short form, as GetShortPathNameW gives it
//   probe key-access ROOT\PATH SDDL   gives a key (HKLM or HKCU, the 32-bit view) that access list
//   probe hold-folder FOLDER SECONDS  holds a folder open as a prompt standing in it does
//   probe together COUNT COMMANDLINE  starts COUNT runs of COMMANDLINE at the same moment; prints their statuses
//   probe beside-holder LOCK COMMANDLINE
//                                     runs COMMANDLINE a second time while the first run holds LOCK
//   probe on-desktop NAME COMMANDLINE starts a program on a new desktop of that name, where no
//                                     window of the default desktop's programs sees its windows
#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

int WaitWindow(const wchar_t* windowClass, int seconds) {
    for (int waited = 0; waited <= seconds * 10; ++waited) {
        if (FindWindowW(windowClass, nullptr)) return 0;
        Sleep(100);
    }
    return 1;
}

int CloseWindows(const wchar_t* windowClass) {
    for (int tries = 0; tries < 50; ++tries) {
        HWND window = FindWindowW(windowClass, nullptr);
        if (!window) return 0;
        PostMessageW(window, WM_CLOSE, 0, 0);
        Sleep(100);
    }
    return 1;
}

int PrintVersion() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW rtl = {};
    rtl.dwOSVersionInfoSize = sizeof(rtl);
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll"), "RtlGetVersion")));
    if (rtlGetVersion) rtlGetVersion(&rtl);
    OSVERSIONINFOW plain = {};
    plain.dwOSVersionInfoSize = sizeof(plain);
    GetVersionExW(&plain);
    wprintf(L"rtl %lu.%lu.%lu %ls\nplain %lu.%lu.%lu %lu\n", rtl.dwMajorVersion, rtl.dwMinorVersion,
            rtl.dwBuildNumber, rtl.szCSDVersion, plain.dwMajorVersion, plain.dwMinorVersion, plain.dwBuildNumber,
            plain.dwPlatformId);
    return 0;
}

int HoldFile(const wchar_t* path, int seconds) {
    HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::wstring marker = std::wstring(path) + L".held";
    CloseHandle(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    Sleep(seconds * 1000);
    CloseHandle(file);
    return 0;
}

bool StartProcess(const wchar_t* commandLine, DWORD flags, PROCESS_INFORMATION* process) {
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    *process = {};
    return CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup, process);
}

// Waits for a started process, closes its handles and gives its exit status.
DWORD FinishProcess(PROCESS_INFORMATION& process) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 255;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

int Spawn(const wchar_t* commandLine) {
    PROCESS_INFORMATION process;
    if (!StartProcess(commandLine, 0, &process)) return 255;
    DWORD status = FinishProcess(process);
    wprintf(L"%lu\n", status);
    return static_cast<int>(status);
}

// Starts COUNT copies of one command suspended, lets them all go at the same
// moment, waits for every one and prints their exit statuses: a start through
// the wine launcher takes longer than a whole run on a loaded machine.
int Together(int count, const wchar_t* commandLine) {
    std::vector<PROCESS_INFORMATION> processes(count > 0 ? count : 0);
    for (auto& process : processes)
        if (!StartProcess(commandLine, CREATE_SUSPENDED, &process)) return 255;
    for (auto& process : processes) ResumeThread(process.hThread);
    for (auto& process : processes) wprintf(L"%lu ", FinishProcess(process));
    wprintf(L"\n");
    return 0;
}

// Starts a command and, once the named lock exists, stops the command's main
// thread, runs the same command a second time to its end and then lets the
// first go on, so the second run surely meets the first. Prints the exit
// statuses of the first and the second run.
int BesideHolder(const wchar_t* lockName, const wchar_t* commandLine) {
    PROCESS_INFORMATION first;
    if (!StartProcess(commandLine, 0, &first)) return 255;
    bool held = false;
    while (!held && WaitForSingleObject(first.hProcess, 1) == WAIT_TIMEOUT) {
        HANDLE lock = OpenMutexW(SYNCHRONIZE, FALSE, lockName);
        held = lock != nullptr;
        if (lock) CloseHandle(lock);
    }
    if (held) SuspendThread(first.hThread);
    PROCESS_INFORMATION second;
    DWORD secondStatus = held && StartProcess(commandLine, 0, &second) ? FinishProcess(second) : 255;
    if (held) ResumeThread(first.hThread);
    wprintf(L"%lu %lu\n", FinishProcess(first), secondStatus);
    return 0;
}

int ShortPath(const wchar_t* path) {
    wchar_t shortPath[MAX_PATH];
    if (!GetShortPathNameW(path, shortPath, MAX_PATH)) return 1;
    wprintf(L"%ls\n", shortPath);
    return 0;
}

// A key's access list from its SDDL form ("D:(D;;0x2;;;WD)(A;;KA;;;WD)").
int KeyAccess(const wchar_t* name, const wchar_t* sddl) {
    HKEY root = wcsncmp(name, L"HKLM\\", 5) == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    HKEY key;
    if (RegOpenKeyExW(root, name + 5, 0, WRITE_DAC | READ_CONTROL, &key) != ERROR_SUCCESS) return 1;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    LONG status = 1;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
        status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        LocalFree(descriptor);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : 1;
}

int HoldFolder(const wchar_t* path, int seconds) {
    HANDLE folder = CreateFileW(path, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return 1;
    Sleep(seconds * 1000);
    CloseHandle(folder);
    return 0;
}

int OnDesktop(const wchar_t* name, const wchar_t* commandLine) {
    HDESK desktop = CreateDesktopW(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desktop) return 1;
    std::wstring line = commandLine;
    std::wstring desktopName = name;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.lpDesktop = &desktopName[0];
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return 1;
    // Stays until the program ends, so that the desktop lives as long.
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseDesktop(desktop);
    return 0;
}

int Record(const wchar_t* path, int count, wchar_t** args) {
    FILE* out = _wfopen(path, L"w");
    if (!out) return 1;
    for (int i = 0; i < count; ++i) fwprintf(out, L"%ls\n", args[i]);
    fclose(out);
    return 0;
}

}  // namespace

int RunWizardCommands(int count, wchar_t** commands);

int wmain(int argc, wchar_t** argv) {
    if (argc >= 4 && wcscmp(argv[1], L"wait-window") == 0) return WaitWindow(argv[2], _wtoi(argv[3]));
    if (argc >= 3 && wcscmp(argv[1], L"close-window") == 0) return CloseWindows(argv[2]);
    if (argc >= 2 && wcscmp(argv[1], L"version") == 0) return PrintVersion();
    if (argc >= 4 && wcscmp(argv[1], L"hold") == 0) return HoldFile(argv[2], _wtoi(argv[3]));
    if (argc >= 3 && wcscmp(argv[1], L"spawn") == 0) return Spawn(argv[2]);
    if (argc >= 4 && wcscmp(argv[1], L"together") == 0) return Together(_wtoi(argv[2]), argv[3]);
    if (argc >= 4 && wcscmp(argv[1], L"beside-holder") == 0) return BesideHolder(argv[2], argv[3]);
    if (argc >= 3 && wcscmp(argv[1], L"load") == 0) return LoadLibraryW(argv[2]) ? 0 : 1;
    if (argc >= 3 && wcscmp(argv[1], L"short-path") == 0) return ShortPath(argv[2]);
    if (argc >= 4 && wcscmp(argv[1], L"key-access") == 0) return KeyAccess(argv[2], argv[3]);
    if (argc >= 4 && wcscmp(argv[1], L"hold-folder") == 0) return HoldFolder(argv[2], _wtoi(argv[3]));
    if (argc >= 4 && wcscmp(argv[1], L"on-desktop") == 0) return OnDesktop(argv[2], argv[3]);
    if (argc >= 2 && wcscmp(argv[1], L"ui") == 0) return RunWizardCommands(argc - 2, argv + 2);
    if (argc >= 3 && wcscmp(argv[1], L"record") == 0) return Record(argv[2], argc - 3, argv + 3);
    fwprintf(stderr, L"usage: probe wait-window CLASS SECONDS | close-window CLASS | version | hold FILE SECONDS\n");
    return 2;
}
