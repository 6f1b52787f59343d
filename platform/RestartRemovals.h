// Files and folders scheduled for deletion at the next restart
// (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT).
#pragma once

#include "platform/FileIdentity.h"

// Takes back every deletion scheduled for the folder of that identity or
// anything in it: an installation into a folder whose earlier removal could
// not finish makes what is there its own again, and the restart must not
// take it. Renames and everything outside the folder stay scheduled.
void CancelRestartRemovalsWithin(const FileIdentity& folder);
