// The wizard frame.
#include "wizard/WizardSheet.h"

#include "app/SystemProbes.h"
#include "wizard/WizardPage.h"
#include "wizard/resource.h"

namespace {
constexpr UINT kQuestionStyle = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
}  // namespace

CWizPropertySheet::CWizPropertySheet() : CPropertySheet(L"Lumidor Setup", nullptr, 0) { SetWizardMode(); }

CWizPropertySheet::~CWizPropertySheet() = default;

void CWizPropertySheet::AddWizardPage(CWizPropertyPage* page) {
    AddPage(page);
    page->sheet = this;
}

CWizPropertyPage* CWizPropertySheet::WizardPage(int index) const {
    return static_cast<CWizPropertyPage*>(GetPage(index));
}

BOOL CWizPropertySheet::OnInitDialog() {
    CopyText(wizardTitle, kSetupTitle);
    BOOL result = CPropertySheet::OnInitDialog();
    wchar_t caption[64];
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_CANCEL_CAPTION, caption, 64))
        SetWindowTextW(GetDlgItem(IDCANCEL), caption);
    SetWindowTextW(m_hWnd, wizardTitle);
    return result;
}

bool CWizPropertySheet::ConfirmCancel() {
    wchar_t question[128];
    if (!LoadStringW(GetModuleHandleW(nullptr), IDS_CANCEL_QUESTION, question, 128)) question[0] = L'\0';
    return MessageBoxW(m_hWnd, question, wizardTitle, kQuestionStyle) != IDNO;
}

BOOL CWizPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != IDCANCEL || closeConfirmed_) return CPropertySheet::OnCommand(wParam, lParam);
    if (GetActiveIndex() == kFinishPage) {
        WizardPage(kFinishPage)->RunFinishActions();
    } else if (!ConfirmCancel()) {
        return TRUE;  // stay on the page
    }
    return CPropertySheet::OnCommand(wParam, lParam);
}

void CWizPropertySheet::OnSysCommand(UINT id, LPARAM lParam) {
    if (id == SC_CLOSE) {
        if (GetActiveIndex() != kFinishPage && !ConfirmCancel()) return;
        // The dialog turns the close into a Cancel command: not asked again,
        // and on the finish page without the finish actions.
        closeConfirmed_ = true;
        CPropertySheet::OnSysCommand(id, lParam);
        closeConfirmed_ = false;
        return;
    }
    CPropertySheet::OnSysCommand(id, lParam);
}

bool CWizPropertySheet::BringViewerToFront() {
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (HWND viewer = FindWindowExW(nullptr, nullptr, kViewerWindowClass, nullptr)) {
            SetForegroundWindow(viewer);
            return true;
        }
        Sleep(500);
    }
    return false;
}
