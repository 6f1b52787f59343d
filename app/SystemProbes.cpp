// Probes of the system: an earlier installation, the default folder, the
// Windows version.
#include "app/SystemProbes.h"

#include "install/RegistrationRows.h"
#include "platform/Folders.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/Text.h"

namespace {

const wchar_t kViewerExe[] = L"lumi32.exe";
const wchar_t kFallbackFolder[] = L"C:\\Lumidor\\";
const wchar_t kCurrentVersionKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion";

int systemVersionCode = 0;  // 0: not asked yet

using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);

}  // namespace

int InstallFolderFromOpenCommand(const wchar_t* command, wchar_t* out, size_t cchOut) {
    if (cchOut == 0) return 0;
    out[0] = L'\0';
    if (!command || !wcsstr(command, kViewerExe)) return 0;

    // The command is normally a quoted path; another tool may have written it
    // without quotes, so only a quote is dropped.
    const wchar_t* path = command[0] == L'"' ? command + 1 : command;
    size_t pathLength = 0;
    while (path[pathLength] != L'\0' && path[pathLength] != L'"') ++pathLength;

    // Drive and folder part: everything up to the last separator, or just the
    // drive when there is none.
    size_t folderLength = 0;
    for (size_t i = 0; i < pathLength; ++i) {
        if (path[i] == L'\\' || path[i] == L'/') folderLength = i + 1;
    }
    if (folderLength == 0 && pathLength >= 2 && path[1] == L':') folderLength = 2;

    // A folder written with forward slashes ("C:/Old/") is the same folder.
    bool needsBackslash = folderLength == 0 || (path[folderLength - 1] != L'\\' && path[folderLength - 1] != L'/');
    if (folderLength + (needsBackslash ? 1 : 0) + 1 > cchOut) return 0;
    for (size_t i = 0; i < folderLength; ++i) out[i] = path[i] == L'/' ? L'\\' : path[i];
    if (needsBackslash) out[folderLength++] = L'\\';
    out[folderLength] = L'\0';
    return 1;
}

int FindPreviousInstallFolder(wchar_t* out, size_t cchOut) {
    if (cchOut == 0) return 0;
    out[0] = L'\0';
    wchar_t commandKey[kPathChars];
    FormatText(commandKey, kPathChars, L"%s\\%s", kViewerClassKey, kOpenCommandSubkey);
    wchar_t command[kPathChars];
    if (!ReadStringValue(HKEY_LOCAL_MACHINE, commandKey, nullptr, command, kPathChars)) return 0;
    if (command[0] == L'\0') return 0;
    return InstallFolderFromOpenCommand(command, out, cchOut < kPathChars ? cchOut : kPathChars);
}

int GetDefaultInstallFolder(wchar_t* out, size_t cchOut) {
    CopyText(out, cchOut, kFallbackFolder);
    wchar_t folder[kPathChars];
    if (!ReadStringValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, L"ProgramFilesDir", folder, kPathChars)) return 1;
    if (!EndsWithBackslash(folder) && !AppendText(folder, L"\\")) return 1;
    if (!AppendText(folder, L"Lumidor")) return 1;  // would pass 259 characters
    CopyText(out, cchOut, folder);
    return 1;
}

int VersionCodeFrom(DWORD major, DWORD minor, DWORD build, const wchar_t* servicePack) {
    if (major >= 10) return build >= 22000 ? 11 : 10;
    if (major >= 6) return minor >= 2 ? 8 : (minor == 1 ? 7 : 6);
    if (major == 5 && minor >= 1) return servicePack && wcsstr(servicePack, L"Service Pack 3") ? 5 : 1;
    return 0;
}

int GetSystemVersionCode() {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll"), "RtlGetVersion")));
    if (!rtlGetVersion || rtlGetVersion(&version) != 0) {
        version = {};
        version.dwOSVersionInfoSize = sizeof(version);
        GetVersionExW(&version);
    }
    version.szCSDVersion[ARRAYSIZE(version.szCSDVersion) - 1] = L'\0';
    return VersionCodeFrom(version.dwMajorVersion, version.dwMinorVersion,
                           version.dwBuildNumber, version.szCSDVersion);
}

int CachedSystemVersionCode() {
    if (systemVersionCode == 0) systemVersionCode = GetSystemVersionCode();
    return systemVersionCode;
}

const wchar_t kViewerWindowClass[] = L"Lumidor";

bool IsViewerRunning(const wchar_t* folder) {
    if (FindWindowW(kViewerWindowClass, nullptr)) return true;
    wchar_t viewer[kPathChars];
    if (!folder || !CopyText(viewer, folder)) return false;
    TrimSpaces(viewer);
    if (viewer[0] == L'\0' || (!EndsWithBackslash(viewer) && !AppendText(viewer, L"\\"))) return false;
    return AppendText(viewer, kViewerExe) && AnyProcessRuns(viewer);
}

int IsVistaOrLaterFrom(DWORD platformId, DWORD major) {
    return platformId == VER_PLATFORM_WIN32_NT && major > 5 ? 1 : 0;
}

int IsVistaOrLaterSystem() {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExW(&version)) return 0;
    return IsVistaOrLaterFrom(version.dwPlatformId, version.dwMajorVersion);
}
