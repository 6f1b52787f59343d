// Exit statuses of a silent run, so that deployment scripts can tell what
// happened. The wizard exits with kExitInstalled, or kExitSetupRunning when
// it did not start.
#pragma once

enum ExitStatus {
    kExitInstalled = 0,
    kExitViewerRunning = 1,       // nothing installed
    kExitInvalidFolder = 2,       // message "Ungültiges Zielverzeichnis!"
    kExitCannotCreateFolder = 3,  // message "Kann Zielverzeichnis nicht erstellen! ..."
    kExitInstallFailed = 4,       // message "Fehler beim Installieren! ..."
    kExitSetupRunning = 5,        // another setup program or removal runs: nothing changed
};

// The exit status for the message that ended a failed installation.
int ExitStatusForFailure(int messageId);
