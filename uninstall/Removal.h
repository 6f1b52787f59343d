// The removal of one installation: the folder of the uninstaller's own file.
#pragma once

#include "uninstall/RemovalReport.h"

// Whether folder (ending in a backslash) holds an installation: a file
// "lumi32.exe".
bool IsInstallation(const wchar_t* folder);

// Everything the installation made but the uninstaller's own file, in an
// order that keeps a partly removed installation recognisable: the viewer,
// the program folder's settings and the uninstall entry go last, and only
// when everything else went.
// purge: the user's settings file too.
void RemoveInstallation(const wchar_t* folder, bool purge, CRemovalReport& report);
