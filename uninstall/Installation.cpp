// The installation a removal works on.
#include "uninstall/Installation.h"

#include <windows.h>

#include "app/SystemProbes.h"
#include "install/RegistrationRows.h"
#include "platform/Folders.h"
#include "platform/Registry.h"

namespace {

constexpr size_t kCommandChars = 520;
const wchar_t kViewerExeName[] = L"lumi32.exe";

}  // namespace

bool ViewerIsIn(const wchar_t* folder) {
    wchar_t viewer[kPathChars];
    if (!FormatText(viewer, kPathChars, L"%slumi32.exe", folder)) return false;
    DWORD attributes = GetFileAttributesW(viewer);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CInstallation::NamesThisFolder(const wchar_t* text, wchar_t (&folder)[kPathChars]) const {
    FileIdentity identity;
    return text[0] != L'\0' && CopyText(folder, text) && IdentityOfPath(folder, identity) && identity == identity_ &&
           CanonicalFolder(folder, kPathChars);
}

bool CInstallation::CommandIsOurs(const wchar_t* command) const {
    // The program the command starts (up to the next quote, as the folder is
    // read) must be lumi32.exe, in any letter case.
    const wchar_t* program = command[0] == L'"' ? command + 1 : command;
    const wchar_t* quote = wcschr(program, L'"');
    size_t length = quote ? static_cast<size_t>(quote - program) : wcslen(program);
    while (length > 0 && program[length - 1] == L' ') --length;
    size_t nameLength = wcslen(kViewerExeName);
    if (length <= nameLength || _wcsnicmp(program + length - nameLength, kViewerExeName, nameLength) != 0) return false;
    wchar_t separator = program[length - nameLength - 1];
    if (separator != L'\\' && separator != L'/') return false;
    wchar_t commandFolder[kPathChars];
    FileIdentity identity;
    return InstallFolderFromOpenCommand(command, commandFolder, kPathChars) &&
           IdentityOfPath(commandFolder, identity) && identity == identity_;
}

bool CInstallation::PathIsOurs(const wchar_t* path, const wchar_t* expected) const {
    wchar_t expectedPath[kPathChars];
    return FormatText(expectedPath, kPathChars, L"%s%s", folder_, expected) && PathNamesItem(path, expectedPath);
}

bool CInstallation::Find(const wchar_t* ownFolder) {
    CurrentUserSid(userSid_, ARRAYSIZE(userSid_));
    if (!IdentityOfPath(ownFolder, identity_)) return false;

    // The registered text names the folder the way the setup program
    // recorded it: a drive letter made with subst, a short name or another
    // spelling the uninstaller was started through is the same folder.
    wchar_t named[kPathChars];
    wchar_t location[kPathChars];
    if (ReadStringValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation", location, kPathChars) &&
        NamesThisFolder(location, named)) {
        registered_ = true;
        CopyText(folder_, named);
    }
    recordIsOurs_ = record_.Load() && NamesThisFolder(record_.Folder(), named);
    if (recordIsOurs_ && folder_[0] == L'\0') CopyText(folder_, named);

    wchar_t commandKey[kPathChars];
    wchar_t command[kCommandChars];
    if (FormatText(commandKey, kPathChars, L"%s\\%s", kViewerClassKey, kOpenCommandSubkey) &&
        ReadStringValue(HKEY_LOCAL_MACHINE, commandKey, nullptr, command, kCommandChars) && CommandIsOurs(command)) {
        ownsSharedItems_ = true;
        wchar_t commandFolder[kPathChars];
        if (folder_[0] == L'\0' && InstallFolderFromOpenCommand(command, commandFolder, kPathChars) &&
            NamesThisFolder(commandFolder, named))
            CopyText(folder_, named);
    }
    if (folder_[0] == L'\0' && (!CopyText(folder_, ownFolder) || !CanonicalFolder(folder_, kPathChars))) return false;
    // Without the class (a registry cleaner, a partial removal by hand) the
    // shared items are still this installation's while nothing else claims them.
    if (!ownsSharedItems_ && (registered_ || recordIsOurs_)) {
        CScopedKey viewerClass;
        ownsSharedItems_ = IsMissingKey(OpenKey(HKEY_LOCAL_MACHINE, kViewerClassKey, KEY_QUERY_VALUE, viewerClass));
    }
    return ViewerIsIn(folder_) || registered_ || recordIsOurs_ || ownsSharedItems_;
}

int CInstallation::CreatedParentLevels() const {
    const CTextList& created = Record().CreatedFolders();
    wchar_t level[kPathChars];
    if (!CopyText(level, folder_)) return 0;
    int levels = 0;
    while (CutLastLevel(level)) {
        bool listed = false;
        for (const wchar_t* p = created.First(); p && !listed; p = created.Next(p)) listed = SameItem(p, level);
        if (!listed) break;
        ++levels;
    }
    return levels;
}
