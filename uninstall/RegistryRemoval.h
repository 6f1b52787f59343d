// The installation's registry entries, each only while it still names this
// installation (by identity), so that another installation keeps working.
#pragma once

#include "uninstall/Installation.h"
#include "uninstall/RemovalReport.h"

// The classes, the application entry, the browse verbs and the viewer's own
// key whose commands name this installation; when the class "Lumidor" names
// it, the associations and the registered-application value as well (a
// former default class comes back); then every reference left to a viewer
// class that no longer exists; then the shell's icon and association notice.
// purge: the viewer's own key with everything the viewer added to it.
void RemoveRegistration(const CInstallation& installation, bool purge, CRemovalReport& report);

// What goes once everything else went: the keys the record says this
// installation created (when empty by now), the uninstall entry (with the
// record), and last the class "Lumidor", which says which installation owns
// the shared items, so that a rerun after a partial removal still finds them.
void RemoveLastRegistration(const CInstallation& installation, bool purge, CRemovalReport& report);

// Reports each registry item that still names this installation: the
// uninstall entry and the classes.
void ReportRegistrationLeft(const CInstallation& installation, CRemovalReport& report);
