// The installation's files and folders.
#include "uninstall/FileRemoval.h"

#include <windows.h>
#include <wchar.h>

#include "app/InstallOptions.h"
#include "app/SystemProbes.h"
#include "install/RegistrationRows.h"
#include "install/ViewerSettings.h"
#include "platform/Folders.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "uninstall/PayloadEntries.h"

const wchar_t kViewerEntry[] = L"lumi32.exe";
const wchar_t kUninstallerEntry[] = L"lu_uninstall.exe";

namespace {

const wchar_t kProgramIni[] = L"lumi32.ini";
const wchar_t kProgramIniTwin[] = L"lumi32.ini_temp";
const wchar_t kLinkNote[] = L"%s (Verkn\u00fcpfung, nicht verfolgt)";

bool IsFolderEntry(const wchar_t* entry) {
    size_t length = wcslen(entry);
    return length > 0 && entry[length - 1] == L'/';
}

bool IsProgramEntry(const wchar_t* entry) {
    return _wcsicmp(entry, kViewerEntry) == 0 || _wcsicmp(entry, kUninstallerEntry) == 0;
}

// An archive entry name with backslashes, without the folder's trailing one.
bool RelativeName(const wchar_t* entry, wchar_t (&relative)[kPathChars]) {
    if (!CopyText(relative, entry)) return false;
    for (wchar_t* p = relative; *p != L'\0'; ++p) {
        if (*p == L'/') *p = L'\\';
    }
    size_t length = wcslen(relative);
    if (length > 0 && relative[length - 1] == L'\\') relative[length - 1] = L'\0';
    return true;
}

// Whether an item stays, reporting it: a link by its own path, once.
bool Reported(ItemRemoval result, const RemovalRoot& root, const wchar_t* relative, const wchar_t* linkPath,
              CRemovalReport& report) {
    switch (result) {
    case ItemRemoval::Removed:
    case ItemRemoval::Absent:
        return false;
    case ItemRemoval::NotEmpty:
        return true;  // files of the user: not a failure
    case ItemRemoval::Link: {
        // Named as a folder is named elsewhere in the log: without a trailing backslash.
        wchar_t link[kLongPathChars];
        CopyText(link, linkPath[0] ? linkPath : root.path);
        size_t length = wcslen(link);
        while (length > 3 && link[length - 1] == L'\\') link[--length] = L'\0';
        wchar_t item[kLongPathChars + 64];
        FormatText(item, ARRAYSIZE(item), kLinkNote, link);
        report.FailedOnce(item);
        return true;
    }
    case ItemRemoval::Failed:
        break;
    }
    wchar_t path[kLongPathChars];
    FormatText(path, kLongPathChars, L"%s%s", root.path, relative);
    report.FailedOnce(path);
    return true;
}

// The settings file another registered installation (the class "Lumidor" or
// the uninstall entry naming another folder) keeps its settings in.
bool NamedByAnotherInstallation(const CInstallation& installation, const wchar_t* settingsFile) {
    wchar_t folders[2][kPathChars] = {};
    wchar_t commandKey[kPathChars], command[2 * kPathChars];
    if (FormatText(commandKey, kPathChars, L"%s\\%s", kViewerClassKey, kOpenCommandSubkey) &&
        ReadStringValue(HKEY_LOCAL_MACHINE, commandKey, nullptr, command, ARRAYSIZE(command)))
        InstallFolderFromOpenCommand(command, folders[0], kPathChars);
    ReadStringValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation", folders[1], kPathChars);
    for (const auto& folder : folders) {
        FileIdentity identity;
        wchar_t theirs[kPathChars];
        if (folder[0] != L'\0' && IdentityOfPath(folder, identity) && identity != installation.Identity() &&
            SeparateSettingsFile(folder, theirs) && PathNamesItem(theirs, settingsFile))
            return true;
    }
    return false;
}

}  // namespace

RemovalRoot InstallationRoot(const CInstallation& installation) {
    return {installation.Folder(), &installation.Identity(), true};
}

bool RemoveFileItem(const RemovalRoot& root, const wchar_t* relative, CRemovalReport& report) {
    wchar_t linkPath[kLongPathChars] = L"";
    return !Reported(RemoveContainedFile(root, relative, linkPath), root, relative, linkPath, report);
}

bool RemoveFolderItem(const RemovalRoot& root, const wchar_t* relative, CRemovalReport& report) {
    wchar_t linkPath[kLongPathChars] = L"";
    return !Reported(RemoveContainedFolder(root, relative, linkPath), root, relative, linkPath, report);
}

void RemoveInstalledFiles(const CInstallation& installation, CRemovalReport& report) {
    RemovalRoot root = InstallationRoot(installation);
    for (int i = 0; i < kPayloadEntryCount; ++i) {
        const wchar_t* entry = kPayloadEntries[i];
        wchar_t relative[kPathChars];
        if (IsFolderEntry(entry) || IsProgramEntry(entry) || !RelativeName(entry, relative)) continue;
        RemoveFileItem(root, relative, report);
    }
    // Folders after their files, the deepest first.
    for (int i = kPayloadEntryCount - 1; i >= 0; --i) {
        wchar_t relative[kPathChars];
        if (IsFolderEntry(kPayloadEntries[i]) && RelativeName(kPayloadEntries[i], relative))
            RemoveFolderItem(root, relative, report);
    }
}

void RemoveUserSettings(const CInstallation& installation, CRemovalReport& report) {
    wchar_t settingsFile[kPathChars];
    if (!SeparateSettingsFile(installation.Folder(), settingsFile) ||
        NamedByAnotherInstallation(installation, settingsFile))
        return;
    const wchar_t* fileName = wcsrchr(settingsFile, L'\\');
    if (!fileName) return;
    ++fileName;
    wchar_t settingsFolder[kPathChars];
    wmemcpy(settingsFolder, settingsFile, fileName - settingsFile);
    settingsFolder[fileName - settingsFile] = L'\0';
    wchar_t twin[kPathChars];
    FileIdentity identity;
    if (!FormatText(twin, kPathChars, L"%s_temp", fileName) || !IdentityOfPath(settingsFolder, identity)) return;
    // INI_Folder is only a hint: users may write the program folder's file
    // where the installation lies outside the program-files folder. Files are
    // taken only from the settings folder the record names, or from the
    // removing user's own, and never through a link.
    const CInstallRecord& record = installation.Record();
    wchar_t usersOwn[kPathChars];
    bool recorded = record.SettingsFolder()[0] != L'\0' && PathNamesItem(record.SettingsFolder(), settingsFolder);
    if (!recorded && !(ExpandIniFolder(kDefaultIniFolder, usersOwn, kPathChars) && SameItem(usersOwn, settingsFolder)))
        return;
    RemovalRoot root = {settingsFolder, &identity, false};
    bool fileGone = RemoveFileItem(root, fileName, report);
    bool twinGone = RemoveFileItem(root, twin, report);
    // Only a folder this installation made, and never a drive's root.
    wchar_t parent[kPathChars];
    if (fileGone && twinGone && recorded && record.SettingsFolderCreated() && CopyText(parent, settingsFolder) &&
        CutLastLevel(parent))
        RemoveFolderItem(root, L"", report);
}

void RemoveProgramSettings(const CInstallation& installation, bool purge, CRemovalReport& report) {
    wchar_t settingsFile[kPathChars];
    if (!purge && !SeparateSettingsFile(installation.Folder(), settingsFile)) return;
    RemovalRoot root = InstallationRoot(installation);
    RemoveFileItem(root, kProgramIni, report);
    RemoveFileItem(root, kProgramIniTwin, report);
}
