// Exit statuses of a silent run, so that deployment scripts can tell what
// happened. The wizard always exits with kExitInstalled.
#pragma once

enum ExitStatus {
    kExitInstalled = 0,
    kExitViewerRunning = 1,       // nothing installed
    kExitInvalidFolder = 2,       // message "Ungültiges Zielverzeichnis!"
    kExitCannotCreateFolder = 3,  // message "Kann Zielverzeichnis nicht erstellen! ..."
    kExitInstallFailed = 4,       // message "Fehler beim Installieren! ..."
};

// The exit status for the message that ended a failed installation.
int ExitStatusForFailure(int messageId);
