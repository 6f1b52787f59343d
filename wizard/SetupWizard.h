// The wizard road: builds the sheet and its five pages and runs it modally.
#pragma once

#include "framework/WinApp.h"

void RunSetupWizard(CWinApp& app);
