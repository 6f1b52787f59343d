// The record of what an installation made that was not there before, and
// what it replaced, kept beside the uninstall entry under the machine's
// registry (HKLM: only administrators change it where an administrator
// installed). The setup program writes it at every installation; the
// uninstaller reads it as a hint that can only narrow what it removes, and
// checks everything it names against what is there now.
//
//   ...\Uninstall\Lumidor\InstallRecord
//       Folder              the installation folder, canonical, with a backslash
//       CreatedFolders      its levels this installation created (parents too)
//       SettingsFolder      the folder of a settings file outside the program folder
//       SettingsFolderCreated  1 when this installation created that folder
//       CreatedKeys         "HKLM\<key>" or "HKU\<user SID>\<key>" created by it
//       CreatedNoOpenWith   "HKU\<user SID>\<class key>" whose NoOpenWith it created
//       FormerDefaults\     ".<extension>" = the default class it replaced
#pragma once

#include <windows.h>
#include <stddef.h>

#include "install/RegistrationRows.h"
#include "platform/Text.h"
#include "platform/TextList.h"


// The record's value names.
extern const wchar_t kRecordFolderValue[];
extern const wchar_t kRecordCreatedFoldersValue[];
extern const wchar_t kRecordSettingsFolderValue[];
extern const wchar_t kRecordSettingsFolderCreatedValue[];
extern const wchar_t kRecordCreatedKeysValue[];
extern const wchar_t kRecordCreatedNoOpenWithValue[];

// The string SID of the user the process runs as ("S-1-5-21-..."); false
// when it cannot be had.
bool CurrentUserSid(wchar_t* out, size_t cchOut);

// A key as the record names it: "HKLM\<path>", or "HKU\<sid>\<path>" for a
// key of that user's HKEY_CURRENT_USER.
bool RecordedKeyName(HKEY root, const wchar_t* path, const wchar_t* userSid, wchar_t* out, size_t cchOut);

// The root and path of a recorded key: HKEY_LOCAL_MACHINE, or HKEY_USERS with
// the user's SID as the first level (reachable while that user's hive is
// loaded: the running user's always). False for anything else.
bool ParseRecordedKey(const wchar_t* name, HKEY& root, const wchar_t*& path);

class CInstallRecord {
public:
    // Reads the record; false when there is none.
    bool Load();
    bool Present() const { return present_; }

    const wchar_t* Folder() const { return folder_; }
    const wchar_t* SettingsFolder() const { return settingsFolder_; }
    bool SettingsFolderCreated() const { return settingsFolderCreated_; }
    const CTextList& CreatedFolders() const { return createdFolders_; }
    const CTextList& CreatedKeys() const { return createdKeys_; }
    const CTextList& CreatedNoOpenWith() const { return createdNoOpenWith_; }

    // The default class an extension ("jpg") had before the installation
    // replaced it; false when none is recorded.
    bool FormerDefault(const wchar_t* extension, wchar_t* out, size_t cchOut) const;

private:
    bool present_ = false;
    wchar_t folder_[kPathChars] = L"";
    wchar_t settingsFolder_[kPathChars] = L"";
    bool settingsFolderCreated_ = false;
    CTextList createdFolders_;
    CTextList createdKeys_;
    CTextList createdNoOpenWith_;
};
