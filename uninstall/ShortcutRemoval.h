// The installation's desktop links and start-menu group, in both scopes.
#pragma once

#include "uninstall/RemovalReport.h"

// Whether a path lies inside folder (ending in a backslash), whatever its case
// or doubled separators.
bool PathIsInFolder(const wchar_t* path, const wchar_t* folder);

// Each link the installation makes, in the current user's and the all-users
// folders, when its target lies in folder; then the group when empty.
void RemoveShortcuts(const wchar_t* folder, CRemovalReport& report);
