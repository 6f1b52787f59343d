// The removal of one installation.
#include "uninstall/Removal.h"

#include <windows.h>

#include "platform/Text.h"
#include "uninstall/FileRemoval.h"
#include "uninstall/RegistryRemoval.h"
#include "uninstall/ShortcutRemoval.h"

bool IsInstallation(const wchar_t* folder) {
    wchar_t viewer[kPathChars];
    if (!EntryPath(folder, kViewerEntry, viewer)) return false;
    DWORD attributes = GetFileAttributesW(viewer);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveInstallation(const wchar_t* folder, bool purge, CRemovalReport& report) {
    RemoveShortcuts(folder, report);
    RemoveRegistration(folder, report);
    RemoveInstalledFiles(folder, purge, report);
    if (!report.Clean()) return;

    RemoveProgramSettings(folder, purge, report);
    wchar_t viewer[kPathChars];
    if (report.Clean() && EntryPath(folder, kViewerEntry, viewer) && RemoveFileItem(viewer, report))
        RemoveUninstallEntry(folder, report);
}
