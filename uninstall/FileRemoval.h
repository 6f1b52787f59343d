// The installation's files and folders: the payload's entries and the
// settings files, never anything else, and never through a link.
#pragma once

#include "uninstall/ContainedRemoval.h"
#include "uninstall/Installation.h"
#include "uninstall/RemovalReport.h"

// The installation folder as the root of a removal.
RemovalRoot InstallationRoot(const CInstallation& installation);

// Deletes the file root\relative; false, and reported, when it stays (a
// link is named as such).
bool RemoveFileItem(const RemovalRoot& root, const wchar_t* relative, CRemovalReport& report);

// Deletes the folder root\relative ("": the root) when it is empty; one that
// still holds files of the user stays unreported. False when it stays.
bool RemoveFolderItem(const RemovalRoot& root, const wchar_t* relative, CRemovalReport& report);

// Every payload file but the viewer and the uninstaller, then every payload
// folder that is left empty.
void RemoveInstalledFiles(const CInstallation& installation, CRemovalReport& report);

// With "/purge": the user's settings file that the program folder's
// "lumi32.ini" names and its twin, unless another registered installation
// names the same file; its folder when this installation created it and it
// is empty.
void RemoveUserSettings(const CInstallation& installation, CRemovalReport& report);

// The program folder's "lumi32.ini" and its twin "lumi32.ini_temp". Where
// INI_Folder names no other file, that file holds the user's settings: it
// stays unless purged. It goes with the viewer, last, because it says where
// the user's settings are (a rerun with "/purge" must still find them).
void RemoveProgramSettings(const CInstallation& installation, bool purge, CRemovalReport& report);

// The viewer and the uninstaller: the files that keep a partly removed
// installation recognisable.
extern const wchar_t kViewerEntry[];
extern const wchar_t kUninstallerEntry[];
