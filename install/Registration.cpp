// Shortcuts, shell registration, uninstall entry, capabilities and the
// association pass.
#include "install/Registration.h"

// Placeholder until the shell integration lands: registers nothing.
int RegistrationStep(int, int, const wchar_t*, int, int, int, int, const int*, int) { return 1; }
