// The program file of a process.
#include "platform/Processes.h"

#include <tlhelp32.h>
#include <wchar.h>

#include "app/SystemLibrary.h"
#include "platform/FileIdentity.h"
#include "platform/Scoped.h"
#include "platform/Text.h"

namespace {

constexpr size_t kDeviceChars = 260;

constexpr DWORD kQueryLimitedInformation = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION, Vista and later

using QueryFullProcessImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
using GetProcessImageFileNameFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD);

// Windows XP has only the device form, through psapi.dll.
bool DevicePathOfProcess(HANDLE process, wchar_t* out, size_t cchOut) {
    CScopedModule psapi(LoadSystemLibrary(L"psapi.dll"));
    auto imageFileName = LookUp<GetProcessImageFileNameFn>(psapi.get(), "GetProcessImageFileNameW");
    if (!imageFileName) return false;
    DWORD length = imageFileName(process, out, static_cast<DWORD>(cchOut));
    return length > 0 && length < cchOut;
}

// The last level of a path, or the whole text.
const wchar_t* NameOf(const wchar_t* path) {
    const wchar_t* name = wcsrchr(path, L'\\');
    return name ? name + 1 : path;
}

// An administrator's token holds the right to inspect every process, but
// disabled: enabled, a viewer of another user's session is found too.
void EnableDebugPrivilege() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &raw)) return;
    CScopedHandle token(raw);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
}

// The program file of a process by its id: with the narrow right where the
// system knows it, else (Windows XP) with the broad one.
bool ImagePathOfProcess(DWORD id, wchar_t* out, size_t cchOut) {
    static const DWORD kAccesses[] = {kQueryLimitedInformation, PROCESS_QUERY_INFORMATION};
    for (DWORD access : kAccesses) {
        CScopedHandle process(OpenProcess(access, FALSE, id));
        if (process && ProcessImagePath(process.get(), out, cchOut)) return true;
    }
    return false;
}

}  // namespace

bool DrivePathFromDevicePath(const wchar_t* devicePath, const wchar_t* const devices[26], wchar_t* out,
                             size_t cchOut) {
    for (int letter = 0; letter < 26; ++letter) {
        size_t length = wcslen(devices[letter]);
        if (length == 0 || _wcsnicmp(devicePath, devices[letter], length) != 0 || devicePath[length] != L'\\')
            continue;
        return FormatText(out, cchOut, L"%c:%s", L'A' + letter, devicePath + length);
    }
    return false;
}

bool ProcessImagePath(HANDLE process, wchar_t* out, size_t cchOut) {
    wchar_t kernel32[kPathChars];
    if (SystemFolderPath(L"kernel32.dll", kernel32, kPathChars)) {
        auto fullName = LookUp<QueryFullProcessImageNameFn>(GetModuleHandleW(kernel32), "QueryFullProcessImageNameW");
        DWORD cch = static_cast<DWORD>(cchOut);
        if (fullName) return fullName(process, 0, out, &cch) && cch > 0 && cch < cchOut;
    }
    wchar_t devicePath[kLongPathChars];
    if (!DevicePathOfProcess(process, devicePath, kLongPathChars)) return false;
    wchar_t storage[26][kDeviceChars];
    const wchar_t* devices[26];
    for (int letter = 0; letter < 26; ++letter) {
        wchar_t drive[3] = {static_cast<wchar_t>(L'A' + letter), L':', L'\0'};
        if (!QueryDosDeviceW(drive, storage[letter], kDeviceChars)) storage[letter][0] = L'\0';
        devices[letter] = storage[letter];
    }
    return DrivePathFromDevicePath(devicePath, devices, out, cchOut);
}

bool AnyProcessRuns(const wchar_t* programFile) {
    FileIdentity program;
    if (!IdentityOfPath(programFile, program)) return false;  // no such file: nothing runs it
    EnableDebugPrivilege();
    CScopedFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        // Only a process of that file name can run the file; the identity decides.
        if (entry.th32ProcessID == GetCurrentProcessId() || _wcsicmp(NameOf(entry.szExeFile), NameOf(programFile)) != 0)
            continue;
        wchar_t image[kLongPathChars];
        FileIdentity identity;
        if (ImagePathOfProcess(entry.th32ProcessID, image, kLongPathChars) && IdentityOfPath(image, identity) &&
            identity == program)
            return true;
    }
    return false;
}
