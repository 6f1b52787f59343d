// Exit statuses of the uninstaller, for deployment scripts.
#pragma once

enum RemovalStatus {
    kRemovalComplete = 0,
    kRemovalViewerRunning = 1,   // nothing removed
    kRemovalNoInstallation = 2,  // the folder holds no lumi32.exe: nothing removed
    kRemovalPartial = 3,         // removed except the items in "Lumidor_Uninstall.log"
    kRemovalDeclined = 1602,      // ERROR_INSTALL_USEREXIT: the question was answered No; nothing removed
    kRemovalSetupRunning = 1618,  // ERROR_INSTALL_ALREADY_RUNNING: a setup or another removal runs; nothing removed
};
