// A page of a property sheet, built from a dialog template. Notifications
// arrive in one switch and leave through named overridables.
#pragma once

#include <windows.h>
#include <prsht.h>

class CStatic;

// Data exchange: attaches controls to objects (the only exchange the pages use).
struct CDataExchange {
    HWND dialog;
    bool saveAndValidate;
};

void DDX_Control(CDataExchange* pDX, int id, CStatic& control);

class CPropertyPage {
public:
    CPropertyPage() = default;
    virtual ~CPropertyPage() = default;
    CPropertyPage(const CPropertyPage&) = delete;
    CPropertyPage& operator=(const CPropertyPage&) = delete;

    void Construct(UINT templateId, UINT captionId);
    // The page's caption, which a wizard shows as the sheet's title.
    void SetCaption(const wchar_t* caption);
    UINT TemplateId() const { return templateId_; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

    // The sheet creates the page's window from this.
    HPROPSHEETPAGE CreatePage();

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    // TRUE: the page may become active.
    virtual BOOL OnSetActive() { return TRUE; }
    // 0: the neighbouring page; a template id: that page; -1: stay.
    virtual LRESULT OnWizardNext() { return 0; }
    virtual LRESULT OnWizardBack() { return 0; }
    // A BN_CLICKED from one of the page's buttons; true when handled.
    virtual bool OnButtonClicked(int) { return false; }

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnNotify(const NMHDR& header);

    UINT templateId_ = 0;
    PROPSHEETPAGEW page_ = {};
};
