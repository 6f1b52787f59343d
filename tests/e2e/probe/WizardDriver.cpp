// The probe's "ui" commands: drives the setup wizard from another process the
// way a person would (buttons, boxes, fields, message boxes) and prints what
// it reads, one line per command.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t kTitle[] = L"Lumidor 32-bit Setup";
const wchar_t kUninstallerTitle[] = L"Lumidor 4.76 (32-bit)";
constexpr int kFrameButtons[] = {0x3023, 0x3024, IDCANCEL};

struct Found {
    std::vector<HWND> windows;
    bool boxes;  // message boxes (with their 0xFFFF text) or the sheet
};

BOOL CALLBACK Collect(HWND window, LPARAM data) {
    auto found = reinterpret_cast<Found*>(data);
    wchar_t title[128], cls[64];
    GetWindowTextW(window, title, 128);
    GetClassNameW(window, cls, 64);
    if (wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    // Message boxes carry the wizard's or the uninstaller's title and their
    // text as control 0xFFFF;
    // the sheet is known by its Next button, whatever its title.
    bool isBox = GetDlgItem(window, 0xFFFF) != nullptr &&
                 (wcscmp(title, kTitle) == 0 || wcscmp(title, kUninstallerTitle) == 0);
    bool isSheet = GetDlgItem(window, 0x3024) != nullptr && GetDlgItem(window, IDCANCEL) != nullptr;
    if (!isBox && !isSheet) return TRUE;
    if (isBox == found->boxes) found->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> Windows(bool boxes) {
    Found found{{}, boxes};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

HWND Sheet() {
    auto sheets = Windows(false);
    return sheets.empty() ? nullptr : sheets.front();
}

HWND Box() {
    auto boxes = Windows(true);
    return boxes.empty() ? nullptr : boxes.front();
}

HWND Page(HWND sheet) { return sheet ? PropSheet_GetCurrentPageHwnd(sheet) : nullptr; }

int PageId(HWND sheet) {
    HWND page = Page(sheet);
    if (!page) return 0;
    int index = static_cast<int>(SendMessageW(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
    return static_cast<int>(SendMessageW(sheet, PSM_INDEXTOID, index, 0));
}

// A frame button of the sheet, or a control of the active page.
HWND Control(int id) {
    HWND sheet = Sheet();
    for (int frame : kFrameButtons) {
        if (id == frame) return GetDlgItem(sheet, id);
    }
    return GetDlgItem(Page(sheet), id);
}

std::wstring Text(HWND window) {
    if (!window) return L"<none>";
    wchar_t text[4096];
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

bool WaitFor(bool (*condition)(int), int argument, int seconds) {
    for (int i = 0; i <= seconds * 20; ++i) {
        if (condition(argument)) return true;
        Sleep(50);
    }
    return false;
}

void Print(const std::wstring& line) {
    // UTF-8, so that umlauts arrive intact.
    int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
    fputs(utf8.c_str(), stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

std::wstring Escape(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\n') out += L"\\n";
        else if (c == L'\r') out += L"\\r";
        else if (c == L'\t') out += L"\\t";
        else out += c;
    }
    return out;
}

std::vector<std::wstring> Split(const std::wstring& command) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        size_t colon = command.find(L'|', start);
        parts.push_back(command.substr(start, colon == std::wstring::npos ? std::wstring::npos : colon - start));
        if (colon == std::wstring::npos) return parts;
        start = colon + 1;
    }
}

BOOL CALLBACK ListDialog(HWND window, LPARAM) {
    wchar_t title[128], cls[64], line[300];
    GetWindowTextW(window, title, 128);
    GetClassNameW(window, cls, 64);
    swprintf(line, 300, L"%p %ls \"%ls\" visible=%d next=%d text=%d", window, cls, title, IsWindowVisible(window),
             GetDlgItem(window, 0x3024) != nullptr, GetDlgItem(window, 0xFFFF) != nullptr);
    if (wcscmp(cls, L"#32770") == 0) Print(line);
    return TRUE;
}

bool HasSheet(int) { return Sheet() != nullptr; }
bool NoSheet(int) { return Sheet() == nullptr; }
bool OnPage(int id) { return PageId(Sheet()) == id; }
bool HasBox(int) { return Box() != nullptr; }
bool NoBox(int) { return Box() == nullptr; }

// One command: "name|argument|argument". Returns false on a failed wait.
bool Run(const std::wstring& command) {
    auto parts = Split(command);
    const std::wstring& name = parts[0];
    int number = parts.size() > 1 ? _wtoi(parts[1].c_str()) : 0;
    int seconds = parts.size() > 2 ? _wtoi(parts[2].c_str()) : 20;
    if (name == L"wait-sheet") return WaitFor(HasSheet, 0, number ? number : 30);
    if (name == L"wait-gone") return WaitFor(NoSheet, 0, number ? number : 30);
    if (name == L"wait-page") return WaitFor(OnPage, number, seconds);
    if (name == L"wait-box") return WaitFor(HasBox, 0, number ? number : 20);
    if (name == L"wait-no-box") return WaitFor(NoBox, 0, number ? number : 20);
    if (name == L"sleep") return Sleep(number), true;
    if (name == L"page") return Print(std::to_wstring(PageId(Sheet()))), true;
    if (name == L"title") {
        wchar_t title[256] = L"";
        GetWindowTextW(Sheet(), title, 256);
        return Print(title), true;
    }
    if (name == L"windows") {  // every top-level dialog, for a failing test's report
        EnumWindows(ListDialog, 0);
        return true;
    }
    if (name == L"foreground-class") {
        wchar_t cls[64] = L"";
        GetClassNameW(GetForegroundWindow(), cls, 64);
        return Print(cls), true;
    }
    if (name == L"boxes") return Print(std::to_wstring(Windows(true).size())), true;
    if (name == L"box-text") return Print(Escape(Text(GetDlgItem(Box(), 0xFFFF)))), true;
    if (name == L"box-style") {
        HWND box = Box();
        std::wstring buttons;
        for (int id : {IDOK, IDYES, IDNO, IDCANCEL}) {
            HWND button = GetDlgItem(box, id);
            if (!button) continue;
            buttons += std::to_wstring(id);
            if (GetWindowLongW(button, GWL_STYLE) & BS_DEFPUSHBUTTON) buttons += L"*";
            buttons += L" ";
        }
        return Print(buttons), true;
    }
    if (name == L"answer") {
        HWND button = GetDlgItem(Box(), number);
        if (!button) return false;
        PostMessageW(button, BM_CLICK, 0, 0);
        return true;
    }
    if (name == L"click") {
        HWND control = Control(number);
        if (!control) return false;
        PostMessageW(control, BM_CLICK, 0, 0);
        return true;
    }
    if (name == L"mouse-click") {  // a click as a static control receives it
        HWND control = Control(number);
        if (!control) return false;
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        return true;
    }
    if (name == L"alt-f4") {  // real key presses, through the input queue, to the sheet in front
        HWND sheet = Sheet();
        if (!sheet) return false;
        SetForegroundWindow(sheet);
        Sleep(200);
        INPUT keys[4] = {};
        const WORD codes[4] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = codes[i];
            keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
        }
        return SendInput(4, keys, sizeof(INPUT)) == 4;
    }
    if (name == L"close") {  // close|sys-post (the default), sys-send, post or send
        std::wstring how = parts.size() > 1 ? parts[1] : L"sys-post";
        UINT message = how.compare(0, 4, L"sys-") == 0 ? WM_SYSCOMMAND : WM_CLOSE;
        WPARAM wParam = message == WM_SYSCOMMAND ? SC_CLOSE : 0;
        if (how == L"sys-post" || how == L"post") return PostMessageW(Sheet(), message, wParam, 0) != 0;
        // A sent request waits for its answer, which comes only once the
        // question is answered: the sender does not wait that long.
        DWORD_PTR result = 0;
        SendMessageTimeoutW(Sheet(), message, wParam, 0, SMTO_NORMAL, 500, &result);
        return true;
    }
    if (name == L"text") return Print(Escape(Text(Control(number)))), true;
    if (name == L"set-text") {
        std::wstring text = parts.size() > 2 ? parts[2] : L"";
        SendMessageW(Control(number), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return true;
    }
    if (name == L"checked") return Print(std::to_wstring(SendMessageW(Control(number), BM_GETCHECK, 0, 0))), true;
    if (name == L"enabled") return Print(IsWindowEnabled(Control(number)) ? L"1" : L"0"), true;
    if (name == L"visible") return Print(IsWindowVisible(Control(number)) ? L"1" : L"0"), true;
    if (name == L"list-count") return Print(std::to_wstring(SendMessageW(Control(number), LVM_GETITEMCOUNT, 0, 0))), true;
    if (name == L"list-states") {
        HWND list = Control(number);
        int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        std::wstring states;
        for (int i = 0; i < count; ++i)
            states += std::to_wstring(SendMessageW(list, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK) >> 12);
        return Print(states), true;
    }
    Print(L"unknown command " + name);
    return false;
}

}  // namespace

// Runs the commands in order; stops with status 1 at the first that fails.
int RunWizardCommands(int count, wchar_t** commands) {
    for (int i = 0; i < count; ++i) {
        if (!Run(commands[i])) {
            Print(L"failed: " + std::wstring(commands[i]));
            return 1;
        }
    }
    return 0;
}
