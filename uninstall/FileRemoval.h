// The installation's files and folders: the payload's entries and the
// settings files, never anything else.
#pragma once

#include "uninstall/RemovalReport.h"

// The installation folder (ending in a backslash) followed by an archive
// entry name, with backslashes; false when it would pass 259 characters.
bool EntryPath(const wchar_t* folder, const wchar_t* entry, wchar_t* path);

// Deletes one file (read-only or not); a missing file is no failure.
bool RemoveFileItem(const wchar_t* path, CRemovalReport& report);

// Removes a folder when it is empty; a folder with files of the user stays.
void RemoveFolderIfEmpty(const wchar_t* path);

// Every payload file but the viewer and the uninstaller, then every payload
// folder that is left empty. purge: the user's settings file that the
// program folder's "lumi32.ini" names, and its folder when empty, too.
void RemoveInstalledFiles(const wchar_t* folder, bool purge, CRemovalReport& report);

// The program folder's "lumi32.ini" and its twin "lumi32.ini_temp". Where
// INI_Folder is empty that file holds the user's settings: it stays unless
// purged. It goes with the viewer, last, because it says where the user's
// settings are (a rerun with "/purge" must still find them).
void RemoveProgramSettings(const wchar_t* folder, bool purge, CRemovalReport& report);

// The viewer and the uninstaller: the files that keep a partly removed
// installation recognisable.
extern const wchar_t kViewerEntry[];
extern const wchar_t kUninstallerEntry[];
