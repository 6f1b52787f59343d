// A static control that paints its own text.
#include "wizard/ColorStatic.h"

#include "platform/Text.h"

UINT ColorStaticDrawFlags(LONG style) {
    UINT flags = DT_LEFT;
    LONG alignment = style & SS_TYPEMASK;
    if (alignment == SS_CENTER) {
        flags = DT_CENTER;
    } else if (alignment == SS_RIGHT) {
        flags = DT_RIGHT;
    }
    return flags | ((style & SS_CENTERIMAGE) ? DT_VCENTER | DT_SINGLELINE : DT_WORDBREAK);
}

CXColorStatic::CXColorStatic()
    : textColour_(GetSysColor(COLOR_BTNTEXT)), backgroundColour_(GetSysColor(COLOR_BTNFACE)) {
    backgroundBrush_.CreateSolidBrush(backgroundColour_);
}

CXColorStatic::~CXColorStatic() = default;

void CXColorStatic::PreSubclassWindow() {
    LOGFONTW logFont = WindowLogFont(m_hWnd);
    drawFont_.CreateFontIndirect(logFont);
}

void CXColorStatic::Repaint() {
    if (m_hWnd) RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CXColorStatic::SetForegroundColour(COLORREF colour, bool redraw) {
    textColour_ = colour;
    if (redraw) Repaint();
}

void CXColorStatic::SetBoldFlag(bool bold, bool redraw) {
    boldFlag_ = bold ? 1 : 0;
    // The dialog's font for the control, not the one drawn with.
    LOGFONTW logFont = WindowLogFont(m_hWnd);
    logFont.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    RebuildFont(&logFont, redraw);
}

void CXColorStatic::SetFaceAndHeight(const wchar_t* face, int height, bool redraw) {
    LOGFONTW logFont = {};
    if (face) {
        CopyText(logFont.lfFaceName, face);
    } else {
        logFont = WindowLogFont(m_hWnd);
    }
    logFont.lfHeight = height;
    logFont.lfQuality = ANTIALIASED_QUALITY;
    RebuildFont(&logFont, redraw);
}

void CXColorStatic::RebuildFont(const LOGFONTW* logFont, bool redraw) {
    if (!logFont) return;
    LOGFONTW copy = *logFont;
    // The weight always follows the bold flag, whatever the caller gave.
    copy.lfWeight = boldFlag_ ? FW_BOLD : FW_NORMAL;
    drawFont_.CreateFontIndirect(copy);
    if (redraw) Repaint();
}

void CXColorStatic::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    int saved = SaveDC(dc);
    SetTextColor(dc, textColour_);
    SetBkColor(dc, backgroundColour_);
    SetBkMode(dc, OPAQUE);
    SelectObject(dc, backgroundBrush_.GetSafeHandle());
    if (drawFont_.GetSafeHandle()) SelectObject(dc, drawFont_.GetSafeHandle());
    wchar_t text[512];
    GetWindowTextW(m_hWnd, text, 512);
    RECT client;
    GetClientRect(m_hWnd, &client);
    DrawTextW(dc, text, -1, &client, ColorStaticDrawFlags(GetWindowLongW(m_hWnd, GWL_STYLE)));
    RestoreDC(dc, saved);
    EndPaint(m_hWnd, &paint);
}

LRESULT CXColorStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(m_hWnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, backgroundBrush_.GetSafeHandle());
        return TRUE;
    }
    }
    return Default(message, wParam, lParam);
}
