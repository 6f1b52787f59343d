// Folder texts: trimming, and making sure a folder exists with every level.
#include "platform/Folders.h"

#include <windows.h>
#include <wchar.h>

#include "platform/Text.h"

void TrimSpaces(wchar_t* text) {
    size_t length = wcslen(text);
    while (length > 0 && text[length - 1] == L' ') text[--length] = L'\0';
    if (length > 0 && text[0] == L' ' && length < kPathChars) {
        size_t skip = 0;
        while (text[skip] == L' ') ++skip;
        wmemmove(text, text + skip, length - skip + 1);
    }
}

namespace {

// Enters folder and goes back; true when it could be entered.
bool CanEnter(const wchar_t* folder) {
    wchar_t previous[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(MAX_PATH, previous);
    bool entered = SetCurrentDirectoryW(folder) != 0;
    if (entered && length > 0 && length < MAX_PATH) SetCurrentDirectoryW(previous);
    return entered;
}

}  // namespace

int EnsureFolder(wchar_t* text, size_t cchText) {
    if (cchText < kPathChars || text[0] == L'\0') return 0;
    TrimSpaces(text);
    size_t length = wcslen(text);
    if (length == 0) return 0;
    if (length <= kPathChars - 2 && text[length - 1] != L'\\') {
        text[length++] = L'\\';
        text[length] = L'\0';
    }
    if (CanEnter(text)) return 1;

    // Rebuild level by level over the first 259 characters, creating each
    // level as its backslash is reached; a failure (the drive, an existing
    // level) is ignored.
    wchar_t rebuilt[kPathChars];
    size_t built = 0;
    size_t i = 0;
    if (text[0] == L'\\' && text[1] == L'\\') {
        rebuilt[built++] = L'\\';
        rebuilt[built++] = L'\\';
        i = 2;
    }
    rebuilt[built] = L'\0';
    for (; text[i] != L'\0' && i < kPathChars - 1 && built < kPathChars - 1; ++i) {
        if (text[i] == L'\\') {
            TrimSpaces(rebuilt);
            CreateDirectoryW(rebuilt, nullptr);
            built = wcslen(rebuilt);
        }
        rebuilt[built++] = text[i];
        rebuilt[built] = L'\0';
    }
    CopyText(text, cchText, rebuilt);
    return CanEnter(text) ? 1 : 0;
}

bool CanonicalFolder(wchar_t* text, size_t cchText) {
    wchar_t full[kLongPathChars];
    DWORD length = GetFullPathNameW(text, kLongPathChars, full, nullptr);
    if (length == 0 || length >= kLongPathChars) return false;
    wchar_t longForm[kLongPathChars];
    length = GetLongPathNameW(full, longForm, kLongPathChars);
    if (length == 0 || length >= kLongPathChars) CopyText(longForm, full);  // a folder not there (yet)
    if (!EndsWithBackslash(longForm) && !AppendText(longForm, L"\\")) return false;
    if (wcslen(longForm) >= cchText) return false;
    return CopyText(text, cchText, longForm);
}

namespace {

// Length of a full path's root: "C:\" or "\\server\share\" ("\\?\C:\" too).
size_t RootLength(const wchar_t* path) {
    if (path[0] != L'\\' || path[1] != L'\\') return path[0] != L'\0' && path[1] == L':' ? 3 : 0;
    size_t separators = 0;
    size_t i = 0;
    for (; path[i] != L'\0' && separators < 4; ++i) separators += path[i] == L'\\';
    return i;
}

}  // namespace

void TrimTrailingBackslashes(wchar_t* path) {
    size_t length = wcslen(path);
    while (length > 3 && path[length - 1] == L'\\') path[--length] = L'\0';
}

bool CutLastLevel(wchar_t* path) {
    size_t root = RootLength(path);
    size_t length = wcslen(path);
    while (length > root && path[length - 1] == L'\\') --length;
    if (length <= root) return false;
    while (length > root && path[length - 1] != L'\\') --length;
    path[length] = L'\0';
    return true;
}
