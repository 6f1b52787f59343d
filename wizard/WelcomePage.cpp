// The welcome page: shortcut choices, the target folder and its check, the
// folder dialog, and the running-viewer warning.
#include <windows.h>
#include <shlobj.h>

#include "app/SystemProbes.h"
#include "platform/Text.h"
#include "wizard/WizardPage.h"
#include "wizard/WizardRules.h"
#include "wizard/WizardSheet.h"
#include "wizard/resource.h"
#include "platform/SystemDlls.h"

namespace {

const wchar_t kBitness[] = L"32";

// Opens the dialog on the start folder (one trailing backslash removed).
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED) {
        wchar_t start[kPathChars];
        CopyText(start, reinterpret_cast<const wchar_t*>(data));
        size_t length = wcslen(start);
        if (length > 3 && start[length - 1] == L'\\') start[length - 1] = L'\0';
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start));
    }
    return 0;
}

// The folder browser; path[260] holds the start folder and receives the
// choice with a trailing backslash. False when cancelled or not a folder.
bool ShowFolderDialog(HWND owner, wchar_t* path) {
    wchar_t title[50];
    if (!LoadStringW(GetModuleHandleW(nullptr), IDS_FOLDER_DIALOG_TITLE, title, 50)) title[0] = L'\0';
    wchar_t displayName[kPathChars];
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    browse.lpfn = &BrowseCallback;
    browse.lParam = reinterpret_cast<LPARAM>(path);
    LPITEMIDLIST chosen = sys::SHBrowseForFolderW(&browse);
    if (!chosen) return false;
    wchar_t folder[MAX_PATH];
    bool found = sys::SHGetPathFromIDListW(chosen, folder) != FALSE;
    CoTaskMemFree(chosen);
    if (!found) return false;
    CopyText(path, kPathChars, folder);
    if (!EndsWithBackslash(path)) AppendText(path, kPathChars, L"\\");
    return true;
}

// Formats a control's own template text with up to two texts.
void FormatControlText(HWND control, const wchar_t* first, const wchar_t* second) {
    wchar_t format[512];
    wchar_t text[512];
    GetWindowTextW(control, format, 512);
    FormatText(text, 512, format, first, second);
    SetWindowTextW(control, text);
}

}  // namespace

void CWizPropertyPage::ActivateWelcomePage() {
    EnableWindow(sheet->GetDlgItem(ID_WIZBACK), FALSE);
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SETUP));
    SendMessageW(sheet->GetSafeHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    if (firstActivation) {
        SetWindowTextW(sheet->GetDlgItem(ID_WIZBACK), L"< &Zur\u00fcck");
        SetWindowTextW(sheet->GetDlgItem(ID_WIZNEXT), L"&Weiter >");
        SendDlgItemMessageW(m_hWnd, IDC_WELCOME_HEADING, WM_SETFONT,
                            reinterpret_cast<WPARAM>(sheet->titleFont.GetSafeHandle()), TRUE);
        FormatControlText(GetDlgItem(IDC_WELCOME_HEADING), kBitness, nullptr);
        wchar_t version[16];
        FormatText(version, 16, L"%d.%d", 4, 76);
        FormatControlText(GetDlgItem(IDC_VERSION_LINE), version, kBitness);
        const int checkedAtFirst[] = {IDC_DESKTOP_SHORTCUT, IDC_THUMBNAILS_SHORTCUT, IDC_START_MENU_GROUP, IDC_CURRENT_USER};
        for (int id : checkedAtFirst)
            CheckDlgButton(m_hWnd, id, BST_CHECKED);

        wchar_t folder[kPathChars];
        GetDefaultInstallFolder(folder, kPathChars);
        SetDlgItemTextW(m_hWnd, IDC_TARGET_FOLDER, folder);
        if (FindPreviousInstallFolder(folder, kPathChars)) SetDlgItemTextW(m_hWnd, IDC_TARGET_FOLDER, folder);
    }
    // A warning only: the ready page refuses to install while the viewer runs.
    wchar_t folder[kPathChars];
    GetDlgItemTextW(m_hWnd, IDC_TARGET_FOLDER, folder, kPathChars);
    if (IsViewerRunning(folder)) ShowWarning(IDS_VIEWER_RUNNING, MB_OK | MB_ICONEXCLAMATION);
    firstActivation = 0;
}

bool CWizPropertyPage::ValidateTargetFolder() {
    wchar_t folder[kPathChars];
    GetDlgItemTextW(m_hWnd, IDC_TARGET_FOLDER, folder, kPathChars);
    if (IsAcceptedTargetFolder(folder)) return true;
    ShowWarning(IDS_INVALID_FOLDER, MB_ICONERROR);
    return false;
}

void CWizPropertyPage::BrowseForTargetFolder() {
    wchar_t path[kPathChars];
    GetDlgItemTextW(m_hWnd, IDC_TARGET_FOLDER, path, kPathChars);
    if (!ShowFolderDialog(GetActiveWindow(), path)) return;
    // A path that would pass 259 characters with "Lumidor\" never reaches the field.
    if (MakeInstallFolderFromChoice(path, kPathChars)) SetDlgItemTextW(m_hWnd, IDC_TARGET_FOLDER, path);
}

void CWizPropertyPage::UpdateUserScopeButtons() {
    bool any = IsDlgButtonChecked(m_hWnd, IDC_DESKTOP_SHORTCUT) || IsDlgButtonChecked(m_hWnd, IDC_THUMBNAILS_SHORTCUT) ||
               IsDlgButtonChecked(m_hWnd, IDC_START_MENU_GROUP);
    EnableWindow(GetDlgItem(IDC_CURRENT_USER), any);
    EnableWindow(GetDlgItem(IDC_ALL_USERS), any);
}

void CWizPropertyPage::ClearShortcutChoices() {
    const int shortcutBoxes[] = {IDC_DESKTOP_SHORTCUT, IDC_THUMBNAILS_SHORTCUT, IDC_START_MENU_GROUP};
    for (int id : shortcutBoxes)
        CheckDlgButton(m_hWnd, id, BST_UNCHECKED);
    EnableWindow(GetDlgItem(IDC_CURRENT_USER), FALSE);
    EnableWindow(GetDlgItem(IDC_ALL_USERS), FALSE);
}
