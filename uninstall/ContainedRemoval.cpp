// Deleting files and empty folders that lie in a given folder, and nowhere
// else.
//
// The uninstaller runs elevated or as SYSTEM, while a folder outside the
// program-files folder (C:\Lumidor) is writable by ordinary users. Deleting
// by path would follow a junction or symbolic link planted there and delete
// files of the same names somewhere else. So every item is reached level by
// level from the root, and each level and the item itself are opened as
// handles that do not follow links (FILE_FLAG_OPEN_REPARSE_POINT):
//  - the root is the folder found before, by identity, where that is known
//    (and, where so asked, no link itself);
//  - a level or item below it that is a reparse point naming another place
//    (a junction, symbolic link or mount point) is left alone and reported;
//  - each level stays open, shared for reading only, until the item is gone,
//    so nobody can rename it, or empty it and make it a link, meanwhile;
//  - where the system can tell (Vista and later), the item's final path must
//    lie in the level held above it, compared by identity: that catches what
//    the attributes do not show (a file linked elsewhere under Wine, a level
//    swapped before it was opened);
//  - the item is deleted through its own handle (a delete disposition set
//    with NtSetInformationFile, present on every NT), never by path, so what
//    is deleted is what was checked. Where the system knows POSIX semantics
//    (Windows 10) the name goes at once, even while another program (an
//    indexer, a virus scanner) still has the file open.
#include "uninstall/ContainedRemoval.h"

#include <wchar.h>

#include "platform/Folders.h"
#include "platform/Scoped.h"

namespace {

constexpr DWORD kLevelAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr DWORD kItemAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
constexpr DWORD kShareRead = FILE_SHARE_READ;

// The native call and its records (winternl.h has no complete form of them).
struct IoStatusBlock {
    union {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};
struct FileBasicInformation {
    LARGE_INTEGER creationTime, lastAccessTime, lastWriteTime, changeTime;  // 0: unchanged
    ULONG attributes;                                                      // 0: unchanged
};
struct FileDispositionInformation {
    BOOLEAN deleteFile;
};
struct FileDispositionInformationEx {
    ULONG flags;
};
constexpr int kFileBasicInformationClass = 4;
constexpr int kFileDispositionInformationClass = 13;
constexpr int kFileDispositionInformationExClass = 64;  // Windows 10 1607 and later
constexpr ULONG kDispositionDelete = 0x1, kDispositionPosixSemantics = 0x2, kDispositionIgnoreReadOnly = 0x10;
constexpr LONG kStatusDirectoryNotEmpty = static_cast<LONG>(0xC0000101);
using NtSetInformationFileFn = LONG(NTAPI*)(HANDLE, IoStatusBlock*, void*, ULONG, int);

LONG SetInformation(HANDLE item, void* information, ULONG bytes, int informationClass) {
    auto setInformation = reinterpret_cast<NtSetInformationFileFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetInformationFile")));
    if (!setInformation) return static_cast<LONG>(0xC0000002);  // STATUS_NOT_IMPLEMENTED
    IoStatusBlock status = {};
    return setInformation(item, &status, information, bytes, informationClass);
}

bool IsMissing(DWORD lastError) { return lastError == ERROR_FILE_NOT_FOUND || lastError == ERROR_PATH_NOT_FOUND; }

// One opened level or item, and what it is.
struct COpenedItem {
    CScopedFile handle;
    FileIdentity identity = {};
    DWORD attributes = 0;
    wchar_t path[kLongPathChars] = L"";
};

// Whether an opened item lies in the folder of that identity by its final
// path; where the system cannot tell (XP) the held levels are what counts.
bool LiesIn(HANDLE item, const FileIdentity& folder) {
    wchar_t finalPath[kLongPathChars];
    FinalPath found = FinalPathOfHandle(item, finalPath, kLongPathChars);
    if (found != FinalPath::Found) return found == FinalPath::Unknown;
    FileIdentity parent;
    return CutLastLevel(finalPath) && IdentityOfPath(finalPath, parent) && parent == folder;
}

// What OpenChecked returns for an item it opened and found in its place.
constexpr ItemRemoval kOpened = ItemRemoval::Removed;

// Opens path without following links, checks that it is no link and that it
// lies in parent: kOpened, Absent, Link or Failed.
ItemRemoval OpenChecked(const wchar_t* path, DWORD access, DWORD share, const COpenedItem& parent,
                        COpenedItem& item) {
    if (!CopyText(item.path, path)) return ItemRemoval::Failed;
    item.handle.reset(OpenItem(path, access, false, share));
    if (!item.handle) return IsMissing(GetLastError()) ? ItemRemoval::Absent : ItemRemoval::Failed;
    if (!IdentityOfHandle(item.handle.get(), item.identity, &item.attributes)) return ItemRemoval::Failed;
    if (IsLinkItem(item.handle.get(), path) || !LiesIn(item.handle.get(), parent.identity)) return ItemRemoval::Link;
    return kOpened;
}

// Opens the root: the folder of the expected identity, where one is given,
// and no link itself unless it may be one.
ItemRemoval OpenRoot(const RemovalRoot& root, DWORD access, DWORD share, COpenedItem& item) {
    bool followLink = root.identity && root.mayBeLink;
    if (!CopyText(item.path, root.path)) return ItemRemoval::Failed;
    item.handle.reset(OpenItem(root.path, access, followLink, share));
    if (!item.handle) return IsMissing(GetLastError()) ? ItemRemoval::Absent : ItemRemoval::Failed;
    if (!IdentityOfHandle(item.handle.get(), item.identity, &item.attributes)) return ItemRemoval::Failed;
    if ((root.identity && item.identity != *root.identity) || (!followLink && IsLinkItem(item.handle.get(), root.path)))
        return ItemRemoval::Link;
    return (item.attributes & FILE_ATTRIBUTE_DIRECTORY) ? kOpened : ItemRemoval::Absent;
}

// Holds the root and every level of relative but its last, and leaves the
// last level's full path in itemPath; kOpened once every level is held.
class CLevelChain {
public:
    ItemRemoval Open(const RemovalRoot& root, const wchar_t* relative, wchar_t (&itemPath)[kLongPathChars]) {
        ItemRemoval opened = OpenRoot(root, kLevelAccess, kShareRead, levels_[0]);
        if (opened != kOpened) return opened;
        count_ = 1;

        if (!CopyText(itemPath, root.path)) return ItemRemoval::Failed;
        const wchar_t* name = relative;
        for (;;) {
            const wchar_t* end = wcschr(name, L'\\');
            if (!end) break;  // the last level: the item itself
            if (count_ == kMaxLevels) return ItemRemoval::Failed;
            size_t used = wcslen(itemPath);
            size_t length = static_cast<size_t>(end - name);
            if (used + length + 2 > kLongPathChars) return ItemRemoval::Failed;
            wmemcpy(itemPath + used, name, length + 1);  // with the backslash
            itemPath[used + length + 1] = L'\0';
            COpenedItem& level = levels_[count_];
            opened = OpenChecked(itemPath, kLevelAccess, kShareRead, levels_[count_ - 1], level);
            if (opened != kOpened) return opened;
            if (!(level.attributes & FILE_ATTRIBUTE_DIRECTORY)) return ItemRemoval::Absent;
            ++count_;
            name = end + 1;
        }
        return AppendText(itemPath, name) ? kOpened : ItemRemoval::Failed;
    }

    const COpenedItem& Innermost() const { return levels_[count_ - 1]; }
    // The level that was being opened when Open stopped.
    const wchar_t* LastTried() const { return levels_[count_ < kMaxLevels ? count_ : kMaxLevels - 1].path; }

private:
    static constexpr int kMaxLevels = 8;
    COpenedItem levels_[kMaxLevels];
    int count_ = 0;
};

// Deletes an opened item through its handle: with POSIX semantics and
// regardless of the read-only attribute where the system knows how;
// elsewhere a read-only file loses the attribute first, and gets it back
// when it stays.
ItemRemoval DeleteOpened(COpenedItem& item) {
    FileDispositionInformationEx dispositionEx = {kDispositionDelete | kDispositionPosixSemantics |
                                                  kDispositionIgnoreReadOnly};
    LONG status =
        SetInformation(item.handle.get(), &dispositionEx, sizeof(dispositionEx), kFileDispositionInformationExClass);
    if (status >= 0) return ItemRemoval::Removed;
    if (status == kStatusDirectoryNotEmpty) return ItemRemoval::NotEmpty;

    ULONG readOnly = item.attributes & FILE_ATTRIBUTE_READONLY;
    if (readOnly) {
        FileBasicInformation basic = {};
        ULONG cleared = item.attributes & ~FILE_ATTRIBUTE_READONLY;
        basic.attributes = cleared ? cleared : FILE_ATTRIBUTE_NORMAL;
        if (SetInformation(item.handle.get(), &basic, sizeof(basic), kFileBasicInformationClass) < 0)
            return ItemRemoval::Failed;
    }
    FileDispositionInformation disposition = {TRUE};
    status = SetInformation(item.handle.get(), &disposition, sizeof(disposition), kFileDispositionInformationClass);
    if (status >= 0) return ItemRemoval::Removed;
    if (readOnly) {
        FileBasicInformation basic = {};
        basic.attributes = item.attributes;
        SetInformation(item.handle.get(), &basic, sizeof(basic), kFileBasicInformationClass);
    }
    return status == kStatusDirectoryNotEmpty ? ItemRemoval::NotEmpty : ItemRemoval::Failed;
}

// Names the link in linkPath, when given.
ItemRemoval Stopped(ItemRemoval result, const wchar_t* path, wchar_t* linkPath) {
    if (result == ItemRemoval::Link && linkPath) CopyText(linkPath, kLongPathChars, path);
    return result;
}

ItemRemoval RemoveContained(const RemovalRoot& root, const wchar_t* relative, bool folder, wchar_t* linkPath) {
    CLevelChain chain;
    wchar_t itemPath[kLongPathChars];
    ItemRemoval opened = chain.Open(root, relative, itemPath);
    if (opened != kOpened) return Stopped(opened, chain.LastTried(), linkPath);

    COpenedItem item;
    // A folder is shared for reading only, as the levels are.
    opened = OpenChecked(itemPath, kItemAccess, folder ? kShareRead : kShareAll, chain.Innermost(), item);
    if (opened != kOpened) return Stopped(opened, itemPath, linkPath);
    if (((item.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder) return ItemRemoval::Absent;
    return DeleteOpened(item);
}

}  // namespace

ItemRemoval RemoveContainedFile(const RemovalRoot& root, const wchar_t* relative, wchar_t* linkPath) {
    if (relative[0] == L'\0') return ItemRemoval::Absent;
    return RemoveContained(root, relative, false, linkPath);
}

ItemRemoval RemoveContainedFolder(const RemovalRoot& root, const wchar_t* relative, wchar_t* linkPath) {
    if (relative[0] != L'\0') {
        // A trailing backslash names the same folder.
        wchar_t trimmed[kLongPathChars];
        if (!CopyText(trimmed, relative)) return ItemRemoval::Failed;
        size_t length = wcslen(trimmed);
        while (length > 0 && trimmed[length - 1] == L'\\') trimmed[--length] = L'\0';
        return RemoveContained(root, trimmed, true, linkPath);
    }
    // The root itself, checked as a root is.
    COpenedItem item;
    ItemRemoval opened = OpenRoot(root, kItemAccess, kShareRead, item);
    if (opened != kOpened) return Stopped(opened, root.path, linkPath);
    return DeleteOpened(item);
}
