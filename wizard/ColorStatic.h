// A static control that paints its own text in its own colour and font on a
// solid background (the ready page's installing notice).
#pragma once

#include "framework/Gdi.h"
#include "framework/Static.h"

class CXColorStatic : public CStatic {
public:
    CXColorStatic();
    ~CXColorStatic() override;

    void SetForegroundColour(COLORREF colour, bool redraw);
    void SetBoldFlag(bool bold, bool redraw);
    // face may be null: the control's window font then gives the face.
    void SetFaceAndHeight(const wchar_t* face, int height, bool redraw);

    HFONT DrawFont() const { return drawFont_.GetSafeHandle(); }
    COLORREF TextColour() const { return textColour_; }
    COLORREF BackgroundColour() const { return backgroundColour_; }

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void RebuildFont(const LOGFONTW* logFont, bool redraw);
    void Repaint();
    void OnPaint();

    CFont drawFont_;
    COLORREF textColour_;
    COLORREF backgroundColour_;
    CBrush backgroundBrush_;
    int boldFlag_ = 0;
};

// DrawText flags for a static control's style: alignment, and one centred
// line with SS_CENTERIMAGE, word wrapping otherwise.
UINT ColorStaticDrawFlags(LONG style);
