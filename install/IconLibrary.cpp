// Whether an installed icon library stays in place.
#include "install/IconLibrary.h"

#include <stdlib.h>
#include <wchar.h>

#include "app/SystemLibrary.h"
#include "platform/Scoped.h"
#include "platform/Text.h"

namespace {

const wchar_t kShippedVersion[] = L"4.30";
const wchar_t kMakerCompany[] = L"Orvendal";
const wchar_t kCompanyKey[] = L"\\StringFileInfo\\040904E4\\CompanyName";

using GetFileVersionInfoSizeWFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetFileVersionInfoWFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using VerQueryValueWFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

}  // namespace

int ReadVersionAndCompany(const wchar_t* path, wchar_t* versionText, size_t cchVersion, wchar_t* company,
                          size_t cchCompany) {
    if (cchVersion > 0) versionText[0] = L'\0';
    CScopedModule version(LoadSystemLibrary(L"version.dll"));
    auto getSize = LookUp<GetFileVersionInfoSizeWFn>(version.get(), "GetFileVersionInfoSizeW");
    auto getInfo = LookUp<GetFileVersionInfoWFn>(version.get(), "GetFileVersionInfoW");
    auto query = LookUp<VerQueryValueWFn>(version.get(), "VerQueryValueW");
    if (!getSize || !getInfo || !query) return 0;

    DWORD handle = 0;
    DWORD size = getSize(path, &handle);
    if (size == 0) return 0;
    CHeapBlock block(static_cast<size_t>(size) * 2, true);
    if (!block || !getInfo(path, 0, size, block.get())) return 0;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedBytes = 0;
    if (!query(block.get(), L"\\", reinterpret_cast<void**>(&fixed), &fixedBytes) || !fixed ||
        fixedBytes < sizeof(VS_FIXEDFILEINFO))
        return 0;
    FormatText(versionText, cchVersion, L"%d.%d%d", HIWORD(fixed->dwProductVersionMS),
               LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwFileVersionLS));

    if (company && cchCompany > 0) {
        company[0] = L'\0';
        wchar_t* found = nullptr;
        UINT length = 0;
        if (query(block.get(), kCompanyKey, reinterpret_cast<void**>(&found), &length) && found) {
            size_t count = TextLength(found, length);
            if (count > cchCompany - 1) count = cchCompany - 1;
            wmemcpy(company, found, count);
            company[count] = L'\0';
        }
    }
    return 1;
}

int GetFileByteSize(const wchar_t* path) {
    if (!path || path[0] == L'\0') return 0;
    CScopedFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 0;
    DWORD size = GetFileSize(file.get(), nullptr);
    return size == INVALID_FILE_SIZE ? 0 : static_cast<int>(size);
}

int VersionThousandths(const wchar_t* versionText) {
    char ansi[kPathChars];
    if (!WideCharToMultiByte(CP_ACP, 0, versionText, -1, ansi, sizeof(ansi), nullptr, nullptr)) ansi[0] = '\0';
    // Both roundings to single precision are forced: i686 GCC would otherwise
    // keep x87 precision and read "4.29" as 4289.
    volatile float value = static_cast<float>(atof(ansi));
    volatile float product = value * 1000.0f;
    return static_cast<int>(product);
}

bool ShouldKeepInstalledIconsDll(int hasVersion, const wchar_t* installedVersion, int installedBytes,
                                 const wchar_t* installedCompany) {
    if (hasVersion != 1) return false;
    int reference = VersionThousandths(kShippedVersion);
    int installed = VersionThousandths(installedVersion);
    if (installed > reference) return true;
    if (installed == reference && static_cast<DWORD>(installedBytes) != kKnownOldIconsDllBytes) return true;
    return _wcsicmp(installedCompany, kMakerCompany) != 0;
}

bool KeepInstalledIconsDll(const wchar_t* path) {
    wchar_t version[kPathChars];
    wchar_t company[kPathChars] = {};
    int hasVersion = ReadVersionAndCompany(path, version, kPathChars, company, kPathChars);
    if (hasVersion != 1) return false;
    return ShouldKeepInstalledIconsDll(hasVersion, version, GetFileByteSize(path), company);
}
