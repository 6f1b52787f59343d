// The record of what an installation made and replaced.
#include "install/InstallRecord.h"

#include <sddl.h>
#include <wchar.h>

#include "platform/Registry.h"
#include "platform/Scoped.h"

const wchar_t kRecordFolderValue[] = L"Folder";
const wchar_t kRecordCreatedFoldersValue[] = L"CreatedFolders";
const wchar_t kRecordSettingsFolderValue[] = L"SettingsFolder";
const wchar_t kRecordSettingsFolderCreatedValue[] = L"SettingsFolderCreated";
const wchar_t kRecordCreatedKeysValue[] = L"CreatedKeys";
const wchar_t kRecordCreatedNoOpenWithValue[] = L"CreatedNoOpenWith";

namespace {

const wchar_t kMachinePrefix[] = L"HKLM\\";
const wchar_t kUsersPrefix[] = L"HKU\\";

}  // namespace

bool CurrentUserSid(wchar_t* out, size_t cchOut) {
    out[0] = L'\0';
    CScopedHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    union {
        TOKEN_USER user;
        BYTE bytes[256];  // TOKEN_USER and a SID of at most 68 bytes
    } info;
    DWORD bytes = 0;
    if (!GetTokenInformation(token.get(), TokenUser, &info, sizeof(info), &bytes)) return false;
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(info.user.User.Sid, &text)) return false;
    bool copied = CopyText(out, cchOut, text);
    LocalFree(text);
    return copied;
}

bool RecordedKeyName(HKEY root, const wchar_t* path, const wchar_t* userSid, wchar_t* out, size_t cchOut) {
    if (root == HKEY_LOCAL_MACHINE) return FormatText(out, cchOut, L"%s%s", kMachinePrefix, path);
    if (root != HKEY_CURRENT_USER || userSid[0] == L'\0') return false;
    return FormatText(out, cchOut, L"%s%s\\%s", kUsersPrefix, userSid, path);
}

bool ParseRecordedKey(const wchar_t* name, HKEY& root, const wchar_t*& path) {
    size_t machine = wcslen(kMachinePrefix);
    size_t users = wcslen(kUsersPrefix);
    if (_wcsnicmp(name, kMachinePrefix, machine) == 0) {
        root = HKEY_LOCAL_MACHINE;
        path = name + machine;
    } else if (_wcsnicmp(name, kUsersPrefix, users) == 0 && wcschr(name + users, L'\\')) {
        root = HKEY_USERS;
        path = name + users;
    } else {
        return false;
    }
    return path[0] != L'\0' && path[0] != L'\\';
}

bool CInstallRecord::Load() {
    CScopedKey key;
    present_ = OpenKey(HKEY_LOCAL_MACHINE, kInstallRecordKey, KEY_QUERY_VALUE, key) == ERROR_SUCCESS;
    if (!present_) return false;
    ReadStringValue(HKEY_LOCAL_MACHINE, kInstallRecordKey, kRecordFolderValue, folder_, kPathChars);
    ReadStringValue(HKEY_LOCAL_MACHINE, kInstallRecordKey, kRecordSettingsFolderValue, settingsFolder_, kPathChars);
    DWORD created = 0, bytes = sizeof(created);
    settingsFolderCreated_ = RegQueryValueExW(key.get(), kRecordSettingsFolderCreatedValue, nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(&created), &bytes) == ERROR_SUCCESS &&
                             created == 1;
    createdFolders_.Read(key.get(), kRecordCreatedFoldersValue);
    createdKeys_.Read(key.get(), kRecordCreatedKeysValue);
    createdNoOpenWith_.Read(key.get(), kRecordCreatedNoOpenWithValue);
    return true;
}

bool CInstallRecord::FormerDefault(const wchar_t* extension, wchar_t* out, size_t cchOut) const {
    wchar_t name[32];
    return present_ && FormatText(name, 32, L".%s", extension) &&
           ReadStringValue(HKEY_LOCAL_MACHINE, kFormerDefaultsKey, name, out, cchOut) && out[0] != L'\0';
}
