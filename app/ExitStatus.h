// Exit statuses of the setup program, silent or not, so that deployment
// tools can tell what happened. The wizard exits with the status of its last
// installation attempt, or kExitCancelled when it was closed before any.
#pragma once

enum ExitStatus {
    kExitInstalled = 0,
    kExitViewerRunning = 1,       // nothing installed
    kExitInvalidFolder = 2,       // message "Ungültiges Zielverzeichnis!"
    kExitCannotCreateFolder = 3,  // message "Kann Zielverzeichnis nicht erstellen! ..."
    kExitInstallFailed = 4,       // message "Fehler beim Installieren! ..."
    kExitFilesNotReplaced = 6,    // installed, but files in use or read-only could not be replaced
    kExitCancelled = 1602,        // ERROR_INSTALL_USEREXIT: the wizard closed before any installation attempt
    kExitSetupRunning = 1618,     // ERROR_INSTALL_ALREADY_RUNNING: another setup or removal runs; nothing changed
};
