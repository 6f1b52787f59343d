// lu_uninstall.exe: removes the installation it lies in, after a question or,
// with "/silent", without any window. "/purge" removes the user's settings too.
#include <windows.h>
#include <wchar.h>

#include "app/InstallLog.h"
#include "app/SingleInstance.h"
#include "app/SystemLibrary.h"
#include "app/SystemProbes.h"
#include "install/RegistrationRows.h"
#include "platform/FileIdentity.h"
#include "platform/Scoped.h"
#include "platform/Text.h"
#include "uninstall/Installation.h"
#include "uninstall/Removal.h"
#include "uninstall/RemovalArguments.h"
#include "uninstall/RemovalStatus.h"
#include "uninstall/SelfRemoval.h"
#include "uninstall/resource.h"
#include "wizard/resource.h"

namespace {

const wchar_t kLogFileName[] = L"Lumidor_Uninstall.log";
constexpr size_t kMessageChars = 1024;

class CRemovalRun {
public:
    CRemovalRun(bool silent, bool purge) : silent_(silent), purge_(purge) {}
    int Run();

private:
    // Says why the run ends: the log entry of a silent run, else a box.
    int Report(int status, const wchar_t* message, UINT icon) {
        if (silent_) {
            WriteLog(message);
        } else {
            MessageBoxW(nullptr, message, kProductTitle, MB_OK | icon | MB_SETFOREGROUND);
        }
        return status;
    }
    int Report(int status, UINT messageId, const wchar_t* argument, UINT icon);
    bool OwnFolder();
    void WriteLog(const wchar_t* message);

    bool silent_;
    bool purge_;
    wchar_t folder_[kPathChars] = L"";
    CInstallation installation_;
    bool found_ = false;
};

int CRemovalRun::Report(int status, UINT messageId, const wchar_t* argument, UINT icon) {
    wchar_t format[kMessageChars];
    if (!LoadStringW(GetModuleHandleW(nullptr), messageId, format, kMessageChars)) format[0] = L'\0';
    if (!argument) return Report(status, format, icon);
    size_t chars = wcslen(format) + wcslen(argument) + 1;
    CHeapBlock message(chars * sizeof(wchar_t));
    if (!message || !FormatText(message.as<wchar_t>(), chars, format, argument)) return Report(status, format, icon);
    return Report(status, message.as<wchar_t>(), icon);
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

int CRemovalRun::Run() {
    CSetupInstanceLock lock;
    if (!lock.Acquire()) return Report(kRemovalSetupRunning, IDS_SETUP_RUNNING, nullptr, MB_ICONWARNING);
    // A folder without the viewer is still an installation while the registry
    // or the record names it (a rerun, or a viewer deleted by a scanner).
    found_ = OwnFolder() && installation_.Find(folder_);
    if (!found_) return Report(kRemovalNoInstallation, IDS_NO_INSTALLATION, folder_, MB_ICONWARNING);
    if (IsViewerRunning()) return Report(kRemovalViewerRunning, IDS_REMOVAL_VIEWER_RUNNING, nullptr, MB_ICONWARNING);
    if (!silent_) {
        wchar_t question[kMessageChars];
        if (!LoadStringW(GetModuleHandleW(nullptr), IDS_REMOVAL_QUESTION, question, kMessageChars))
            question[0] = L'\0';
        if (MessageBoxW(nullptr, question, kProductTitle,
                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND) != IDYES)
            return kRemovalDeclined;
        // The viewer may have been started while the question was open.
        if (IsViewerRunning())
            return Report(kRemovalViewerRunning, IDS_REMOVAL_VIEWER_RUNNING, nullptr, MB_ICONWARNING);
    }

    CRemovalReport report;
    RemoveInstallation(installation_, purge_, report);
    if (!report.Clean()) return Report(kRemovalPartial, IDS_REMOVAL_PARTIAL, report.Items(), MB_ICONWARNING);
    if (!silent_) Report(kRemovalComplete, IDS_REMOVAL_DONE, nullptr, MB_ICONINFORMATION);
    HandOverOwnRemoval(installation_.Folder(), installation_.CreatedParentLevels());
    return kRemovalComplete;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR arguments, int) {
    HardenDllSearch();
    int finished = FinishOwnRemoval(arguments);
    if (finished >= 0) return finished;
    CRemovalRun run(HasSwitch(arguments, L"/silent"), HasSwitch(arguments, L"/purge"));
    return run.Run();
}
