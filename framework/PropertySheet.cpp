// A property sheet in wizard mode.
#include "framework/PropertySheet.h"

#include <commctrl.h>

#include "framework/PropertyPage.h"
#include "platform/SystemDlls.h"

namespace {
// The sheet being created: a creation hook carries no user data.
CPropertySheet* creatingSheet = nullptr;
const wchar_t kSheetProperty[] = L"LumidorSheetObject";
}  // namespace

CPropertySheet::CPropertySheet(const wchar_t* caption, HWND parent, UINT startPage)
    : caption_(caption), parent_(parent), startPage_(startPage) {}

void CPropertySheet::AddPage(CPropertyPage* page) {
    if (pageCount_ < kMaxPages) pages_[pageCount_++] = page;
}

int CPropertySheet::GetActiveIndex() const {
    if (!m_hWnd) return static_cast<int>(startPage_);
    HWND current = PropSheet_GetCurrentPageHwnd(m_hWnd);
    return static_cast<int>(SendMessageW(m_hWnd, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(current), 0));
}

INT_PTR CPropertySheet::DoModal() {
    HPROPSHEETPAGE handles[kMaxPages];
    for (int i = 0; i < pageCount_; ++i) handles[i] = pages_[i]->CreatePage();

    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = wizardMode_ ? PSH_WIZARD : PSH_DEFAULT;
    header.hwndParent = parent_;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = caption_;
    header.nPages = static_cast<UINT>(pageCount_);
    header.nStartPage = startPage_;
    header.phpage = handles;

    // The sheet's window is taken over as it is created, so that its own
    // WM_INITDIALOG comes through OnInitDialog (as the framework's sheets do).
    creatingSheet = this;
    creationHook_ = SetWindowsHookExW(WH_CBT, &CPropertySheet::CreationHook, nullptr, GetCurrentThreadId());
    INT_PTR result = sys::PropertySheetW(&header);
    if (creationHook_) UnhookWindowsHookEx(creationHook_);
    creationHook_ = nullptr;
    creatingSheet = nullptr;
    m_hWnd = nullptr;
    return result;
}

BOOL CPropertySheet::OnInitDialog() {
    return static_cast<BOOL>(DefaultProc(WM_INITDIALOG, initWParam_, initLParam_));
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
    return static_cast<BOOL>(DefaultProc(WM_COMMAND, wParam, lParam));
}

void CPropertySheet::OnSysCommand(UINT id, LPARAM lParam) { DefaultProc(WM_SYSCOMMAND, id, lParam); }

void CPropertySheet::OnClose() { DefaultProc(WM_CLOSE, 0, 0); }

LRESULT CPropertySheet::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(originalProc_, m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CPropertySheet::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    CPropertySheet* self = creatingSheet;
    HHOOK hook = self ? self->creationHook_ : nullptr;
    if (code == HCBT_CREATEWND && self && !self->m_hWnd) {
        // The first window made is the sheet itself; its pages follow as children.
        auto creation = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        if (!(creation->lpcs->style & WS_CHILD)) {
            self->Subclass(reinterpret_cast<HWND>(wParam));
            UnhookWindowsHookEx(self->creationHook_);
            self->creationHook_ = nullptr;
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

void CPropertySheet::Subclass(HWND sheet) {
    m_hWnd = sheet;
    SetPropW(sheet, kSheetProperty, this);
    originalProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CPropertySheet::SheetProc)));
}

LRESULT CALLBACK CPropertySheet::SheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
    auto self = static_cast<CPropertySheet*>(GetPropW(sheet, kSheetProperty));
    if (!self) return DefWindowProcW(sheet, message, wParam, lParam);
    switch (message) {
    case WM_INITDIALOG:
        self->initWParam_ = wParam;
        self->initLParam_ = lParam;
        return self->OnInitDialog();
    case WM_COMMAND:
        return self->OnCommand(wParam, lParam);
    case WM_SYSCOMMAND:
        self->OnSysCommand(static_cast<UINT>(wParam), lParam);
        return 0;
    case WM_CLOSE:
        self->OnClose();
        return 0;
    case WM_NCDESTROY: {
        WNDPROC original = self->originalProc_;
        SetWindowLongPtrW(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(sheet, kSheetProperty);
        return CallWindowProcW(original, sheet, message, wParam, lParam);
    }
    }
    return self->DefaultProc(message, wParam, lParam);
}
