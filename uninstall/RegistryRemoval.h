// The installation's registry entries, each only while it still points at
// this installation, so that another installation keeps working.
#pragma once

#include "uninstall/RemovalReport.h"

// Whether an open command starts lumi32.exe of folder (ending in a backslash).
bool CommandNamesFolder(const wchar_t* command, const wchar_t* folder);

// The classes, the application entry, the browse verbs, the capabilities and,
// when the class "Lumidor" points here, every association and the
// registered-application value; then the shell's icon and association notice.
void RemoveRegistration(const wchar_t* folder, CRemovalReport& report);

// The uninstall entry, when its InstallLocation is folder.
void RemoveUninstallEntry(const wchar_t* folder, CRemovalReport& report);
