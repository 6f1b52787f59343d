// A property sheet in wizard mode: the pages' array, the frame buttons, and
// the sheet's own command and system-command handling.
#pragma once

#include <windows.h>
#include <prsht.h>

class CPropertyPage;

// The wizard's frame buttons.
constexpr int ID_WIZBACK = 0x3023;
constexpr int ID_WIZNEXT = 0x3024;

class CPropertySheet {
public:
    explicit CPropertySheet(const wchar_t* caption, HWND parent = nullptr, UINT startPage = 0);
    virtual ~CPropertySheet() = default;
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;

    void SetWizardMode() { wizardMode_ = true; }
    void AddPage(CPropertyPage* page);
    INT_PTR DoModal();

    int GetPageCount() const { return pageCount_; }
    CPropertyPage* GetPage(int index) const { return index >= 0 && index < pageCount_ ? pages_[index] : nullptr; }
    int GetActiveIndex() const;
    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

protected:
    // The base runs the sheet's own set-up, which creates and activates the
    // first page.
    virtual BOOL OnInitDialog();
    // Return TRUE when the command was handled; the default passes it on.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnSysCommand(UINT id, LPARAM lParam);
    virtual void OnClose();

    // The sheet's own handling, below our overridables.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam);
    void Subclass(HWND sheet);

    static constexpr int kMaxPages = 8;
    const wchar_t* caption_;
    HWND parent_;
    UINT startPage_;
    bool wizardMode_ = false;
    CPropertyPage* pages_[kMaxPages] = {};
    int pageCount_ = 0;
    WNDPROC originalProc_ = nullptr;
    HHOOK creationHook_ = nullptr;
    WPARAM initWParam_ = 0;
    LPARAM initLParam_ = 0;
};
