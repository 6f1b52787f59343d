// Shortcuts, shell registration, uninstall entry, capabilities and the
// association pass: everything an installation tells the system.
#pragma once

#include <windows.h>

class CRegistryChanges;

// The two flags read from the plain version call.
struct SystemFlags {
    int isXpFamily;      // NT 5.1 and 5.2
    int isVistaOrLater;  // NT 6.0 and later
};

SystemFlags SystemFlagsFrom(DWORD platformId, DWORD major, DWORD minor);

// Returns 1 in every case; failures of single writes are passed over.
// changes (may be null) is told which keys the association pass made and
// which default classes it replaced.
int RegistrationStep(int associationConfirmed, int associationRequested, const wchar_t* targetFolder,
                     int startMenuGroup, int desktopShortcut, int thumbnailsShortcut, int allUsers,
                     const int* associationRows, int associateForAllUsers, CRegistryChanges* changes = nullptr);
