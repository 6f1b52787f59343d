// What an installation finds before it changes anything, and its record.
#include "install/InstallInventory.h"

#include <windows.h>
#include <wchar.h>

#include "assoc/FormatCatalogue.h"
#include "install/InstallRecord.h"
#include "install/RegistrationRows.h"
#include "platform/FileIdentity.h"
#include "platform/Folders.h"
#include "platform/Registry.h"

namespace {

constexpr size_t kKeyChars = 520;

bool KeyExists(HKEY root, const wchar_t* path) {
    CScopedKey key;
    return !IsMissingKey(OpenKey(root, path, KEY_QUERY_VALUE, key));
}

// Calls visit(root, path) for every key an installation may create where
// something else may already be: the extensions' keys and their "Open with"
// lists, the user's Explorer keys, the packaged-application classes and the
// browse verbs (whose parent keys a bare system may lack). The viewer's own keys are removed whole and
// need no record.
template <typename Visit>
void ForEachKeyAnInstallationMayCreate(Visit visit) {
    wchar_t path[kKeyChars];
    for (const wchar_t* parent : kBrowseVerbParents) {
        if (FormatText(path, kKeyChars, L"%s\\%s", parent, kBrowseVerb)) visit(HKEY_LOCAL_MACHINE, path);
    }
    for (const FormatRow& row : kFormatCatalogue) {
        for (int i = 0; i < row.ExtensionCount(); ++i) {
            const wchar_t* extension = row.extensions[i].extension;
            if (ExtensionKeyFor(extension, path, kKeyChars)) {
                visit(HKEY_LOCAL_MACHINE, path);
                if (AppendText(path, kKeyChars, L"\\") && AppendText(path, kKeyChars, kOpenWithProgidsSubkey))
                    visit(HKEY_LOCAL_MACHINE, path);
            }
            if (FormatText(path, kKeyChars, kExplorerExtensionKeyFormat, extension)) visit(HKEY_CURRENT_USER, path);
        }
    }
    for (const wchar_t* appClass : kBuiltInAppClasses) visit(HKEY_CURRENT_USER, appClass);
}

bool HasNoOpenWith(const wchar_t* appClass) {
    CScopedKey key;
    return OpenKey(HKEY_CURRENT_USER, appClass, KEY_QUERY_VALUE, key) == ERROR_SUCCESS &&
           RegQueryValueExW(key.get(), kNoOpenWithValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG SetListValue(HKEY key, const wchar_t* name, const CTextList& list) {
    if (list.Count() == 0) return RegDeleteValueW(key, name);
    return RegSetValueExW(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list.Data()), list.Bytes());
}

}  // namespace

CInstallInventory::CInstallInventory() { CurrentUserSid(userSid_, ARRAYSIZE(userSid_)); }

void CInstallInventory::NoteFolderBefore(const wchar_t* folder) {
    wchar_t level[kPathChars];
    if (!CopyText(level, folder)) return;
    for (;;) {
        DWORD attributes = GetFileAttributesW(level);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            CopyText(existingLevel_, level);
            return;
        }
        if (!CutLastLevel(level)) return;
    }
}

void CInstallInventory::NoteFolderMade(const wchar_t* folder) {
    CopyText(folder_, folder);
    if (existingLevel_[0] == L'\0') return;
    // Up from the folder until the level that existed, compared by identity:
    // the text given may have named it in another spelling.
    CTextList created;
    wchar_t level[kPathChars];
    if (!CopyText(level, folder)) return;
    for (;;) {
        if (SameItem(level, existingLevel_)) break;
        created.Add(level);
        if (!CutLastLevel(level)) return;  // never met: nothing is known to be ours
    }
    for (const wchar_t* p = created.First(); p; p = created.Next(p)) createdFolders_.Add(p);
}

void CInstallInventory::NoteRegistryBefore() {
    ForEachKeyAnInstallationMayCreate([this](HKEY root, const wchar_t* path) {
        // The key and every missing level above it.
        wchar_t level[kKeyChars];
        if (!CopyText(level, kKeyChars, path)) return;
        while (!KeyExists(root, level)) {
            wchar_t name[kKeyChars];
            if (!RecordedKeyName(root, level, userSid_, name, kKeyChars) || !missingKeys_.AddOnce(name)) return;
            wchar_t* parent = wcsrchr(level, L'\\');
            if (!parent) return;
            *parent = L'\0';
        }
    });
    for (const FormatRow& row : kFormatCatalogue) {
        for (int i = 0; i < row.ExtensionCount(); ++i) {
            wchar_t key[kKeyChars], value[kPathChars], entry[kKeyChars];
            const wchar_t* extension = row.extensions[i].extension;
            if (ExtensionKeyFor(extension, key, kKeyChars) &&
                ReadStringValue(HKEY_LOCAL_MACHINE, key, nullptr, value, kPathChars) && value[0] != L'\0' &&
                !IsViewerProgId(value) && FormatText(entry, kKeyChars, L"%s=%s", extension, value))
                formerDefaults_.Add(entry);
        }
    }
    // An earlier installation that kept no record (an older setup program) made
    // the NoOpenWith values there are: they are the installation's to take.
    bool unrecordedInstallation = KeyExists(HKEY_LOCAL_MACHINE, kViewerClassKey) &&
                                  !KeyExists(HKEY_LOCAL_MACHINE, kInstallRecordKey);
    for (int i = 0; i < kBuiltInAppClassCount; ++i)
        noOpenWithBefore_[i] = !unrecordedInstallation && HasNoOpenWith(kBuiltInAppClasses[i]);
}

void CInstallInventory::WriteRecord(const wchar_t* settingsFolder, bool settingsFolderCreated) {
    CInstallRecord earlier;
    earlier.Load();
    CScopedKey record;
    if (CreateKey(HKEY_LOCAL_MACHINE, kInstallRecordKey, record) != ERROR_SUCCESS) return;  // no rights: no entry either

    SetStringValue(record.get(), kRecordFolderValue, folder_);
    // Folder levels of an earlier installation count only for the same folder.
    if (earlier.Present() && SameItem(earlier.Folder(), folder_)) {
        const CTextList& before = earlier.CreatedFolders();
        for (const wchar_t* p = before.First(); p; p = before.Next(p)) createdFolders_.AddOnce(p);
    }
    SetListValue(record.get(), kRecordCreatedFoldersValue, createdFolders_);

    // The settings folder, made by this installation or an earlier one of the same.
    if (settingsFolder) {
        bool created = settingsFolderCreated || (earlier.SettingsFolderCreated() &&
                                                 SameItem(earlier.SettingsFolder(), settingsFolder));
        SetStringValue(record.get(), kRecordSettingsFolderValue, settingsFolder);
        SetDwordValue(record.get(), kRecordSettingsFolderCreatedValue, created ? 1 : 0);
    } else {
        RegDeleteValueW(record.get(), kRecordSettingsFolderValue);
        RegDeleteValueW(record.get(), kRecordSettingsFolderCreatedValue);
    }

    // A key the first installation created stays created.
    CTextList keys;
    const CTextList& keysBefore = earlier.CreatedKeys();
    for (const wchar_t* p = keysBefore.First(); p; p = keysBefore.Next(p)) keys.Add(p);
    for (const wchar_t* p = missingKeys_.First(); p; p = missingKeys_.Next(p)) {
        HKEY root;
        const wchar_t* path;
        if (ParseRecordedKey(p, root, path) && KeyExists(root, path)) keys.AddOnce(p);
    }
    SetListValue(record.get(), kRecordCreatedKeysValue, keys);

    CTextList noOpenWith;
    const CTextList& noOpenWithBefore = earlier.CreatedNoOpenWith();
    for (const wchar_t* p = noOpenWithBefore.First(); p; p = noOpenWithBefore.Next(p)) noOpenWith.Add(p);
    for (int i = 0; i < kBuiltInAppClassCount; ++i) {
        wchar_t name[kKeyChars];
        if (!noOpenWithBefore_[i] && HasNoOpenWith(kBuiltInAppClasses[i]) &&
            RecordedKeyName(HKEY_CURRENT_USER, kBuiltInAppClasses[i], userSid_, name, kKeyChars))
            noOpenWith.AddOnce(name);
    }
    SetListValue(record.get(), kRecordCreatedNoOpenWithValue, noOpenWith);

    // The default this run found (never one of ours: those were not noted)
    // is the latest former one; one recorded before stays where this run
    // found ours already.
    CScopedKey formerDefaults;
    if (CreateKey(HKEY_LOCAL_MACHINE, kFormerDefaultsKey, formerDefaults) != ERROR_SUCCESS) return;
    for (const wchar_t* p = formerDefaults_.First(); p; p = formerDefaults_.Next(p)) {
        wchar_t extension[32], key[kKeyChars], now[kPathChars], name[40];
        const wchar_t* separator = wcschr(p, L'=');
        size_t length = static_cast<size_t>(separator - p);
        if (length >= ARRAYSIZE(extension)) continue;
        wmemcpy(extension, p, length);
        extension[length] = L'\0';
        if (!FormatText(name, ARRAYSIZE(name), L".%s", extension) || !ExtensionKeyFor(extension, key, kKeyChars) ||
            !ReadStringValue(HKEY_LOCAL_MACHINE, key, nullptr, now, kPathChars) || !IsViewerProgId(now))
            continue;
        SetStringValue(formerDefaults.get(), name, separator + 1);
    }
}
