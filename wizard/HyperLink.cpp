// A static control that looks and acts like a web link.
#include "wizard/HyperLink.h"

#include <shellapi.h>
#include <wchar.h>

#include "platform/Registry.h"
#include "platform/Scoped.h"
#include "platform/Text.h"
#include "platform/SystemDlls.h"

namespace {

constexpr UINT kHoverPeriodMs = 100;
constexpr int kHandCursorId = 106;  // in winhlp32.exe

// Half a difference, truncated toward zero, taken from each side.
void ShrinkBothSides(LONG& low, LONG& high, LONG needed) {
    LONG half = ((high - low) - needed) / 2;
    low += half;
    high -= half;
}

// Room for the value, in bytes, and the characters that hold it and the
// terminator that may not be stored with it.
constexpr DWORD kClassValueBytes = 260;
constexpr size_t kClassValueChars = kClassValueBytes / sizeof(wchar_t) + 1;

// A default value of HKEY_CLASSES_ROOT\path read whole into 260 bytes; false
// when the key is missing or the value would not fit (a command read only in
// part is never run).
bool ReadClassDefault(const wchar_t* path, wchar_t (&out)[kClassValueChars]) {
    CScopedKey key;
    if (OpenKey(HKEY_CLASSES_ROOT, path, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD cbData = kClassValueBytes;
    if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(out), &cbData) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    out[cbData / sizeof(wchar_t)] = L'\0';
    return true;
}

}  // namespace

RECT FitLinkRectangle(const RECT& window, const RECT& client, SIZE text, LONG style) {
    RECT fitted = window;
    LONG neededWidth = (window.right - window.left) - (client.right - client.left) + text.cx;
    LONG neededHeight = (window.bottom - window.top) - (client.bottom - client.top) + text.cy;
    if (style & SS_CENTERIMAGE) {
        ShrinkBothSides(fitted.top, fitted.bottom, neededHeight);
    } else {
        fitted.bottom = fitted.top + neededHeight;
    }
    LONG alignment = style & SS_TYPEMASK;
    if (alignment == SS_CENTER) {
        ShrinkBothSides(fitted.left, fitted.right, neededWidth);
    } else if (alignment == SS_RIGHT) {
        fitted.left = fitted.right - neededWidth;
    } else {
        fitted.right = fitted.left + neededWidth;
    }
    return fitted;
}

bool BuildHandlerCommand(const wchar_t* command, const wchar_t* target, wchar_t* out, size_t cchOut) {
    if (!CopyText(out, cchOut, command)) return false;
    wchar_t* placeholder = wcsstr(out, L"\"%1\"");
    if (!placeholder) placeholder = wcsstr(out, L"%1");
    if (placeholder) *placeholder = L'\0';
    return AppendText(out, cchOut, L" ") && AppendText(out, cchOut, target);
}

CHyperLink::~CHyperLink() = default;

void CHyperLink::PreSubclassWindow() {
    SetWindowLongW(m_hWnd, GWL_STYLE, GetWindowLongW(m_hWnd, GWL_STYLE) | SS_NOTIFY);
    if (target_[0] == L'\0') GetWindowTextW(m_hWnd, target_, kLinkTargetChars);
    if (GetWindowTextLengthW(m_hWnd) == 0) SetWindowTextW(m_hWnd, target_);

    LOGFONTW logFont = WindowLogFont(m_hWnd);
    plainFont_.CreateFontIndirect(logFont);
    logFont.lfUnderline = TRUE;
    underlinedFont_.CreateFontIndirect(logFont);

    FitToText();
    LoadHandCursor();
    if (underlineMode_ != -1 && m_hWnd) {
        UseFont(plainFont_.GetSafeHandle());
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    underlineMode_ = -1;
}

void CHyperLink::UseFont(HFONT font) { SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

void CHyperLink::SetUnderlineMode(int mode) {
    if (mode == underlineMode_) return;
    if (m_hWnd) {
        UseFont(mode == 1 ? underlinedFont_.GetSafeHandle() : plainFont_.GetSafeHandle());
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    underlineMode_ = mode;
}

void CHyperLink::SetLinkTarget(const wchar_t* target) {
    CopyText(target_, kLinkTargetChars, target);
    if (m_hWnd) FitToText();
}

void CHyperLink::FitToText() {
    if (!m_hWnd || !fitToText_) return;
    HWND parent = GetParent(m_hWnd);
    RECT window, client;
    GetWindowRect(m_hWnd, &window);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
    GetClientRect(m_hWnd, &client);
    MapWindowPoints(m_hWnd, parent, reinterpret_cast<POINT*>(&client), 2);

    wchar_t text[kLinkTargetChars];
    int length = GetWindowTextW(m_hWnd, text, kLinkTargetChars);
    SIZE extent = {0, 0};
    HDC dc = GetDC(m_hWnd);
    if (dc) {
        HGDIOBJ previous = SelectObject(dc, underlinedFont_.GetSafeHandle());
        GetTextExtentPoint32W(dc, text, length, &extent);
        SelectObject(dc, previous);
        ReleaseDC(m_hWnd, dc);
    }
    RECT fitted = FitLinkRectangle(window, client, extent, GetWindowLongW(m_hWnd, GWL_STYLE));
    SetWindowPos(m_hWnd, nullptr, fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top,
                 SWP_NOZORDER);
}

void CHyperLink::LoadHandCursor() {
    if (handCursor_) return;
    wchar_t path[kPathChars];
    UINT length = GetWindowsDirectoryW(path, kPathChars);
    if (length == 0 || length >= kPathChars || !AppendText(path, L"\\winhlp32.exe")) return;
    CScopedModule help(LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!help) return;
    HCURSOR cursor = LoadCursorW(help.get(), MAKEINTRESOURCEW(kHandCursorId));
    if (cursor) handCursor_ = CopyCursor(cursor);
}

COLORREF CHyperLink::CurrentColour() const {
    if (mouseOver_) return hoverColour_;
    return visited_ ? visitedColour_ : unvisitedColour_;
}

HBRUSH CHyperLink::CtlColor(HDC dc) {
    SetTextColor(dc, CurrentColour());
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CHyperLink::OnClicked() {
    mouseOver_ = 0;
    HINSTANCE result = OpenLinkTarget(target_, SW_SHOW);
    visited_ = reinterpret_cast<INT_PTR>(result) > 32;
    if (!visited_) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
}

HINSTANCE CHyperLink::OpenLinkTarget(const wchar_t* target, int showCommand) {
    HINSTANCE result = sys::ShellExecuteW(GetDesktopWindow(), L"open", target, nullptr, nullptr, showCommand);
    if (reinterpret_cast<INT_PTR>(result) > 32) return result;

    wchar_t fileClass[kClassValueChars];
    if (!ReadClassDefault(L".htm", fileClass)) return result;
    wchar_t commandKey[kPathChars];
    if (!FormatText(commandKey, kPathChars, L"%s\\shell\\open\\command", fileClass)) return result;
    wchar_t command[kClassValueChars];
    if (!ReadClassDefault(commandKey, command)) return result;

    wchar_t full[kLinkTargetChars + 160];
    if (!BuildHandlerCommand(command, target, full, ARRAYSIZE(full))) return result;
    char ansi[(kLinkTargetChars + 160) * 2];
    if (!WideCharToMultiByte(CP_THREAD_ACP, 0, full, -1, ansi, sizeof(ansi), nullptr, nullptr)) return result;
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(WinExec(ansi, showCommand)));
}

BOOL CHyperLink::DestroyWindow() {
    if (m_hWnd) KillTimer(m_hWnd, hoverTimerId_);
    return CStatic::DestroyWindow();
}

LRESULT CHyperLink::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        if (!handCursor_) return FALSE;
        SetCursor(handCursor_);
        return TRUE;
    case WM_MOUSEMOVE:
        if (!mouseOver_) {
            mouseOver_ = 1;
            if (underlineMode_ == -1) UseFont(underlinedFont_.GetSafeHandle());
            InvalidateRect(m_hWnd, nullptr, TRUE);
            SetTimer(m_hWnd, hoverTimerId_, kHoverPeriodMs, nullptr);
        }
        break;
    case WM_TIMER: {
        if (wParam != hoverTimerId_) break;
        DWORD position = GetMessagePos();
        POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
        ScreenToClient(m_hWnd, &point);
        RECT client;
        GetClientRect(m_hWnd, &client);
        if (!PtInRect(&client, point)) {
            mouseOver_ = 0;
            KillTimer(m_hWnd, hoverTimerId_);
            if (underlineMode_ != 1) UseFont(plainFont_.GetSafeHandle());
            client.bottom += 10;
            InvalidateRect(m_hWnd, &client, TRUE);
        }
        break;
    }
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(m_hWnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_DESTROY:
        KillTimer(m_hWnd, hoverTimerId_);
        break;
    }
    return Default(message, wParam, lParam);
}
