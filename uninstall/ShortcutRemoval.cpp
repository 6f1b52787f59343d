// The installation's desktop links and start-menu group.
#include "uninstall/ShortcutRemoval.h"

#include <windows.h>
#include <wchar.h>

#include "install/Shortcuts.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "uninstall/FileRemoval.h"

namespace {

// A link of ours whose target is this installation's file (by identity, so
// that a second installation nested in this folder keeps its links); the
// user's own link under our name stays.
// expected: the target below the installation folder.
void RemoveLinkInto(const wchar_t* linkFolder, const wchar_t* linkName, const wchar_t* expected,
                    const CInstallation& installation, CRemovalReport& report) {
    wchar_t linkPath[kPathChars], target[kPathChars];
    if (!FormatText(linkPath, kPathChars, L"%s%s", linkFolder, linkName)) return;
    if (GetFileAttributesW(linkPath) == INVALID_FILE_ATTRIBUTES) return;
    // The folder is the system's own: the link is taken from wherever it lies.
    FileIdentity folder;
    if (ReadShellLinkTarget(linkPath, target, kPathChars) && installation.PathIsOurs(target, expected) &&
        IdentityOfPath(linkFolder, folder))
        RemoveFileItem({linkFolder, &folder, true}, linkName, report);
}

}  // namespace

bool ExpectedLinkTarget(const wchar_t* targetFormat, wchar_t* relative, size_t cchRelative) {
    return FormatText(relative, cchRelative, targetFormat, L"");
}

void RemoveShortcuts(const CInstallation& installation, CRemovalReport& report) {
    for (int allUsers = 0; allUsers <= 1; ++allUsers) {
        wchar_t desktop[kPathChars];
        GetSpecialFolderPath(DesktopFolderCsidl(allUsers), desktop, kPathChars);
        RemoveLinkInto(desktop, kViewerDesktopLink.linkName, kViewerEntry, installation, report);
        RemoveLinkInto(desktop, kThumbnailsDesktopLink.linkName, kViewerEntry, installation, report);

        wchar_t programs[kPathChars], group[kPathChars];
        GetSpecialFolderPath(ProgramsFolderCsidl(allUsers), programs, kPathChars);
        if (!FormatText(group, kPathChars, L"%s%s\\", programs, kStartMenuGroup)) continue;
        for (const GroupEntry& entry : kGroupEntries) {
            wchar_t linkName[64], expected[kPathChars];
            GroupLinkName(entry, linkName);
            if (ExpectedLinkTarget(entry.targetFormat, expected, kPathChars))
                RemoveLinkInto(group, linkName, expected, installation, report);
        }
        // Only when empty: links of the user's, or of another installation, stay.
        FileIdentity programsFolder;
        if (IdentityOfPath(programs, programsFolder))
            RemoveFolderItem({programs, &programsFolder, true}, kStartMenuGroup, report);
    }
}
