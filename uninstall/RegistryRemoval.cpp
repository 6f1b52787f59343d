// The installation's registry entries.
#include "uninstall/RegistryRemoval.h"

#include <windows.h>
#include <shlobj.h>
#include <wchar.h>

#include "app/SystemProbes.h"
#include "assoc/AssociationKeys.h"
#include "assoc/FormatCatalogue.h"
#include "install/RegistrationRows.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Text.h"

namespace {

constexpr size_t kKeyChars = 520;
constexpr UINT kReloadSystemIcons = 0x58;  // SPI_SETICONS
constexpr UINT kFlushNoWait = 0x3000;      // SHCNF_FLUSHNOWAIT

void DeleteTreeOrReport(HKEY root, const wchar_t* path, CRemovalReport& report) {
    if (DeleteKeyTree(root, path) != ERROR_SUCCESS) report.FailedKey(root, path);
}

void DeleteValueOrReport(HKEY root, const wchar_t* path, const wchar_t* name, CRemovalReport& report) {
    if (DeleteValue(root, path, name) != ERROR_SUCCESS) report.FailedKey(root, path, name ? name : L"");
}

// A key the installation created goes once nothing of anyone else is left.
void DeleteKeyIfEmpty(HKEY root, const wchar_t* path) {
    if (IsKeyEmpty(root, path)) DeleteKey(root, path);
}

bool KeyCommandNamesFolder(HKEY root, const wchar_t* key, const wchar_t* commandSubkey, const wchar_t* folder) {
    wchar_t commandKey[kKeyChars];
    wchar_t command[kKeyChars];
    return FormatText(commandKey, kKeyChars, L"%s\\%s", key, commandSubkey) &&
           ReadStringValue(root, commandKey, nullptr, command, kKeyChars) && CommandNamesFolder(command, folder);
}

// A key whose open command starts this installation's viewer, with all below it.
void RemoveOwnedKey(HKEY root, const wchar_t* key, const wchar_t* commandSubkey, const wchar_t* folder,
                    CRemovalReport& report) {
    if (KeyCommandNamesFolder(root, key, commandSubkey, folder)) DeleteTreeOrReport(root, key, report);
}

// A string value naming one of the viewer's classes.
bool NamesViewerClass(HKEY root, const wchar_t* path, const wchar_t* name) {
    wchar_t progId[kKeyChars];
    return ReadStringValue(root, path, name, progId, kKeyChars) && IsViewerProgId(progId);
}

// What one extension got: the machine default class, the user's Explorer
// choice of the XP family and of Vista and later.
void RemoveExtensionAssociation(const wchar_t* extension, CRemovalReport& report) {
    wchar_t key[kKeyChars];
    if (ExtensionKeyFor(extension, key, kKeyChars) && NamesViewerClass(HKEY_LOCAL_MACHINE, key, nullptr)) {
        DeleteValueOrReport(HKEY_LOCAL_MACHINE, key, nullptr, report);
        DeleteKeyIfEmpty(HKEY_LOCAL_MACHINE, key);
    }
    wchar_t userKey[kKeyChars];
    if (!FormatText(userKey, kKeyChars, kExplorerExtensionKeyFormat, extension)) return;
    if (NamesViewerClass(HKEY_CURRENT_USER, userKey, kExplorerProgIdValue))
        DeleteValueOrReport(HKEY_CURRENT_USER, userKey, kExplorerProgIdValue, report);
    if (FormatText(key, kKeyChars, kUserChoiceKeyFormat, extension) &&
        NamesViewerClass(HKEY_CURRENT_USER, key, kUserChoiceProgIdValue))
        DeleteTreeOrReport(HKEY_CURRENT_USER, key, report);
    DeleteKeyIfEmpty(HKEY_CURRENT_USER, userKey);
}

// Items that name no folder: they belong to the installation the class
// "Lumidor" points at.
void RemoveSharedAssociations(CRemovalReport& report) {
    for (const FormatRow& row : kFormatCatalogue) {
        for (int i = 0; i < row.ExtensionCount(); ++i) RemoveExtensionAssociation(row.extensions[i].extension, report);
    }
    for (const wchar_t* appClass : kBuiltInAppClasses) {
        wchar_t value[2];
        if (!ReadStringValue(HKEY_CURRENT_USER, appClass, kNoOpenWithValue, value, 2)) continue;
        DeleteValueOrReport(HKEY_CURRENT_USER, appClass, kNoOpenWithValue, report);
        DeleteKeyIfEmpty(HKEY_CURRENT_USER, appClass);
    }
    wchar_t registered[kKeyChars];
    if (ReadStringValue(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kRegisteredApplicationName, registered,
                        kKeyChars) &&
        lstrcmpiW(registered, kCapabilitiesKey) == 0)
        DeleteValueOrReport(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kRegisteredApplicationName, report);
}

}  // namespace

bool CommandNamesFolder(const wchar_t* command, const wchar_t* folder) {
    wchar_t commandFolder[kPathChars];
    return InstallFolderFromOpenCommand(command, commandFolder, kPathChars) && lstrcmpiW(commandFolder, folder) == 0;
}

void RemoveRegistration(const wchar_t* folder, CRemovalReport& report) {
    bool ownsSharedItems = KeyCommandNamesFolder(HKEY_LOCAL_MACHINE, kViewerClassKey, kOpenCommandSubkey, folder);
    if (ownsSharedItems) RemoveSharedAssociations(report);

    // Classes shared by several extensions come up more than once; the second
    // time there is nothing left to remove.
    for (const FormatRow& row : kFormatCatalogue) {
        for (int i = 0; i < row.ExtensionCount(); ++i) {
            wchar_t classKey[kKeyChars];
            if (ClassKeyFor(row.extensions[i].progIdBase, classKey, kKeyChars))
                RemoveOwnedKey(HKEY_LOCAL_MACHINE, classKey, kOpenCommandSubkey, folder, report);
        }
    }
    RemoveOwnedKey(HKEY_CLASSES_ROOT, kApplicationKey, kOpenCommandSubkey, folder, report);
    for (const wchar_t* parent : kBrowseVerbParents) {
        wchar_t verbKey[kKeyChars];
        if (FormatText(verbKey, kKeyChars, L"%s\\%s", parent, kBrowseVerb))
            RemoveOwnedKey(HKEY_LOCAL_MACHINE, verbKey, L"command", folder, report);
    }
    RemoveOwnedKey(HKEY_LOCAL_MACHINE, kApplicationRootKey, kOpenCommandSubkey, folder, report);
    RemoveOwnedKey(HKEY_LOCAL_MACHINE, kViewerClassKey, kOpenCommandSubkey, folder, report);

    if (ownsSharedItems) {
        SystemParametersInfoW(kReloadSystemIcons, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        NotifyAssociationsChanged(kFlushNoWait);
    }
}

void RemoveUninstallEntry(const wchar_t* folder, CRemovalReport& report) {
    wchar_t location[kPathChars];
    if (!ReadStringValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation", location, kPathChars)) return;
    if (!EndsWithBackslash(location) && !AppendText(location, L"\\")) return;
    if (lstrcmpiW(location, folder) == 0) DeleteTreeOrReport(HKEY_LOCAL_MACHINE, kUninstallKey, report);
}
