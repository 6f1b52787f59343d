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

// Every payload file but the viewer and the uninstaller, the settings files
// and then every payload folder that is left empty. purge: the user's
// settings file and its folder too.
void RemoveInstalledFiles(const wchar_t* folder, bool purge, CRemovalReport& report);

// The viewer and the uninstaller: the files that keep a partly removed
// installation recognisable.
extern const wchar_t kViewerEntry[];
extern const wchar_t kUninstallerEntry[];
