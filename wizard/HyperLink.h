// A static control that looks and acts like a web link (the welcome page's
// licence link).
#pragma once

#include <stddef.h>

#include "framework/Gdi.h"
#include "framework/Static.h"

constexpr size_t kLinkTargetChars = 1024;

class CHyperLink : public CStatic {
public:
    CHyperLink() = default;
    ~CHyperLink() override;

    // -1: underlined while the mouse is over it; 1: always; else never.
    void SetUnderlineMode(int mode);
    void SetLinkTarget(const wchar_t* target);
    BOOL DestroyWindow() override;

    // The shell's result (above 32 = success), falling back on the ".htm"
    // handler's command.
    static HINSTANCE OpenLinkTarget(const wchar_t* target, int showCommand);

    COLORREF CurrentColour() const;
    bool Visited() const { return visited_ != 0; }
    HFONT UnderlinedFont() const { return underlinedFont_.GetSafeHandle(); }
    HFONT PlainFont() const { return plainFont_.GetSafeHandle(); }

    HBRUSH CtlColor(HDC dc) override;
    void OnClicked() override;

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FitToText();
    void LoadHandCursor();
    void UseFont(HFONT font);

    COLORREF unvisitedColour_ = RGB(0, 0, 238);
    COLORREF visitedColour_ = RGB(85, 26, 139);
    COLORREF hoverColour_ = RGB(255, 0, 0);
    int mouseOver_ = 0;
    int visited_ = 0;
    int underlineMode_ = -1;
    int fitToText_ = 1;
    wchar_t target_[kLinkTargetChars] = L"";
    CFont underlinedFont_;
    CFont plainFont_;
    HCURSOR handCursor_ = nullptr;
    UINT_PTR hoverTimerId_ = 100;
};

// The window rectangle that fits a text extent, by the control's alignment
// style. window and client are in the parent's client coordinates.
RECT FitLinkRectangle(const RECT& window, const RECT& client, SIZE text, LONG style);

// The ".htm" handler's command cut before its "%1" (quoted or bare), with a
// blank and the target appended; false when it does not fit.
bool BuildHandlerCommand(const wchar_t* command, const wchar_t* target, wchar_t* out, size_t cchOut);
