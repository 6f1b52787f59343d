// The wizard road.
#include "wizard/SetupWizard.h"

// Placeholder until the wizard lands: shows nothing.
void RunSetupWizard(CWinApp&) {}
