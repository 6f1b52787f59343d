// The installation's registry entries.
#include "uninstall/RegistryRemoval.h"

#include <windows.h>
#include <shlobj.h>
#include <wchar.h>

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

// A key of ours, once nothing of anyone else is left in it.
void DeleteKeyIfEmpty(HKEY root, const wchar_t* path, CRemovalReport& report) {
    if (IsKeyEmpty(root, path) && DeleteKey(root, path) != ERROR_SUCCESS) report.FailedKey(root, path);
}

bool CommandOf(HKEY root, const wchar_t* key, const wchar_t* commandSubkey, wchar_t (&command)[kKeyChars]) {
    wchar_t commandKey[kKeyChars];
    return FormatText(commandKey, kKeyChars, L"%s\\%s", key, commandSubkey) &&
           ReadStringValue(root, commandKey, nullptr, command, kKeyChars);
}

bool KeyIsOurs(HKEY root, const wchar_t* key, const wchar_t* commandSubkey, const CInstallation& installation) {
    wchar_t command[kKeyChars];
    return CommandOf(root, key, commandSubkey, command) && installation.CommandIsOurs(command);
}

// A key whose open command starts this installation's viewer, with all below it.
void RemoveOwnedKey(HKEY root, const wchar_t* key, const wchar_t* commandSubkey, const CInstallation& installation,
                    CRemovalReport& report) {
    if (KeyIsOurs(root, key, commandSubkey, installation)) DeleteTreeOrReport(root, key, report);
}

// Whether a string value names one of the viewer's classes; dangling: one
// whose class no longer exists.
bool NamesViewerClass(HKEY root, const wchar_t* path, const wchar_t* name, bool& dangling) {
    wchar_t progId[kKeyChars], classKey[kKeyChars];
    if (!ReadStringValue(root, path, name, progId, kKeyChars) || !IsViewerProgId(progId)) return false;
    CScopedKey key;
    dangling = FormatText(classKey, kKeyChars, L"SOFTWARE\\Classes\\%s", progId) &&
               IsMissingKey(OpenKey(HKEY_LOCAL_MACHINE, classKey, KEY_QUERY_VALUE, key));
    return true;
}

// What one extension got: the machine default class (a former one comes
// back), the user's Explorer choices of the XP family and of Vista and
// later, the class in its "Open with" list. Taken when this installation
// owns them, and wherever they name a viewer class that is gone.
void RemoveExtensionReferences(const wchar_t* extension, const wchar_t* progIdBase, const CInstallation& installation,
                               CRemovalReport& report) {
    bool owner = installation.OwnsSharedItems();
    bool dangling = false;
    wchar_t key[kKeyChars];
    if (ExtensionKeyFor(extension, key, kKeyChars) && NamesViewerClass(HKEY_LOCAL_MACHINE, key, nullptr, dangling) &&
        (owner || dangling)) {
        wchar_t former[kKeyChars];
        if (installation.Record().FormerDefault(extension, former, kKeyChars)) {
            if (SetDefaultValue(HKEY_LOCAL_MACHINE, key, former) != ERROR_SUCCESS)
                report.FailedKey(HKEY_LOCAL_MACHINE, key, L"");
        } else {
            DeleteValueOrReport(HKEY_LOCAL_MACHINE, key, nullptr, report);
        }
    }
    if (FormatText(key, kKeyChars, kExplorerExtensionKeyFormat, extension) &&
        NamesViewerClass(HKEY_CURRENT_USER, key, kExplorerProgIdValue, dangling) && (owner || dangling))
        DeleteValueOrReport(HKEY_CURRENT_USER, key, kExplorerProgIdValue, report);
    if (FormatText(key, kKeyChars, kUserChoiceKeyFormat, extension) &&
        NamesViewerClass(HKEY_CURRENT_USER, key, kUserChoiceProgIdValue, dangling) && (owner || dangling))
        DeleteTreeOrReport(HKEY_CURRENT_USER, key, report);
    // The class offered in "Open with"; another program's value there stays.
    wchar_t progId[kKeyChars], classKey[kKeyChars];
    CScopedKey openWith;
    if (ExtensionKeyFor(extension, key, kKeyChars) && AppendText(key, kKeyChars, L"\\") &&
        AppendText(key, kKeyChars, kOpenWithProgidsSubkey) && ProgIdFor(progIdBase, progId, kKeyChars) &&
        OpenKey(HKEY_LOCAL_MACHINE, key, KEY_QUERY_VALUE, openWith) == ERROR_SUCCESS &&
        RegQueryValueExW(openWith.get(), progId, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        openWith.reset();
        CScopedKey viewerClass;
        dangling = ClassKeyFor(progIdBase, classKey, kKeyChars) &&
                   IsMissingKey(OpenKey(HKEY_LOCAL_MACHINE, classKey, KEY_QUERY_VALUE, viewerClass));
        if (owner || dangling) DeleteValueOrReport(HKEY_LOCAL_MACHINE, key, progId, report);
    }
}

// Whether a recorded key is one of the packaged-application classes of a
// user: "<SID>\<class key>" under HKEY_USERS.
bool IsBuiltInAppClassOfAUser(HKEY root, const wchar_t* path) {
    const wchar_t* classKey = wcschr(path, L'\\');
    if (root != HKEY_USERS || !classKey) return false;
    for (const wchar_t* appClass : kBuiltInAppClasses) {
        if (_wcsicmp(classKey + 1, appClass) == 0) return true;
    }
    return false;
}

// The NoOpenWith values the record says this installation created, for each
// user whose hive is loaded (the removing user's always), and the
// registered-application value.
void RemoveSharedValues(const CInstallation& installation, CRemovalReport& report) {
    const CTextList& created = installation.Record().CreatedNoOpenWith();
    for (const wchar_t* name = created.First(); name; name = created.Next(name)) {
        HKEY root;
        const wchar_t* path;
        if (ParseRecordedKey(name, root, path) && IsBuiltInAppClassOfAUser(root, path))
            DeleteValueOrReport(root, path, kNoOpenWithValue, report);
    }
    wchar_t registered[kKeyChars];
    if (ReadStringValue(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kRegisteredApplicationName, registered,
                        kKeyChars) &&
        lstrcmpiW(registered, kCapabilitiesKey) == 0)
        DeleteValueOrReport(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kRegisteredApplicationName, report);
}

// The viewer's own key: the values the installation writes, then each key
// when empty; what the viewer or the user added stays with its key.
void RemoveApplicationKey(CRemovalReport& report) {
    wchar_t commandKey[kKeyChars];
    if (!FormatText(commandKey, kKeyChars, L"%s\\%s", kApplicationRootKey, kOpenCommandSubkey)) return;
    DeleteValueOrReport(HKEY_LOCAL_MACHINE, commandKey, nullptr, report);
    // shell\open\command, shell\open, shell.
    for (int level = 0; level < 3; ++level) {
        DeleteKeyIfEmpty(HKEY_LOCAL_MACHINE, commandKey, report);
        *wcsrchr(commandKey, L'\\') = L'\0';
    }

    CScopedKey associations;
    if (OpenKey(HKEY_LOCAL_MACHINE, kCapabilityAssociationsKey, KEY_QUERY_VALUE | KEY_SET_VALUE, associations) ==
        ERROR_SUCCESS) {
        // Enumerated afresh after each deletion: indexes move.
        for (DWORD index = 0;;) {
            wchar_t name[256], progId[kKeyChars];
            DWORD cchName = ARRAYSIZE(name), type = 0, cbData = sizeof(progId) - sizeof(wchar_t);
            LONG status = RegEnumValueW(associations.get(), index, name, &cchName, nullptr, &type,
                                        reinterpret_cast<BYTE*>(progId), &cbData);
            if (status == ERROR_NO_MORE_ITEMS) break;
            progId[status == ERROR_SUCCESS ? cbData / sizeof(wchar_t) : 0] = L'\0';
            if (status == ERROR_SUCCESS && type == REG_SZ && IsViewerProgId(progId) &&
                RegDeleteValueW(associations.get(), name) == ERROR_SUCCESS)
                continue;
            if (status == ERROR_SUCCESS && type == REG_SZ && IsViewerProgId(progId))
                report.FailedKey(HKEY_LOCAL_MACHINE, kCapabilityAssociationsKey, name);
            ++index;
        }
        associations.reset();
        DeleteKeyIfEmpty(HKEY_LOCAL_MACHINE, kCapabilityAssociationsKey, report);
    }
    DeleteValueOrReport(HKEY_LOCAL_MACHINE, kCapabilitiesKey, kApplicationDescriptionValue, report);
    DeleteKeyIfEmpty(HKEY_LOCAL_MACHINE, kCapabilitiesKey, report);
    DeleteKeyIfEmpty(HKEY_LOCAL_MACHINE, kApplicationRootKey, report);
}

// The keys the record names as created by this installation (a user's
// while that user's hive is loaded), the deepest first, each when empty.
void RemoveCreatedKeys(const CInstallation& installation, CRemovalReport& report) {
    const CTextList& created = installation.Record().CreatedKeys();
    for (int depth = 16; depth >= 0; --depth) {
        for (const wchar_t* name = created.First(); name; name = created.Next(name)) {
            HKEY root;
            const wchar_t* path;
            if (!ParseRecordedKey(name, root, path)) continue;
            int levels = 0;
            for (const wchar_t* p = path; *p != L'\0'; ++p) levels += *p == L'\\';
            if (levels == depth) DeleteKeyIfEmpty(root, path, report);
        }
    }
}

}  // namespace

void RemoveRegistration(const CInstallation& installation, bool purge, CRemovalReport& report) {
    // Classes shared by several extensions come up more than once; the second
    // time there is nothing left to remove.
    for (const FormatRow& row : kFormatCatalogue) {
        for (int i = 0; i < row.ExtensionCount(); ++i) {
            wchar_t classKey[kKeyChars];
            if (ClassKeyFor(row.ProgIdBase(i), classKey, kKeyChars))
                RemoveOwnedKey(HKEY_LOCAL_MACHINE, classKey, kOpenCommandSubkey, installation, report);
        }
    }
    RemoveOwnedKey(HKEY_CLASSES_ROOT, kApplicationKey, kOpenCommandSubkey, installation, report);
    for (const wchar_t* parent : kBrowseVerbParents) {
        wchar_t verbKey[kKeyChars];
        if (FormatText(verbKey, kKeyChars, L"%s\\%s", parent, kBrowseVerb))
            RemoveOwnedKey(HKEY_LOCAL_MACHINE, verbKey, L"command", installation, report);
    }

    // The viewer's own key, while its command names this installation (or,
    // in a rerun, is gone while the entry still names it).
    wchar_t command[kKeyChars];
    bool hasCommand = CommandOf(HKEY_LOCAL_MACHINE, kApplicationRootKey, kOpenCommandSubkey, command);
    if (hasCommand ? installation.CommandIsOurs(command) : installation.IsRegistered()) {
        if (purge) {
            DeleteTreeOrReport(HKEY_LOCAL_MACHINE, kApplicationRootKey, report);
        } else {
            RemoveApplicationKey(report);
        }
    }

    if (installation.OwnsSharedItems()) RemoveSharedValues(installation, report);
    for (const FormatRow& row : kFormatCatalogue) {
        for (int i = 0; i < row.ExtensionCount(); ++i)
            RemoveExtensionReferences(row.Extension(i), row.ProgIdBase(i), installation, report);
    }

    if (installation.OwnsSharedItems()) {
        SystemParametersInfoW(kReloadSystemIcons, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        NotifyAssociationsChanged(kFlushNoWait);
    }
}

void RemoveLastRegistration(const CInstallation& installation, bool purge, CRemovalReport& report) {
    RemoveCreatedKeys(installation, report);
    // The record stays until what it names is gone.
    if (report.Clean() && installation.IsRegistered()) {
        if (purge) {
            DeleteTreeOrReport(HKEY_LOCAL_MACHINE, kUninstallKey, report);
        } else {
            DeleteTreeOrReport(HKEY_LOCAL_MACHINE, kInstallRecordKey, report);
            DeleteValueOrReport(HKEY_LOCAL_MACHINE, kUninstallKey, nullptr, report);
            for (const wchar_t* name : kUninstallValueNames)
                DeleteValueOrReport(HKEY_LOCAL_MACHINE, kUninstallKey, name, report);
            DeleteKeyIfEmpty(HKEY_LOCAL_MACHINE, kUninstallKey, report);
        }
    }
    if (report.Clean()) RemoveOwnedKey(HKEY_LOCAL_MACHINE, kViewerClassKey, kOpenCommandSubkey, installation, report);
}

void ReportRegistrationLeft(const CInstallation& installation, CRemovalReport& report) {
    if (installation.OwnsSharedItems()) {
        wchar_t registered[kKeyChars];
        if (ReadStringValue(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kRegisteredApplicationName, registered,
                            kKeyChars) &&
            lstrcmpiW(registered, kCapabilitiesKey) == 0)
            report.FailedKey(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kRegisteredApplicationName);
        const CTextList& created = installation.Record().CreatedNoOpenWith();
        for (const wchar_t* name = created.First(); name; name = created.Next(name)) {
            HKEY root;
            const wchar_t* path;
            CScopedKey key;
            if (ParseRecordedKey(name, root, path) && IsBuiltInAppClassOfAUser(root, path) &&
                OpenKey(root, path, KEY_QUERY_VALUE, key) == ERROR_SUCCESS &&
                RegQueryValueExW(key.get(), kNoOpenWithValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
                report.FailedKey(root, path, kNoOpenWithValue);
        }
    }
    if (KeyIsOurs(HKEY_LOCAL_MACHINE, kApplicationRootKey, kOpenCommandSubkey, installation))
        report.FailedKey(HKEY_LOCAL_MACHINE, kApplicationRootKey);
    for (const wchar_t* parent : kBrowseVerbParents) {
        wchar_t verbKey[kKeyChars];
        if (FormatText(verbKey, kKeyChars, L"%s\\%s", parent, kBrowseVerb) &&
            KeyIsOurs(HKEY_LOCAL_MACHINE, verbKey, L"command", installation))
            report.FailedKey(HKEY_LOCAL_MACHINE, verbKey);
    }
    wchar_t location[kPathChars];
    if (installation.IsRegistered() &&
        ReadStringValue(HKEY_LOCAL_MACHINE, kUninstallKey, kUninstallValueNames[kInstallLocationValue], location,
                        kPathChars))
        report.FailedKey(HKEY_LOCAL_MACHINE, kUninstallKey);
    if (KeyIsOurs(HKEY_LOCAL_MACHINE, kViewerClassKey, kOpenCommandSubkey, installation))
        report.FailedKey(HKEY_LOCAL_MACHINE, kViewerClassKey);
    for (const FormatRow& row : kFormatCatalogue) {
        for (int i = 0; i < row.ExtensionCount(); ++i) {
            wchar_t classKey[kKeyChars];
            if (ClassKeyFor(row.ProgIdBase(i), classKey, kKeyChars) &&
                KeyIsOurs(HKEY_LOCAL_MACHINE, classKey, kOpenCommandSubkey, installation))
                report.FailedKey(HKEY_LOCAL_MACHINE, classKey);
        }
    }
    if (KeyIsOurs(HKEY_CLASSES_ROOT, kApplicationKey, kOpenCommandSubkey, installation))
        report.FailedKey(HKEY_CLASSES_ROOT, kApplicationKey);
}
