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
    asking_ = true;
    bool yes = MessageBoxW(m_hWnd, question, wizardTitle, kQuestionStyle) != IDNO;
    asking_ = false;
    return yes;
}

BOOL CWizPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != IDCANCEL) return CPropertySheet::OnCommand(wParam, lParam);
    if (asking_) return TRUE;
    if (GetActiveIndex() == kFinishPage) {
        WizardPage(kFinishPage)->RunFinishActions();
    } else if (!ConfirmCancel()) {
        return TRUE;  // stay on the page
    }
    return CPropertySheet::OnCommand(wParam, lParam);
}

// The low four bits of a system command are the system's own.
void CWizPropertySheet::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == SC_CLOSE) return RequestClose();
    CPropertySheet::OnSysCommand(id, lParam);
}

// Never passed on: the dialog's own handling would post a Cancel command that
// arrives later and asks again, or runs the finish actions.
void CWizPropertySheet::OnClose() { RequestClose(); }

void CWizPropertySheet::RequestClose() {
    if (asking_) return;
    if (GetActiveIndex() != kFinishPage && !ConfirmCancel()) return;
    EndWizard();
}

void CWizPropertySheet::EndWizard() {
    CPropertySheet::OnCommand(MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(IDCANCEL)));
    // A request sent from another thread is handled inside the sheet's wait
    // for messages, which sees that the wizard has ended only when a message
    // is posted.
    PostMessageW(m_hWnd, WM_NULL, 0, 0);
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
