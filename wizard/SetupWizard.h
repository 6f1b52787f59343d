// The wizard road: builds the sheet and its five pages and runs it modally.
#pragma once

#include "framework/WinApp.h"

// The exit status of the last installation attempt (that of a silent run
// with the same outcome), or kExitCancelled when there was none.
int RunSetupWizard(CWinApp& app);
