// The installation's desktop links and start-menu group, in both scopes.
#pragma once

#include "uninstall/Installation.h"
#include "uninstall/RemovalReport.h"

// The target a link of ours starts, below the installation folder, for a
// group entry's target format ("%slumi32.exe" gives "lumi32.exe").
bool ExpectedLinkTarget(const wchar_t* targetFormat, wchar_t* relative, size_t cchRelative);

// Each link the installation makes, in the current user's and the all-users
// folders, when its target is this installation's file; then the group
// when empty.
void RemoveShortcuts(const CInstallation& installation, CRemovalReport& report);
