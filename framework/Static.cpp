// Static controls taken over by an object.
#include "framework/Static.h"

#include "framework/Gdi.h"

namespace {
const wchar_t kObjectProperty[] = L"LumidorControlObject";
}

LOGFONTW WindowLogFont(HWND window) {
    HGDIOBJ font = window ? reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)) : nullptr;
    if (!font) font = GetStockObject(DEFAULT_GUI_FONT);
    if (!font) font = GetStockObject(ANSI_VAR_FONT);
    LOGFONTW logFont = {};
    if (font) GetObjectW(font, sizeof(logFont), &logFont);
    return logFont;
}

CStatic::~CStatic() { Detach(); }

CStatic* CStatic::FromHandle(HWND window) {
    return static_cast<CStatic*>(GetPropW(window, kObjectProperty));
}

bool CStatic::SubclassWindow(HWND window) {
    if (!window || m_hWnd) return false;
    m_hWnd = window;
    PreSubclassWindow();
    SetPropW(window, kObjectProperty, this);
    originalProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CStatic::StaticProc)));
    return true;
}

BOOL CStatic::DestroyWindow() {
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

HBRUSH CStatic::CtlColor(HDC) { return nullptr; }

LRESULT CStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT CStatic::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(originalProc_, m_hWnd, message, wParam, lParam);
}

void CStatic::Detach() {
    if (!m_hWnd) return;
    if (IsWindow(m_hWnd)) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
        RemovePropW(m_hWnd, kObjectProperty);
    }
    m_hWnd = nullptr;
    originalProc_ = nullptr;
}

LRESULT CALLBACK CStatic::StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CStatic* control = FromHandle(window);
    if (!control) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        WNDPROC original = control->originalProc_;
        control->Detach();
        return CallWindowProcW(original, window, message, wParam, lParam);
    }
    return control->WindowProc(message, wParam, lParam);
}
