// One installation from end to end.
#include "install/InstallDriver.h"

#include <windows.h>

#include "app/ExitStatus.h"
#include "app/InstallLog.h"
#include "app/ResourceIds.h"
#include "install/IconLibrary.h"
#include "install/InstallInventory.h"
#include "app/Message.h"
#include "install/PayloadExtraction.h"
#include "install/PhaseMark.h"
#include "install/Registration.h"
#include "install/ViewerSettings.h"
#include "platform/FileIdentity.h"
#include "platform/Folders.h"
#include "platform/RestartRemovals.h"
#include "platform/Text.h"

namespace {

const wchar_t kArchiveName[] = L"lumipg_x32.zip";
constexpr UINT kQuestionStyle = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;  // 0x124

// Longest file name the installation itself appends to its folder.
const wchar_t* const kInstalledNames[] = {L"Plugins\\Icons.dll", L"lumi32.ini", L"lumi32.exe"};

// Failures are shown in the wizard and logged in silent mode, where the log
// lies in the folder the program was started from.
class CFailureReport {
public:
    CFailureReport(const InstallOptions& options, InstallOutcome* outcome) : options_(options), outcome_(outcome) {
        DWORD length = GetCurrentDirectoryW(ARRAYSIZE(startFolder_), startFolder_);
        if (length == 0 || length >= ARRAYSIZE(startFolder_)) startFolder_[0] = L'\0';
        if (outcome_) {
            outcome_->failureMessageId = 0;
            outcome_->failureLine[0] = L'\0';
        }
    }

    // Message first for the folder errors, folder first for the unpacking error.
    int Fail(int messageId, const wchar_t* folder) {
        if (outcome_) outcome_->failureMessageId = messageId;
        wchar_t message[1024];
        if (!LoadStringW(GetModuleHandleW(nullptr), messageId, message, 1024)) message[0] = L'\0';
        if (options_.silent) {
            wchar_t line[ARRAYSIZE(outcome_->failureLine)];
            if (messageId == IDS_INSTALL_FAILED) {
                FormatText(line, ARRAYSIZE(line), L"%s: %s", folder, message);
            } else {
                FormatText(line, ARRAYSIZE(line), L"%s: %s", message, folder);
            }
            if (outcome_) CopyText(outcome_->failureLine, line);
            if (!outcome_ || !outcome_->runLog) WriteInstallLog(line, startFolder_);
        } else {
            MessageBoxW(GetActiveWindow(), message, options_.messageCaption, MB_ICONERROR);
        }
        return 0;
    }

    // Files that could not be replaced: one entry naming them, in silent mode
    // (the wizard says so itself once the installation is done).
    void NotReplaced(const CTextList& files) {
        if (!options_.silent || files.Count() == 0 || (outcome_ && outcome_->runLog)) return;
        WriteInstallLog(CMessage(IDS_FILES_NOT_REPLACED, files).Text(), startFolder_);
    }

private:
    const InstallOptions& options_;
    InstallOutcome* outcome_;
    wchar_t startFolder_[520];
};

// Shortcuts and commands would point at nothing unless the viewer is a file
// in the folder (a folder of that name is not; a locked file left as it was is).
bool ViewerArrived(const wchar_t* folder) {
    wchar_t viewer[kPathChars];
    if (!FormatText(viewer, kPathChars, L"%slumi32.exe", folder)) return false;
    DWORD attributes = GetFileAttributesW(viewer);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool IsFullyQualifiedFolder(const wchar_t* folder) {
    wchar_t first = folder[0];
    if (((first >= L'A' && first <= L'Z') || (first >= L'a' && first <= L'z')) && folder[1] == L':')
        return folder[2] == L'\\';
    if (folder[0] != L'\\' || folder[1] != L'\\') return false;
    // "\\server\share": both parts named; "\\?\" and "\\.\" are device paths.
    const wchar_t* server = folder + 2;
    const wchar_t* serverEnd = wcschr(server, L'\\');
    if (!serverEnd || serverEnd == server) return false;
    if (serverEnd - server == 1 && (server[0] == L'?' || server[0] == L'.')) return false;
    const wchar_t* share = serverEnd + 1;
    return *share != L'\0' && *share != L'\\';
}

bool FolderFitsInstallation(const wchar_t* folder, size_t longestEntryName) {
    size_t longest = longestEntryName;
    for (const wchar_t* name : kInstalledNames) {
        if (wcslen(name) > longest) longest = wcslen(name);
    }
    size_t length = wcslen(folder);
    if (length > 0 && folder[length - 1] != L'\\') ++length;
    return length + longest <= kPathChars - 1;
}

int ExitStatusOf(const InstallOutcome& outcome) {
    switch (outcome.failureMessageId) {
    case 0: return outcome.notReplaced.Count() ? kExitFilesNotReplaced : kExitInstalled;
    case IDS_INVALID_FOLDER: return kExitInvalidFolder;
    case IDS_CANNOT_CREATE_FOLDER: return kExitCannotCreateFolder;
    default: return kExitInstallFailed;
    }
}

int PerformInstallation(InstallOptions& options, InstallOutcome* outcome) {
    CFailureReport report(options, outcome);
    InstallOutcome ownOutcome;
    CTextList& notReplaced = (outcome ? *outcome : ownOutcome).notReplaced;

    wchar_t folder[kTargetFolderChars];
    CopyText(folder, options.targetFolder);
    if (folder[0] == L'\0') return report.Fail(IDS_INVALID_FOLDER, folder);
    // A relative folder would be installed wherever the program was started.
    TrimSpaces(folder);
    if (!IsFullyQualifiedFolder(folder)) return report.Fail(IDS_INVALID_FOLDER, folder);
    // Without "." or ".." levels before anything is made ("x\.." must not make
    // x), and in the canonical form, long names included, once it is made:
    // that is how the folder is recorded everywhere.
    size_t longestEntry = LongestPayloadEntryName(IDR_PAYLOAD, L"ZIP");
    if (!CanonicalFolder(folder, kTargetFolderChars) && wcslen(folder) < kTargetFolderChars - 1 &&
        !EndsWithBackslash(folder))
        AppendText(folder, L"\\");
    if (!FolderFitsInstallation(folder, longestEntry)) return report.Fail(IDS_CANNOT_CREATE_FOLDER, folder);
    CInstallInventory inventory;
    inventory.NoteFolderBefore(folder);
    if (!EnsureFolder(folder)) return report.Fail(IDS_CANNOT_CREATE_FOLDER, folder);
    CanonicalFolder(folder, kTargetFolderChars);
    if (!FolderFitsInstallation(folder, longestEntry)) return report.Fail(IDS_CANNOT_CREATE_FOLDER, folder);
    inventory.NoteFolderMade(folder);
    // An earlier removal may have left this folder's files for the restart.
    FileIdentity folderIdentity;
    if (IdentityOfPath(folder, folderIdentity)) CancelRestartRemovalsWithin(folderIdentity);

    wchar_t pluginsFolder[kPathChars];
    FormatText(pluginsFolder, kPathChars, L"%sPlugins", folder);
    EnsureFolder(pluginsFolder);
    wchar_t iconsDll[kPathChars];
    FormatText(iconsDll, kPathChars, L"%sIcons.dll", pluginsFolder);
    int keepInstalledIconsDll = KeepInstalledIconsDll(iconsDll) ? 1 : 0;

    if (ExtractPayload(IDR_PAYLOAD, L"ZIP", kArchiveName, folder, keepInstalledIconsDll, &notReplaced) != 0 ||
        !ViewerArrived(folder))
        return report.Fail(IDS_INSTALL_FAILED, folder);
    report.NotReplaced(notReplaced);
    MARK_PHASE("extraction");

    // From here on everything names the folder the files are in, which
    // differs from the text given when a level of it ended in blanks.
    wchar_t settingsIniPath[kPathChars];
    bool settingsFolderCreated = false;
    WriteViewerSettings(folder, options.iniFolder, options.silent, settingsIniPath, &settingsFolderCreated);
    MARK_PHASE("settings");

    int associationConfirmed = 1;
    if (options.associationRequested && !options.silent) {
        wchar_t question[1024];
        if (!LoadStringW(GetModuleHandleW(nullptr), IDS_ASSOCIATION_QUESTION, question, 1024)) question[0] = L'\0';
        if (MessageBoxW(GetActiveWindow(), question, options.messageCaption, kQuestionStyle) == IDNO)
            associationConfirmed = 0;
    }

    if (outcome) outcome->associationsChosen = options.associationRequested && associationConfirmed;
    inventory.NoteRegistryBefore();
    MARK_PHASE("what the registry held before");
    RegistrationStep(associationConfirmed, options.associationRequested, folder,
                     options.startMenuGroup, options.desktopShortcut, options.thumbnailsShortcut, options.allUsers,
                     options.associationRows, options.associateForAllUsers, &inventory);
    wchar_t settingsFolder[kPathChars];
    bool separateSettings = CopyText(settingsFolder, settingsIniPath) && CutLastLevel(settingsFolder) &&
                            !SameItem(settingsFolder, folder);
    inventory.WriteRecord(separateSettings ? settingsFolder : nullptr, settingsFolderCreated);
    MARK_PHASE("installation record");
    ConvertIniToUnicode(settingsIniPath);
    MARK_PHASE("settings in UTF-16");
    CopyText(options.targetFolder, folder);
    return 1;
}
