// The finish page: "&Fertig stellen" opens the FAQ page and starts the viewer.
#include <windows.h>
#include <shellapi.h>

#include "app/SystemProbes.h"
#include "platform/Text.h"
#include "wizard/DefaultApps.h"
#include "wizard/VendorPages.h"
#include "wizard/WizardPage.h"
#include "wizard/WizardSheet.h"
#include "wizard/resource.h"
#include "platform/SystemDlls.h"

void CWizPropertyPage::ActivateFinishPage() {
    SendDlgItemMessageW(m_hWnd, IDC_FINISH_HEADING, WM_SETFONT,
                        reinterpret_cast<WPARAM>(sheet->titleFont.GetSafeHandle()), TRUE);
    CheckDlgButton(m_hWnd, IDC_SHOW_FAQ, BST_CHECKED);
    CheckDlgButton(m_hWnd, IDC_START_VIEWER, BST_CHECKED);
    wchar_t caption[64];
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_FINISH_CAPTION, caption, 64))
        SetWindowTextW(sheet->GetDlgItem(IDCANCEL), caption);
    EnableWindow(sheet->GetDlgItem(ID_WIZBACK), FALSE);
    EnableWindow(sheet->GetDlgItem(ID_WIZNEXT), FALSE);
}

void CWizPropertyPage::RunFinishActions() {
    if (IsDlgButtonChecked(m_hWnd, IDC_SHOW_FAQ))
        sys::ShellExecuteW(GetDesktopWindow(), L"open", kFaqUrl, nullptr, L"", SW_SHOW);
    StartViewer();
    // Last, so that it is in front: where the user makes the viewer the default.
    if (sheet->associationsChosen) OpenDefaultsPage(DefaultsPageFor(CachedSystemVersionCode()));
}

void CWizPropertyPage::StartViewer() {
    if (!IsDlgButtonChecked(m_hWnd, IDC_START_VIEWER)) return;
    // The folder the files went to: a level of the typed folder may have
    // lost its trailing blanks.
    wchar_t viewer[kPathChars];
    CopyText(viewer, sheet->installedFolder);
    // A viewer path that would pass 259 characters is not started.
    if (!EndsWithBackslash(viewer) && !AppendText(viewer, L"\\")) return;
    if (!AppendText(viewer, L"lumi32.exe")) return;
    sys::ShellExecuteW(GetActiveWindow(), L"open", viewer, L"", nullptr, SW_SHOW);
    Sleep(50);
    sheet->BringViewerToFront();
}
