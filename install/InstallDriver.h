// One installation from end to end, for the wizard and the silent road alike.
#pragma once

#include "app/InstallOptions.h"

// 1 when the installation ran to its end, 0 when it stopped at a failure that
// was shown (wizard) or logged (silent). failureMessageId, when given,
// receives the string id of that failure's message (0 on success).
// May change options.iniFolder.
int PerformInstallation(InstallOptions& options, int* failureMessageId = nullptr);
