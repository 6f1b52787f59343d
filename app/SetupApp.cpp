// The setup program's application object: start-up and the two roads.
#include "app/SetupApp.h"

#include <commctrl.h>
#include <wchar.h>

#include "app/CommandLine.h"
#include "app/ExitStatus.h"
#include "app/InstallLog.h"
#include "app/SingleInstance.h"
#include "app/SystemLibrary.h"
#include "app/SystemProbes.h"
#include "app/VisualStyles.h"
#include "install/InstallDriver.h"
#include "install/PhaseMark.h"
#include "platform/Text.h"
#include "wizard/SetupWizard.h"
#include "wizard/resource.h"
#include "platform/SystemDlls.h"

namespace {

constexpr DWORD kAllControlClasses = 0xFF;

}  // namespace

int ExitStatusForFailure(int messageId) {
    switch (messageId) {
    case 0: return kExitInstalled;
    case IDS_INVALID_FOLDER: return kExitInvalidFolder;
    case IDS_CANNOT_CREATE_FOLDER: return kExitCannotCreateFolder;
    default: return kExitInstallFailed;
    }
}

TheApp::~TheApp() = default;

BOOL TheApp::InitInstance() {
    MARK_PHASE("process started");
    HardenDllSearch();
    ApplyVisualStyles();
    INITCOMMONCONTROLSEX controls = {sizeof(controls), kAllControlClasses};
    sys::InitCommonControlsEx(&controls);
    MARK_PHASE("start-up");

    // The whole command line, case-sensitively, anywhere in the text.
    const wchar_t* commandLine = GetCommandLineW();
    bool silent = wcsstr(commandLine, L"/silent") != nullptr;
    CSetupInstanceLock lock;
    if (!lock.Acquire()) {
        ReportSetupRunning(silent);
        SetExitCode(kExitSetupRunning);
    } else if (silent) {
        SetExitCode(RunSilent(commandLine));
    } else {
        RunSetupWizard(*this);
        SetExitCode(kExitInstalled);
    }
    sys::ReleaseSystemDlls();
    MARK_PHASE("end");
    return FALSE;
}

// Another setup program or removal runs: one log entry, or a message box
// with the wizard's title.
void TheApp::ReportSetupRunning(bool silent) {
    wchar_t message[kPathChars];
    if (!LoadStringW(GetModuleHandleW(nullptr), IDS_SETUP_RUNNING, message, kPathChars)) message[0] = L'\0';
    if (silent) {
        WriteInstallLog(message);
    } else {
        MessageBoxW(nullptr, message, kSetupTitle, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    }
}

int TheApp::RunSilent(const wchar_t* commandLine) {
    if (IsViewerRunning()) {
        wchar_t message[kPathChars];
        if (!LoadStringW(GetModuleHandleW(nullptr), IDS_VIEWER_RUNNING, message, kPathChars)) message[0] = L'\0';
        WriteInstallLog(message);
        return kExitViewerRunning;
    }
    InstallOptions options;
    FillSilentOptions(commandLine, options);
    MARK_PHASE("running-viewer test and options");
    int failureMessageId = 0;
    PerformInstallation(options, &failureMessageId);
    return ExitStatusForFailure(failureMessageId);
}

TheApp theApp;
