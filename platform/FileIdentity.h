// Which file or folder a path names, decided by the system rather than by its
// text: the volume serial number and file index of an opened handle. Two
// spellings of one folder (doubled separators, "." and ".." levels, short
// names, a drive letter made with subst or a mapped drive) have one identity.
#pragma once

#include <windows.h>
#include <stddef.h>

#include "platform/Scoped.h"

struct FileIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

inline bool operator==(const FileIdentity& a, const FileIdentity& b) {
    return a.volume == b.volume && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow;
}
inline bool operator!=(const FileIdentity& a, const FileIdentity& b) { return !(a == b); }

// Opens a file or folder for the given access and sharing. followLinks
// false: a junction, symbolic link or mount point is opened itself, not what
// it points at.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
HANDLE OpenItem(const wchar_t* path, DWORD access, bool followLinks, DWORD share = kShareAll);

// The identity and attributes of an open handle; false when they cannot be
// had, or when the file system gives no file index to tell items apart.
bool IdentityOfHandle(HANDLE item, FileIdentity& identity, DWORD* attributes = nullptr);

// The identity of what the path names, links followed; false when it does
// not exist or cannot be opened.
bool IdentityOfPath(const wchar_t* path, FileIdentity& identity);

// Whether two paths name the same existing file or folder.
bool SameItem(const wchar_t* a, const wchar_t* b);

// Whether a path names the item of that identity. A path whose item does
// not exist (a file already removed) still names it when its nearest
// existing folder is the expected one's and the names below agree, letter
// case aside: expectedPath says what those names are.
bool PathNamesItem(const wchar_t* path, const wchar_t* expectedPath);

// Whether the path lies in the folder of that identity or below it, level
// by level up from the path (links followed).
bool PathIsWithin(const wchar_t* path, const FileIdentity& folder);

// The path the system resolves a handle to ("\\?\C:\...", or with the volume's
// GUID where it has no drive letter). Unknown where the system cannot tell
// (Windows XP); Failed when it can, but not for this handle.
enum class FinalPath { Found, Unknown, Failed };
FinalPath FinalPathOfHandle(HANDLE item, wchar_t* out, size_t cchOut);

// Whether an item is a junction, symbolic link or mount point, by the
// attributes of its handle and of its path (Wine reports a link only there).
bool IsLinkItem(HANDLE item, const wchar_t* path);
