// lu_uninstall.exe: removes the installation it lies in, after a question or,
// with "/silent", without any window. "/purge" removes the user's settings
// too; "/log=PATH" appends an entry for every silent run to PATH.
#include <windows.h>
#include <wchar.h>

#include "app/CommandLine.h"
#include "app/InstallLog.h"
#include "app/Message.h"
#include "app/ResourceIds.h"
#include "app/SingleInstance.h"
#include "app/SystemLibrary.h"
#include "app/SystemProbes.h"
#include "install/RegistrationRows.h"
#include "platform/FileIdentity.h"
#include "platform/Text.h"
#include "uninstall/Installation.h"
#include "uninstall/Removal.h"
#include "uninstall/RemovalArguments.h"
#include "uninstall/RemovalStatus.h"
#include "uninstall/SelfRemoval.h"
#include "uninstall/resource.h"

namespace {

const wchar_t kLogFileName[] = L"Lumidor_Uninstall.log";

class CRemovalRun {
public:
    explicit CRemovalRun(const wchar_t* arguments)
        : silent_(HasSwitch(arguments, L"/silent")), purge_(HasSwitch(arguments, L"/purge")),
          runLog_(FindLogOption(arguments, runLogPath_)) {}
    int Run();

private:
    int Remove();
    // Says why the run ends: a silent run's log entry, else a box.
    int Report(int status, UINT messageId, const wchar_t* argument, UINT icon);
    bool OwnFolder();
    void WriteLog(const wchar_t* message);
    const wchar_t* RunLogOutside();

    bool silent_;
    bool purge_;
    wchar_t runLogPath_[kPathChars];
    bool runLog_;
    wchar_t folder_[kPathChars] = L"";
    CInstallation installation_;
    bool found_ = false;
};

int CRemovalRun::Report(int status, UINT messageId, const wchar_t* argument, UINT icon) {
    CMessage message(messageId, argument);
    if (!silent_) {
        MessageBoxW(nullptr, message.Text(), kProductTitle, MB_OK | icon | MB_SETFOREGROUND);
    } else if (runLog_) {
        WriteRunLog(runLogPath_, found_ ? installation_.Folder() : folder_, message.Text(), status);
    } else {
        WriteLog(message.Text());
    }
    return status;
}

// The folder of the uninstaller's own file, ending in a backslash.
bool CRemovalRun::OwnFolder() {
    DWORD length = GetModuleFileNameW(nullptr, folder_, kPathChars);
    if (length == 0 || length >= kPathChars) return false;
    wchar_t* name = wcsrchr(folder_, L'\\');
    if (!name) return false;
    name[1] = L'\0';
    return true;
}

// The log lies in the folder the program was started from, unless that is
// the installation folder or inside it: then in the temporary folder.
void CRemovalRun::WriteLog(const wchar_t* message) {
    wchar_t current[kPathChars];
    DWORD length = GetCurrentDirectoryW(kPathChars, current);
    if (found_ && length > 0 && length < kPathChars && PathIsWithin(current, installation_.Identity())) {
        wchar_t temp[kPathChars];
        length = GetTempPathW(kPathChars, temp);
        if (length > 0 && length < kPathChars) return WriteLogEntry(kLogFileName, message, temp);
    }
    WriteLogEntry(kLogFileName, message);
}

const wchar_t* CRemovalRun::RunLogOutside() {
    wchar_t parent[kPathChars];
    CopyText(parent, runLogPath_);
    wchar_t* separator = wcsrchr(parent, L'\\');
    if (!separator) return runLogPath_;
    separator[1] = L'\0';
    if (!PathIsWithin(parent, installation_.Identity())) return runLogPath_;
    const wchar_t* name = runLogPath_ + (separator - parent) + 1;
    wchar_t temp[kPathChars];
    DWORD length = GetTempPathW(kPathChars, temp);
    if (length == 0 || length >= kPathChars || !FormatText(parent, kPathChars, L"%s%s", temp, name)) return runLogPath_;
    CopyText(runLogPath_, parent);
    return runLogPath_;
}

int CRemovalRun::Run() { return Remove(); }

int CRemovalRun::Remove() {
    CSetupInstanceLock lock;
    if (!lock.Acquire()) return Report(kRemovalSetupRunning, IDS_SETUP_RUNNING, nullptr, MB_ICONWARNING);
    // A folder without the viewer is still an installation while the registry
    // or the record names it (a rerun, or a viewer deleted by a scanner).
    found_ = OwnFolder() && installation_.Find(folder_);
    if (!found_) return Report(kRemovalNoInstallation, IDS_NO_INSTALLATION, folder_, MB_ICONWARNING);
    // A viewer of any session, with or without a window.
    if (IsViewerRunning(installation_.Folder()))
        return Report(kRemovalViewerRunning, IDS_REMOVAL_VIEWER_RUNNING, nullptr, MB_ICONWARNING);
    if (!silent_) {
        CMessage question(IDS_REMOVAL_QUESTION);
        if (MessageBoxW(nullptr, question.Text(), kProductTitle,
                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND) != IDYES)
            return kRemovalDeclined;
        // The viewer may have been started while the question was open.
        if (IsViewerRunning(installation_.Folder()))
            return Report(kRemovalViewerRunning, IDS_REMOVAL_VIEWER_RUNNING, nullptr, MB_ICONWARNING);
    }

    CRemovalReport report;
    RemoveInstallation(installation_, purge_, report);
    if (!report.Clean()) return Report(kRemovalPartial, IDS_REMOVAL_PARTIAL, report.Items(), MB_ICONWARNING);
    if (!silent_) Report(kRemovalComplete, IDS_REMOVAL_DONE, nullptr, MB_ICONINFORMATION);
    // Every silent run's entry, written before the copy removes the folder; a
    // log asked for inside it goes to the temporary folder instead.
    if (silent_ && runLog_) WriteRunLog(RunLogOutside(), installation_.Folder(), nullptr, kRemovalComplete);
    HandOverOwnRemoval(installation_.Folder(), installation_.CreatedParentLevels());
    return kRemovalComplete;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR arguments, int) {
    HardenDllSearch();
    int finished = FinishOwnRemoval(arguments);
    if (finished >= 0) return finished;
    CRemovalRun run(arguments);
    return run.Run();
}
