// The what's-new page (release notes) and the ready page (INI folder, and the
// installation itself under the red waiting notice).
#include "app/Message.h"
#include "app/SystemProbes.h"
#include "install/InstallDriver.h"
#include "platform/Scoped.h"
#include "platform/Text.h"
#include "wizard/WizardPage.h"
#include "wizard/WizardRules.h"
#include "wizard/WizardSheet.h"
#include "wizard/resource.h"

namespace {

constexpr size_t kReleaseNotesChars = 10240;

void EnableFrameButtons(HWND sheet, BOOL enable) {
    const int buttons[] = {ID_WIZBACK, ID_WIZNEXT, IDCANCEL};
    for (int id : buttons) EnableWindow(GetDlgItem(sheet, id), enable);
}

}  // namespace

void CWizPropertyPage::ShowReleaseNotes() {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(IDR_RELEASE_NOTES), L"TXT");
    HGLOBAL loaded = found ? LoadResource(self, found) : nullptr;
    const wchar_t* text = loaded ? static_cast<const wchar_t*>(LockResource(loaded)) : nullptr;
    if (!text) return;
    // Used as stored, byte-order mark included; the last character stays the terminator.
    CHeapBlock block(kReleaseNotesChars * sizeof(wchar_t), true);
    wchar_t* notes = block.as<wchar_t>();
    if (!notes) return;
    size_t units = SizeofResource(self, found) / sizeof(wchar_t);
    wmemcpy(notes, text, units < kReleaseNotesChars - 1 ? units : kReleaseNotesChars - 1);
    StripAfterLastAlphanumeric(notes);
    SetDlgItemTextW(m_hWnd, IDC_RELEASE_NOTES, notes);
}

void CWizPropertyPage::ActivateReadyPage() {
    SendDlgItemMessageW(m_hWnd, IDC_READY_HEADING, WM_SETFONT,
                        reinterpret_cast<WPARAM>(sheet->titleFont.GetSafeHandle()), TRUE);
    wchar_t folder[kPathChars];
    ReadTargetFolder(folder, kPathChars);
    wchar_t label[50];
    if (!LoadStringW(GetModuleHandleW(nullptr), IDS_FOLDER_LABEL, label, 50)) label[0] = L'\0';
    wchar_t line[kPathChars + 64];
    FormatText(line, ARRAYSIZE(line), L"%s: %s", label, folder);
    SetDlgItemTextW(m_hWnd, IDC_READY_FOLDER, line);

    // Reset on every activation: the application-data folder from Vista on,
    // the program folder on XP.
    bool vistaOrLater = IsVistaOrLaterSystem();
    CheckDlgButton(m_hWnd, IDC_INI_PROGRAM_FOLDER, vistaOrLater ? BST_UNCHECKED : BST_CHECKED);
    CheckDlgButton(m_hWnd, IDC_INI_APPLICATION_DATA, vistaOrLater ? BST_CHECKED : BST_UNCHECKED);
}

LRESULT CWizPropertyPage::RunInstallation() {
    InstallOptions options = {};
    ReadTargetFolder(options.targetFolder, kTargetFolderChars);
    if (IsViewerRunning(options.targetFolder)) {
        sheet->exitStatus = kExitViewerRunning;
        ShowWarning(IDS_VIEWER_RUNNING, MB_OK | MB_ICONEXCLAMATION);
        return -1;
    }

    HWND welcome = PageWindow(kWelcomePage);
    options.startMenuGroup = IsDlgButtonChecked(welcome, IDC_START_MENU_GROUP) ? 1 : 0;
    options.desktopShortcut = IsDlgButtonChecked(welcome, IDC_DESKTOP_SHORTCUT) ? 1 : 0;
    options.thumbnailsShortcut = IsDlgButtonChecked(welcome, IDC_THUMBNAILS_SHORTCUT) ? 1 : 0;
    options.allUsers = IsDlgButtonChecked(welcome, IDC_ALL_USERS) ? 1 : 0;
    ReadAssociationChoices(options);
    CopyText(options.iniFolder, IsDlgButtonChecked(m_hWnd, IDC_INI_APPLICATION_DATA) ? kDefaultIniFolder : L"");
    options.silent = 0;
    CopyText(options.messageCaption, sheet->wizardTitle);

    // Painted now: no message is handled until the installation returns.
    HWND notice = GetDlgItem(IDC_INSTALLING_NOTICE);
    ShowWindow(notice, SW_SHOW);
    UpdateWindow(notice);
    EnableFrameButtons(sheet->GetSafeHwnd(), FALSE);
    InstallOutcome outcome;
    int installed = PerformInstallation(options, &outcome);
    EnableFrameButtons(sheet->GetSafeHwnd(), TRUE);
    sheet->exitStatus = ExitStatusOf(outcome);
    sheet->associationsChosen = outcome.associationsChosen;
    if (!installed) return IDD_WELCOME;
    CopyText(sheet->installedFolder, options.targetFolder);
    // Installed, but files in use or read-only stayed as they were.
    if (outcome.notReplaced.Count()) {
        CMessage message(IDS_FILES_NOT_REPLACED, outcome.notReplaced);
        MessageBoxW(GetActiveWindow(), message.Text(), sheet->wizardTitle, MB_OK | MB_ICONWARNING);
    }
    return FindNeighbourPage(true);
}
