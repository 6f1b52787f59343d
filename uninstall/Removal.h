// The removal of one installation.
#pragma once

#include "uninstall/Installation.h"
#include "uninstall/RemovalReport.h"

// Everything the installation made but the uninstaller's own file and the
// folder, in an order that keeps a partly removed installation recognisable:
// the viewer, the program folder's settings, the uninstall entry and the
// class "Lumidor" go last, and only when everything else went. Then checks
// that nothing of it is left: whatever is, is in the report.
// purge: the user's settings file too.
void RemoveInstallation(const CInstallation& installation, bool purge, CRemovalReport& report);
