// GDI owners: a font and a brush that delete their objects.
#pragma once

#include <windows.h>

class CFont {
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    bool CreateFontIndirect(const LOGFONTW& logFont) {
        DeleteObject();
        font_ = ::CreateFontIndirectW(&logFont);
        return font_ != nullptr;
    }
    // Takes ownership of a font made elsewhere.
    void Attach(HFONT font) {
        DeleteObject();
        font_ = font;
    }
    void DeleteObject() {
        if (font_) ::DeleteObject(font_);
        font_ = nullptr;
    }
    HFONT GetSafeHandle() const { return font_; }

private:
    HFONT font_ = nullptr;
};

class CBrush {
public:
    CBrush() = default;
    ~CBrush() { DeleteObject(); }
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;

    bool CreateSolidBrush(COLORREF colour) {
        DeleteObject();
        brush_ = ::CreateSolidBrush(colour);
        return brush_ != nullptr;
    }
    void DeleteObject() {
        if (brush_) ::DeleteObject(brush_);
        brush_ = nullptr;
    }
    HBRUSH GetSafeHandle() const { return brush_; }

private:
    HBRUSH brush_ = nullptr;
};

// The LOGFONT of a window's font: its WM_GETFONT font, else the stock default
// GUI font, else the stock ANSI variable-width font.
LOGFONTW WindowLogFont(HWND window);
