// The removal of one installation.
#include "uninstall/Removal.h"

#include <windows.h>
#include <wchar.h>

#include "platform/Text.h"
#include "uninstall/FileRemoval.h"
#include "uninstall/PayloadEntries.h"
#include "uninstall/RegistryRemoval.h"
#include "uninstall/ShortcutRemoval.h"

namespace {

// Each payload file but the uninstaller's own that is still there.
void ReportFilesLeft(const CInstallation& installation, CRemovalReport& report) {
    for (int i = 0; i < kPayloadEntryCount; ++i) {
        const wchar_t* entry = kPayloadEntries[i];
        size_t length = wcslen(entry);
        wchar_t path[kPathChars];
        if (length == 0 || entry[length - 1] == L'/' || _wcsicmp(entry, kUninstallerEntry) == 0 ||
            !FormatText(path, kPathChars, L"%s%s", installation.Folder(), entry))
            continue;
        for (wchar_t* p = path; *p != L'\0'; ++p) {
            if (*p == L'/') *p = L'\\';
        }
        if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) report.FailedOnce(path);
    }
}

}  // namespace

void RemoveInstallation(const CInstallation& installation, bool purge, CRemovalReport& report) {
    RemoveShortcuts(installation, report);
    RemoveRegistration(installation, purge, report);
    RemoveInstalledFiles(installation, report);
    if (purge) RemoveUserSettings(installation, report);
    if (!report.Clean()) return;

    RemoveProgramSettings(installation, purge, report);
    if (!report.Clean() || !RemoveFileItem(InstallationRoot(installation), kViewerEntry, report)) return;
    RemoveLastRegistration(installation, purge, report);

    // Nothing the removal should take may be left when it says so.
    if (!report.Clean()) return;
    ReportRegistrationLeft(installation, report);
    ReportFilesLeft(installation, report);
}
