// Deleting files and empty folders that lie in a given folder, and nowhere
// else.
//
// The uninstaller runs elevated or as SYSTEM, while a folder outside the
// program-files folder (C:\Lumidor) is writable by ordinary users. Deleting
// by path would follow a junction or symbolic link planted there and delete
// files of the same names somewhere else. So every item is reached level by
// level from the root, and each level and the item itself are opened as
// handles that do not follow links (FILE_FLAG_OPEN_REPARSE_POINT):
//  - a level or item that is a reparse point naming another place (a
//    junction, symbolic link or mount point) is left alone and reported;
//  - each level stays open, without delete sharing, until the item is gone,
//    so nobody can rename it or put a link in its place meanwhile;
//  - where the system can tell (Vista and later), the item's final path must
//    lie in the level held above it, compared by identity: that catches what
//    the attributes do not show (a file linked elsewhere under Wine, a level
//    swapped before it was opened);
//  - the item is deleted through its own handle (a delete disposition set
//    with NtSetInformationFile, present on every NT), never by path, so what
//    is deleted is what was checked.
#include "uninstall/ContainedRemoval.h"

#include <wchar.h>

#include "platform/Scoped.h"
#include "platform/Text.h"

namespace {

constexpr size_t kLongPathChars = kContainedPathChars;
constexpr DWORD kLevelAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr DWORD kItemAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;

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
constexpr int kFileBasicInformationClass = 4;
constexpr int kFileDispositionInformationClass = 13;
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
// path; true where the system cannot tell (the levels were checked anyway).
bool LiesIn(HANDLE item, const FileIdentity& folder) {
    wchar_t finalPath[kLongPathChars];
    if (!FinalPathOfHandle(item, finalPath, kLongPathChars)) return true;
    wchar_t* name = wcsrchr(finalPath, L'\\');
    if (!name) return false;
    name[1] = L'\0';
    FileIdentity parent;
    return IdentityOfPath(finalPath, parent) && parent == folder;
}

// What OpenChecked returns for an item it opened and found in its place.
constexpr ItemRemoval kOpened = ItemRemoval::Removed;

// Opens path without following links, checks that it is no link and that it
// lies in parent (when given): kOpened, Absent, Link or Failed.
ItemRemoval OpenChecked(const wchar_t* path, DWORD access, bool shareDelete, const COpenedItem* parent,
                        COpenedItem& item) {
    if (!CopyText(item.path, path)) return ItemRemoval::Failed;
    item.handle.reset(OpenItem(path, access, false, shareDelete));
    if (!item.handle) return IsMissing(GetLastError()) ? ItemRemoval::Absent : ItemRemoval::Failed;
    if (!IdentityOfHandle(item.handle.get(), item.identity, &item.attributes)) return ItemRemoval::Failed;
    if (IsLinkItem(item.handle.get(), path)) return ItemRemoval::Link;
    if (parent && !LiesIn(item.handle.get(), parent->identity)) return ItemRemoval::Link;
    return kOpened;
}

// Holds the root and every level of relative but its last, and leaves the
// last level's full path in itemPath; kOpened once every level is held.
class CLevelChain {
public:
    ItemRemoval Open(const RemovalRoot& root, const wchar_t* relative, wchar_t (&itemPath)[kLongPathChars]) {
        ItemRemoval opened = OpenChecked(root.path, kLevelAccess, false, nullptr, levels_[0]);
        if (opened != kOpened) return opened;
        // The root itself swapped for another folder is as good as a link.
        if (root.identity && levels_[0].identity != *root.identity) return ItemRemoval::Link;
        if (!(levels_[0].attributes & FILE_ATTRIBUTE_DIRECTORY)) return ItemRemoval::Absent;
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
            opened = OpenChecked(itemPath, kLevelAccess, false, &levels_[count_ - 1], level);
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

// Deletes an opened item through its handle; a read-only file loses the
// attribute first, and gets it back when it stays.
ItemRemoval DeleteOpened(COpenedItem& item) {
    ULONG readOnly = item.attributes & FILE_ATTRIBUTE_READONLY;
    if (readOnly) {
        FileBasicInformation basic = {};
        basic.attributes = (item.attributes & ~FILE_ATTRIBUTE_READONLY) ? (item.attributes & ~FILE_ATTRIBUTE_READONLY)
                                                                        : FILE_ATTRIBUTE_NORMAL;
        if (SetInformation(item.handle.get(), &basic, sizeof(basic), kFileBasicInformationClass) < 0)
            return ItemRemoval::Failed;
    }
    FileDispositionInformation disposition = {TRUE};
    LONG status = SetInformation(item.handle.get(), &disposition, sizeof(disposition), kFileDispositionInformationClass);
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
    // A folder is shared for reading and writing only, as the levels are.
    opened = OpenChecked(itemPath, kItemAccess, !folder, &chain.Innermost(), item);
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
    // The root itself: opened as its own item, checked as the root is.
    COpenedItem item;
    ItemRemoval opened = OpenChecked(root.path, kItemAccess, false, nullptr, item);
    if (opened != kOpened) return Stopped(opened, root.path, linkPath);
    if (root.identity && item.identity != *root.identity) return Stopped(ItemRemoval::Link, root.path, linkPath);
    if (!(item.attributes & FILE_ATTRIBUTE_DIRECTORY)) return ItemRemoval::Absent;
    return DeleteOpened(item);
}
