// Which file or folder a path names, by identity.
#include "platform/FileIdentity.h"

#include <wchar.h>

#include "app/SystemLibrary.h"
#include "platform/Folders.h"
#include "platform/Text.h"

namespace {

// A name surrogate (junction, symbolic link, mount point) names another item;
// other reparse points (deduplicated or cloud files) are the item itself.
constexpr DWORD kNameSurrogateTag = 0x20000000;

using GetFinalPathNameByHandleFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);

// The full form of a path: "." and ".." levels and doubled separators gone.
bool FullPath(const wchar_t* path, wchar_t (&out)[kLongPathChars]) {
    DWORD length = GetFullPathNameW(path, kLongPathChars, out, nullptr);
    return length > 0 && length < kLongPathChars;
}

// The last level's name of a full path, without trailing separators, in out.
void LastName(const wchar_t* path, wchar_t (&out)[kLongPathChars]) {
    size_t end = wcslen(path);
    while (end > 0 && path[end - 1] == L'\\') --end;
    size_t start = end;
    while (start > 0 && path[start - 1] != L'\\') --start;
    wmemcpy(out, path + start, end - start);
    out[end - start] = L'\0';
}

}  // namespace

HANDLE OpenItem(const wchar_t* path, DWORD access, bool followLinks, DWORD share) {
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    return CreateFileW(path, access, share, nullptr, OPEN_EXISTING, flags, nullptr);
}

bool IdentityOfHandle(HANDLE item, FileIdentity& identity, DWORD* attributes) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(item, &info)) return false;
    identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    if (attributes) *attributes = info.dwFileAttributes;
    // Some network redirectors give every file the index 0.
    return info.nFileIndexHigh != 0 || info.nFileIndexLow != 0;
}

bool IdentityOfPath(const wchar_t* path, FileIdentity& identity) {
    CScopedFile item(OpenItem(path, FILE_READ_ATTRIBUTES, true));
    return item && IdentityOfHandle(item.get(), identity);
}

bool SameItem(const wchar_t* a, const wchar_t* b) {
    FileIdentity first, second;
    return IdentityOfPath(a, first) && IdentityOfPath(b, second) && first == second;
}

bool PathNamesItem(const wchar_t* path, const wchar_t* expectedPath) {
    wchar_t given[kLongPathChars], expected[kLongPathChars];
    if (!FullPath(path, given) || !FullPath(expectedPath, expected)) return false;
    for (;;) {
        FileIdentity a, b;
        bool givenExists = IdentityOfPath(given, a);
        bool expectedExists = IdentityOfPath(expected, b);
        if (givenExists || expectedExists) return givenExists && expectedExists && a == b;
        // Neither exists: the same name in the same folder.
        wchar_t givenName[kLongPathChars], expectedName[kLongPathChars];
        LastName(given, givenName);
        LastName(expected, expectedName);
        if (givenName[0] == L'\0' || _wcsicmp(givenName, expectedName) != 0) return false;
        if (!CutLastLevel(given) || !CutLastLevel(expected)) return false;
    }
}

bool PathIsWithin(const wchar_t* path, const FileIdentity& folder) {
    wchar_t current[kLongPathChars];
    if (!FullPath(path, current)) return false;
    do {
        FileIdentity identity;
        if (IdentityOfPath(current, identity) && identity == folder) return true;
    } while (CutLastLevel(current));
    return false;
}

FinalPath FinalPathOfHandle(HANDLE item, wchar_t* out, size_t cchOut) {
    constexpr DWORD kVolumeNameGuid = 0x1;  // VOLUME_NAME_GUID; 0 is normalised with the drive letter
    wchar_t kernel32[kPathChars];
    if (!SystemFolderPath(L"kernel32.dll", kernel32, kPathChars)) return FinalPath::Failed;
    auto finalPath = LookUp<GetFinalPathNameByHandleFn>(GetModuleHandleW(kernel32), "GetFinalPathNameByHandleW");
    if (!finalPath) return FinalPath::Unknown;  // Windows XP
    const DWORD forms[] = {0, kVolumeNameGuid};
    for (DWORD form : forms) {
        DWORD length = finalPath(item, out, static_cast<DWORD>(cchOut), form);
        if (length > 0 && length < cchOut) return FinalPath::Found;
    }
    return FinalPath::Failed;
}

bool IsLinkItem(HANDLE item, const wchar_t* path) {
    // A folder's path with a trailing backslash would name what a link points at.
    wchar_t name[kLongPathChars];
    if (!CopyText(name, path)) return true;
    TrimTrailingBackslashes(name);
    FileIdentity identity;
    DWORD handleAttributes = 0;
    DWORD pathAttributes = GetFileAttributesW(name);
    bool reparse = (IdentityOfHandle(item, identity, &handleAttributes) &&
                    (handleAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) ||
                   (pathAttributes != INVALID_FILE_ATTRIBUTES && (pathAttributes & FILE_ATTRIBUTE_REPARSE_POINT));
    if (!reparse) return false;
    // The tag says what kind of reparse point it is; one that cannot be read
    // counts as a link.
    WIN32_FIND_DATAW found;
    CScopedFind search(FindFirstFileW(name, &found));
    if (!search || !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    return found.dwReserved0 == 0 || (found.dwReserved0 & kNameSurrogateTag) != 0;
}
