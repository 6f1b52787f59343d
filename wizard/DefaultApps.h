// Opening the system's own place for choosing default apps, where the user
// makes the viewer the default for the formats chosen in the wizard.
#pragma once

#include <windows.h>

#include "wizard/WizardRules.h"

// The calls that open it: replaceable, so that tests see which is made.
struct DefaultAppsOpeners {
    // IApplicationAssociationRegistrationUI::LaunchAdvancedAssociationUI for
    // a registered application name (Windows 8 and 8.1).
    HRESULT (*launchAssociationDialog)(const wchar_t* registeredName);
    // An address for the shell to open ("ms-settings:defaultapps", Windows 10).
    bool (*openAddress)(const wchar_t* address);
};
extern const DefaultAppsOpeners kSystemDefaultAppsOpeners;

// Opens the page for the viewer ("Lumidor", its RegisteredApplications
// name); a failure is passed over.
void OpenDefaultsPage(DefaultsPage page, const DefaultAppsOpeners& openers = kSystemDefaultAppsOpeners);
