// The setup program's application object: start-up and the two roads.
#include "app/SetupApp.h"

#include <commctrl.h>
#include <wchar.h>

#include "app/CommandLine.h"
#include "app/ExitStatus.h"
#include "app/InstallLog.h"
#include "app/Message.h"
#include "app/ResourceIds.h"
#include "app/SingleInstance.h"
#include "app/SystemLibrary.h"
#include "app/SystemProbes.h"
#include "app/VisualStyles.h"
#include "install/InstallDriver.h"
#include "install/PhaseMark.h"
#include "platform/Text.h"
#include "wizard/SetupWizard.h"
#include "platform/SystemDlls.h"

namespace {

constexpr DWORD kAllControlClasses = 0xFF;

}  // namespace

TheApp::~TheApp() = default;

BOOL TheApp::InitInstance() {
    MARK_PHASE("process started");
    HardenDllSearch();
    // Themes and the common controls from the system folder, on the silent
    // road too: the shell and user32 load them later by bare name, which on
    // Windows XP would search the program's folder first.
    ApplyVisualStyles();
    INITCOMMONCONTROLSEX controls = {sizeof(controls), kAllControlClasses};
    sys::InitCommonControlsEx(&controls);
    MARK_PHASE("start-up");

    // The whole command line, case-sensitively, anywhere in the text.
    const wchar_t* commandLine = GetCommandLineW();
    bool silent = wcsstr(commandLine, L"/silent") != nullptr;
    CSetupInstanceLock lock;
    if (silent) {
        SetExitCode(RunSilent(commandLine, lock));
    } else if (!lock.Acquire()) {
        CMessage message(IDS_SETUP_RUNNING);
        MessageBoxW(nullptr, message.Text(), kSetupTitle, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
        SetExitCode(kExitSetupRunning);
    } else {
        SetExitCode(RunSetupWizard(*this));
    }
    sys::ReleaseSystemDlls();
    MARK_PHASE("end");
    return FALSE;
}

// A silent run: its problems go to "Lumidor_Install.log" in the folder it
// was started from, or, with "/log=", every run's entry to that file.
int TheApp::RunSilent(const wchar_t* commandLine, CSetupInstanceLock& lock) {
    wchar_t runLog[kPathChars];
    bool hasRunLog = FindLogOption(commandLine, runLog);
    InstallOptions options;
    InstallOutcome outcome;
    outcome.runLog = hasRunLog;
    int status = kExitInstalled;
    const wchar_t* message = nullptr;
    CMessage setupRunning(IDS_SETUP_RUNNING);
    CMessage viewerRunning(IDS_VIEWER_RUNNING);
    if (!lock.Acquire()) {
        status = kExitSetupRunning;
        message = setupRunning.Text();
    } else {
        FillSilentOptions(commandLine, options);
        if (IsViewerRunning(options.targetFolder)) {
            status = kExitViewerRunning;
            message = viewerRunning.Text();
        }
    }
    MARK_PHASE("running-viewer test and options");
    if (message) {
        if (hasRunLog) {
            WriteRunLog(runLog, status == kExitSetupRunning ? L"" : options.targetFolder, message, status);
        } else {
            WriteInstallLog(message);
        }
        return status;
    }

    PerformInstallation(options, &outcome);
    status = ExitStatusOf(outcome);
    if (hasRunLog) {
        CMessage notReplaced(IDS_FILES_NOT_REPLACED, outcome.notReplaced);
        const wchar_t* runMessage = outcome.failureMessageId   ? outcome.failureLine
                                    : outcome.notReplaced.Count() ? notReplaced.Text()
                                                                  : nullptr;
        WriteRunLog(runLog, options.targetFolder, runMessage, status);
    }
    return status;
}

TheApp theApp;
