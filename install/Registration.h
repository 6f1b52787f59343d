// Shortcuts, shell registration, uninstall entry, capabilities and the
// association pass: everything an installation tells the system.
#pragma once

#include <windows.h>

// The two flags read from the plain version call.
struct SystemFlags {
    int isXpFamily;      // NT 5.1 and 5.2
    int isVistaOrLater;  // NT 6.0 and later
};

SystemFlags SystemFlagsFrom(DWORD platformId, DWORD major, DWORD minor);

// Returns 1 in every case; failures of single writes are passed over.
int RegistrationStep(int associationConfirmed, int associationRequested, const wchar_t* targetFolder,
                     int startMenuGroup, int desktopShortcut, int thumbnailsShortcut, int allUsers,
                     const int* associationRows, int associateForAllUsers);
