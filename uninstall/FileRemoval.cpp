// The installation's files and folders.
#include "uninstall/FileRemoval.h"

#include <windows.h>
#include <wchar.h>

#include "install/ViewerSettings.h"
#include "platform/Text.h"
#include "uninstall/PayloadEntries.h"

const wchar_t kViewerEntry[] = L"lumi32.exe";
const wchar_t kUninstallerEntry[] = L"lu_uninstall.exe";

namespace {

const wchar_t kProgramIni[] = L"lumi32.ini";

bool IsFolderEntry(const wchar_t* entry) {
    size_t length = wcslen(entry);
    return length > 0 && entry[length - 1] == L'/';
}

bool IsProgramEntry(const wchar_t* entry) {
    return _wcsicmp(entry, kViewerEntry) == 0 || _wcsicmp(entry, kUninstallerEntry) == 0;
}

// The user's settings file that INI_Folder names, its twin and its folder
// when empty: only when purged.
void RemoveUserSettings(const wchar_t* folder, CRemovalReport& report) {
    wchar_t userIni[kPathChars];
    wchar_t twin[kPathChars];
    if (!SeparateSettingsFile(folder, userIni) || !SettingsTwinOf(userIni, twin)) return;
    RemoveFileItem(userIni, report);
    RemoveFileItem(twin, report);
    wchar_t* name = wcsrchr(userIni, L'\\');
    if (name && name - userIni > 3) {
        *name = L'\0';
        RemoveFolderIfEmpty(userIni);
    }
}

}  // namespace

bool EntryPath(const wchar_t* folder, const wchar_t* entry, wchar_t* path) {
    if (!FormatText(path, kPathChars, L"%s%s", folder, entry)) return false;
    for (wchar_t* p = path; *p != L'\0'; ++p) {
        if (*p == L'/') *p = L'\\';
    }
    return true;
}

bool RemoveFileItem(const wchar_t* path, CRemovalReport& report) {
    if (DeleteFileW(path)) return true;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    // A read-only file is still one of ours.
    DWORD attributes = GetFileAttributesW(path);
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY)) {
        if (DeleteFileW(path)) return true;
        SetFileAttributesW(path, attributes);
    }
    report.Failed(path);
    return false;
}

void RemoveFolderIfEmpty(const wchar_t* path) {
    // Fails, as wanted, on a folder that still holds anything.
    RemoveDirectoryW(path);
}

void RemoveProgramSettings(const wchar_t* folder, bool purge, CRemovalReport& report) {
    wchar_t userIni[kPathChars];
    bool separate = SeparateSettingsFile(folder, userIni);
    wchar_t programIni[kPathChars];
    wchar_t twin[kPathChars];
    if ((separate || purge) && EntryPath(folder, kProgramIni, programIni) && SettingsTwinOf(programIni, twin)) {
        RemoveFileItem(programIni, report);
        RemoveFileItem(twin, report);
    }
}

void RemoveInstalledFiles(const wchar_t* folder, bool purge, CRemovalReport& report) {
    if (purge) RemoveUserSettings(folder, report);
    for (int i = 0; i < kPayloadEntryCount; ++i) {
        const wchar_t* entry = kPayloadEntries[i];
        wchar_t path[kPathChars];
        if (IsFolderEntry(entry) || IsProgramEntry(entry) || !EntryPath(folder, entry, path)) continue;
        RemoveFileItem(path, report);
    }
    // Folders after their files, the deepest first.
    for (int i = kPayloadEntryCount - 1; i >= 0; --i) {
        wchar_t path[kPathChars];
        if (IsFolderEntry(kPayloadEntries[i]) && EntryPath(folder, kPayloadEntries[i], path)) RemoveFolderIfEmpty(path);
    }
}
