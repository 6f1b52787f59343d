// One installation from end to end.
#include "install/InstallDriver.h"

// Placeholder until the driver lands: installs nothing.
int PerformInstallation(InstallOptions&, int* failureMessageId) {
    if (failureMessageId) *failureMessageId = 0;
    return 1;
}
