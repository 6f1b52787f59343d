// Shortcuts, shell registration, uninstall entry, capabilities and the
// association pass: everything an installation tells the system.
#pragma once

// Returns 1 in every case; failures of single writes are passed over.
int RegistrationStep(int associationConfirmed, int associationRequested, const wchar_t* targetFolder,
                     int startMenuGroup, int desktopShortcut, int thumbnailsShortcut, int allUsers,
                     const int* associationRows, int associateForAllUsers);
