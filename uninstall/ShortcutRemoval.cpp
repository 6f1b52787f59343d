// The installation's desktop links and start-menu group.
#include "uninstall/ShortcutRemoval.h"

#include <windows.h>
#include <wchar.h>

#include "install/Shortcuts.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "uninstall/FileRemoval.h"

namespace {

// A link of ours that still starts something of this installation; a link
// of another installation, or the user's own under our name, stays.
void RemoveLinkInto(const wchar_t* linkFolder, const wchar_t* linkName, const wchar_t* folder,
                    CRemovalReport& report) {
    wchar_t linkPath[kPathChars];
    if (!FormatText(linkPath, kPathChars, L"%s%s", linkFolder, linkName)) return;
    if (GetFileAttributesW(linkPath) == INVALID_FILE_ATTRIBUTES) return;
    wchar_t target[kPathChars];
    if (ReadShellLinkTarget(linkPath, target, kPathChars) && PathIsInFolder(target, folder))
        RemoveFileItem(linkPath, report);
}

}  // namespace

bool PathIsInFolder(const wchar_t* path, const wchar_t* folder) {
    // Collapse doubled separators ("Lumidor\\help"), as the shell does.
    wchar_t normal[kPathChars];
    size_t used = 0;
    for (const wchar_t* p = path; *p != L'\0' && used + 1 < kPathChars; ++p) {
        wchar_t c = *p == L'/' ? L'\\' : *p;
        if (c == L'\\' && used > 1 && normal[used - 1] == L'\\') continue;
        normal[used++] = c;
    }
    normal[used] = L'\0';
    size_t folderLength = wcslen(folder);
    return folderLength > 0 && used > folderLength && _wcsnicmp(normal, folder, folderLength) == 0;
}

void RemoveShortcuts(const wchar_t* folder, CRemovalReport& report) {
    for (int allUsers = 0; allUsers <= 1; ++allUsers) {
        wchar_t desktop[kPathChars];
        GetSpecialFolderPath(DesktopFolderCsidl(allUsers), desktop, kPathChars);
        RemoveLinkInto(desktop, kViewerDesktopLink.linkName, folder, report);
        RemoveLinkInto(desktop, kThumbnailsDesktopLink.linkName, folder, report);

        wchar_t group[kPathChars];
        GetSpecialFolderPath(ProgramsFolderCsidl(allUsers), group, kPathChars);
        if (!AppendText(group, kStartMenuGroup) || !AppendText(group, L"\\")) continue;
        for (const GroupEntry& entry : kGroupEntries) {
            wchar_t linkName[64];
            GroupLinkName(entry, linkName);
            RemoveLinkInto(group, linkName, folder, report);
        }
        RemoveFolderIfEmpty(group);
    }
}
