// The installation a removal works on: the folder of the uninstaller's own
// file, and what the registry and the installation's record say about it,
// all decided by the identity of folders, never by comparing their texts.
#pragma once

#include "install/InstallRecord.h"
#include "platform/FileIdentity.h"
#include "platform/Text.h"

class CInstallation {
public:
    // Looks at the folder of the uninstaller's own file (ending in a
    // backslash). False when it holds no installation: no viewer there, and
    // neither the uninstall entry, the class "Lumidor" nor the record names it.
    bool Find(const wchar_t* ownFolder);

    // The folder in its recorded, canonical form, ending in a backslash.
    const wchar_t* Folder() const { return folder_; }
    const FileIdentity& Identity() const { return identity_; }

    // Whether an open command starts lumi32.exe of this folder.
    bool CommandIsOurs(const wchar_t* command) const;
    // Whether a path names this folder, or a file or folder in it (expected: the
    // name below the folder, "help\lumi32_deutsch.chm"): by identity, also for
    // one already removed.
    bool PathIsOurs(const wchar_t* path, const wchar_t* expected) const;

    // The class "Lumidor" names this installation: the items that name no
    // folder (extension defaults, Explorer choices, NoOpenWith, the
    // registered-application value) are its own.
    bool OwnsSharedItems() const { return ownsSharedItems_; }
    // The uninstall entry names this installation.
    bool IsRegistered() const { return registered_; }
    // The record, when it is this installation's (else an empty one).
    const CInstallRecord& Record() const { return recordIsOurs_ ? record_ : noRecord_; }
    const wchar_t* UserSid() const { return userSid_; }
    // How many folders right above this one the installation created, as its
    // record says (each compared by identity; anything else it names is
    // ignored).
    int CreatedParentLevels() const;

private:
    // Whether a registry text naming a folder names this one; folder receives
    // its canonical form.
    bool NamesThisFolder(const wchar_t* text, wchar_t (&folder)[kPathChars]) const;

    wchar_t folder_[kPathChars] = L"";
    FileIdentity identity_ = {};
    bool ownsSharedItems_ = false;
    bool registered_ = false;
    bool recordIsOurs_ = false;
    CInstallRecord record_;
    CInstallRecord noRecord_;
    wchar_t userSid_[192] = L"";
};

// Whether a folder (ending in a backslash) holds the viewer as a file.
bool ViewerIsIn(const wchar_t* folder);
