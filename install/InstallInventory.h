// What an installation finds before it changes anything, and the record of
// what it made and replaced that it leaves once done (install/InstallRecord.h).
#pragma once

#include <windows.h>
#include <stddef.h>

#include "assoc/AssociationKeys.h"
#include "assoc/AssociationWriter.h"
#include "platform/Text.h"
#include "platform/TextList.h"

class CInstallInventory : public CRegistryChanges {
public:
    CInstallInventory();

    // Before the installation folder (a full path) is made: the deepest of
    // its levels that exists already.
    void NoteFolderBefore(const wchar_t* folder);
    // Once it is made (canonical, ending in a backslash): every level below
    // that one was created by this installation.
    void NoteFolderMade(const wchar_t* folder);

    // Before the registration: which keys the installation may create exist,
    // beyond those the association pass reports, and the NoOpenWith values.
    void NoteRegistryBefore();

    // Told by the association pass: a key it made, and the default class of
    // an extension it replaced by one of the viewer's.
    void KeyCreated(HKEY root, const wchar_t* path) override;
    void DefaultReplaced(const wchar_t* extension, const wchar_t* former) override;

    // After the registration: writes the record, merged with the one an
    // earlier installation left. settingsFolder: the folder of a settings file
    // outside the program folder (null for none), made by this run or not.
    void WriteRecord(const wchar_t* settingsFolder, bool settingsFolderCreated);

private:
    void NoteMissingKey(HKEY root, const wchar_t* path);
    void NoteMissingLevels(HKEY root, const wchar_t* path, CTextList& present);

    wchar_t userSid_[192] = L"";
    wchar_t existingLevel_[kPathChars] = L"";
    wchar_t folder_[kPathChars] = L"";
    CTextList createdFolders_;
    CTextList missingKeys_;      // recorded names of keys that did not exist
    CTextList createdKeys_;      // recorded names of keys the association pass made
    CTextList formerDefaults_;   // "<extension>=<class>" of the defaults the pass replaced
    bool noOpenWithBefore_[kBuiltInAppClassCount] = {};
};
