// What an installation finds before it changes anything, and its record.
#include "install/InstallInventory.h"

#include <windows.h>
#include <wchar.h>

#include "install/InstallRecord.h"
#include "install/RegistrationRows.h"
#include "platform/FileIdentity.h"
#include "platform/Folders.h"
#include "platform/Registry.h"

namespace {

constexpr size_t kKeyChars = 520;

// Cuts the last level off a key name; false when none is left.
bool CutKeyLevel(wchar_t* name) {
    wchar_t* separator = wcsrchr(name, L'\\');
    if (!separator) return false;
    *separator = L'\0';
    return true;
}

bool KeyExists(HKEY root, const wchar_t* path) {
    CScopedKey key;
    return !IsMissingKey(OpenKey(root, path, KEY_QUERY_VALUE, key));
}

bool HasNoOpenWith(const wchar_t* appClass) {
    CScopedKey key;
    return OpenKey(HKEY_CURRENT_USER, appClass, KEY_QUERY_VALUE, key) == ERROR_SUCCESS &&
           RegQueryValueExW(key.get(), kNoOpenWithValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// The recorded keys of the list that exist now. A key that exists vouches for
// every level above it; the list ends with the deepest keys ("Open with"
// lists), so it is asked from the end.
void KeysThatExistNow(const CTextList& keys, CTextList& existing) {
    CHeapBlock names(static_cast<size_t>(keys.Count()) * sizeof(const wchar_t*));
    const wchar_t** name = names.as<const wchar_t*>();
    if (!name) return;
    int count = 0;
    for (const wchar_t* p = keys.First(); p; p = keys.Next(p)) name[count++] = p;
    while (count > 0) {
        const wchar_t* p = name[--count];
        HKEY root;
        const wchar_t* path;
        if (existing.Contains(p) || !ParseRecordedKey(p, root, path) || !KeyExists(root, path)) continue;
        wchar_t level[kKeyChars];
        if (!CopyText(level, kKeyChars, p)) continue;
        do {
            existing.AddOnce(level);
        } while (CutKeyLevel(level));
    }
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

// Records root\path as missing.
void CInstallInventory::NoteMissingKey(HKEY root, const wchar_t* path) {
    wchar_t name[kKeyChars];
    if (RecordedKeyName(root, path, userSid_, name, kKeyChars)) missingKeys_.AddOnce(name);
}

// Records the missing levels of root\path, from the key up to the first level
// that exists. A level found to exist goes into present, so that a parent
// many keys share is asked for once.
void CInstallInventory::NoteMissingLevels(HKEY root, const wchar_t* path, CTextList& present) {
    wchar_t level[kKeyChars];
    if (!CopyText(level, kKeyChars, path)) return;
    for (;;) {
        wchar_t name[kKeyChars];
        if (!RecordedKeyName(root, level, userSid_, name, kKeyChars) || present.Contains(name) ||
            missingKeys_.Contains(name))
            return;  // known, and so are the levels above it
        if (KeyExists(root, level)) {
            present.Add(name);
            return;
        }
        missingKeys_.Add(name);
        wchar_t* parent = wcsrchr(level, L'\\');
        if (!parent) return;
        *parent = L'\0';
    }
}

void CInstallInventory::KeyCreated(HKEY root, const wchar_t* path) {
    wchar_t name[kKeyChars];
    if (RecordedKeyName(root, path, userSid_, name, kKeyChars)) createdKeys_.AddOnce(name);
}

void CInstallInventory::DefaultReplaced(const wchar_t* extension, const wchar_t* former) {
    wchar_t entry[kKeyChars];
    if (FormatText(entry, kKeyChars, L"%s=%s", extension, former)) formerDefaults_.Add(entry);
}

// Which of the keys an installation may create where something else may
// already exist, beyond the extensions' keys, "Open with" lists and Explorer
// keys the association pass reports as it makes them: the browse verbs (whose
// parents a bare system may lack), the levels above the Explorer keys and the
// packaged-application classes. The viewer's own keys are removed whole and
// need no record.
void CInstallInventory::NoteRegistryBefore() {
    CTextList present;
    wchar_t path[kKeyChars];
    for (const wchar_t* parent : kBrowseVerbParents) {
        if (FormatText(path, kKeyChars, L"%s\\%s", parent, kBrowseVerb))
            NoteMissingLevels(HKEY_LOCAL_MACHINE, path, present);
    }
    if (FormatText(path, kKeyChars, kExplorerExtensionKeyFormat, L"") && CutKeyLevel(path))
        NoteMissingLevels(HKEY_CURRENT_USER, path, present);
    for (const wchar_t* appClass : kBuiltInAppClasses) NoteMissingLevels(HKEY_CURRENT_USER, appClass, present);
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
    CTextList created;
    KeysThatExistNow(missingKeys_, created);
    for (const wchar_t* p = missingKeys_.First(); p; p = missingKeys_.Next(p)) {
        if (created.Contains(p)) keys.AddOnce(p);
    }
    for (const wchar_t* p = createdKeys_.First(); p; p = createdKeys_.Next(p)) keys.AddOnce(p);
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
