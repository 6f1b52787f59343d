// The program file of a process.
#include "platform/Processes.h"

#include <wchar.h>

#include "app/SystemLibrary.h"
#include "platform/Scoped.h"
#include "platform/Text.h"

namespace {

constexpr size_t kLongPathChars = 520;
constexpr size_t kDeviceChars = 260;

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
