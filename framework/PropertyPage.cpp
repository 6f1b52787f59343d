// A page of a property sheet.
#include "framework/PropertyPage.h"

#include "framework/Static.h"
#include "platform/SystemDlls.h"

void DDX_Control(CDataExchange* pDX, int id, CStatic& control) {
    if (!control.GetSafeHwnd()) control.SubclassWindow(GetDlgItem(pDX->dialog, id));
}

void CPropertyPage::Construct(UINT templateId, UINT) {
    templateId_ = templateId;
    page_ = {};
    page_.dwSize = sizeof(page_);
    page_.dwFlags = PSP_DEFAULT;
    page_.hInstance = GetModuleHandleW(nullptr);
    page_.pszTemplate = MAKEINTRESOURCEW(templateId);
    page_.pfnDlgProc = &CPropertyPage::DialogProc;
    page_.lParam = reinterpret_cast<LPARAM>(this);
}

void CPropertyPage::SetCaption(const wchar_t* caption) {
    page_.dwFlags |= PSP_USETITLE;
    page_.pszTitle = caption;
}

HPROPSHEETPAGE CPropertyPage::CreatePage() { return sys::CreatePropertySheetPageW(&page_); }

INT_PTR CPropertyPage::OnNotify(const NMHDR& header) {
    LRESULT result = 0;
    switch (header.code) {
    case PSN_SETACTIVE: result = OnSetActive() ? 0 : -1; break;
    case PSN_WIZNEXT: result = OnWizardNext(); break;
    case PSN_WIZBACK: result = OnWizardBack(); break;
    default: return FALSE;
    }
    SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CPropertyPage::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    CPropertyPage* page = reinterpret_cast<CPropertyPage*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        page = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        page->m_hWnd = dialog;
        CDataExchange exchange = {dialog, false};
        page->DoDataExchange(&exchange);
        return TRUE;
    }
    case WM_NOTIFY:
        return page ? page->OnNotify(*reinterpret_cast<NMHDR*>(lParam)) : FALSE;
    case WM_COMMAND: {
        if (!page) return FALSE;
        HWND control = reinterpret_cast<HWND>(lParam);
        // A click on one of our statics goes back to its object.
        if (HIWORD(wParam) == STN_CLICKED && control) {
            if (CStatic* owner = CStatic::FromHandle(control)) {
                owner->OnClicked();
                return TRUE;
            }
        }
        if (HIWORD(wParam) == BN_CLICKED) return page->OnButtonClicked(LOWORD(wParam)) ? TRUE : FALSE;
        return FALSE;
    }
    case WM_CTLCOLORSTATIC:
        if (CStatic* owner = CStatic::FromHandle(reinterpret_cast<HWND>(lParam))) {
            if (HBRUSH brush = owner->CtlColor(reinterpret_cast<HDC>(wParam))) return reinterpret_cast<INT_PTR>(brush);
        }
        return FALSE;
    case WM_DESTROY:
        if (page) page->m_hWnd = nullptr;
        return FALSE;
    }
    return FALSE;
}
