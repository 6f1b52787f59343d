// Static controls of a dialog taken over by an object (subclassing). The
// owner dialog reflects WM_CTLCOLORSTATIC and STN_CLICKED to the object.
#pragma once

#include <windows.h>

class CStatic {
public:
    CStatic() = default;
    virtual ~CStatic();
    CStatic(const CStatic&) = delete;
    CStatic& operator=(const CStatic&) = delete;

    // Attaches to an existing control: PreSubclassWindow, then our window procedure.
    bool SubclassWindow(HWND window);
    virtual BOOL DestroyWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object that owns a subclassed control, or null.
    static CStatic* FromHandle(HWND window);

    // Reflected from the parent: the brush for WM_CTLCOLORSTATIC (null: the
    // parent's default), and a click (STN_CLICKED).
    virtual HBRUSH CtlColor(HDC dc);
    virtual void OnClicked() {}

protected:
    virtual void PreSubclassWindow() {}
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();

    WNDPROC originalProc_ = nullptr;
};
