// Sample viewer: a top-level window of class "Lumidor" that shows the file
// named on its command line, or a thumbnails placeholder with "/thumbs".
// "/nowindow" runs without any window, as a viewer busy in the background
// (or one in another session) looks to a program that searches windows.
#include <windows.h>
#include <shellapi.h>

namespace {

const wchar_t kWindowClass[] = L"Lumidor";
wchar_t shownText[1024] = L"Lumidor 4.76 (Beispielprogramm)";
bool noWindow = false;

void ChooseText() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return;
    for (int i = 1; i < argc; ++i) {
        if (lstrcmpiW(argv[i], L"/thumbs") == 0) {
            lstrcpynW(shownText, L"Miniaturansicht (Platzhalter)", ARRAYSIZE(shownText));
        } else if (lstrcmpiW(argv[i], L"/nowindow") == 0) {
            noWindow = true;
        } else {
            lstrcpynW(shownText, argv[i], ARRAYSIZE(shownText));
        }
    }
    LocalFree(argv);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        DrawTextW(dc, shownText, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_PATH_ELLIPSIS);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    ChooseText();
    if (noWindow) {
        Sleep(INFINITE);
        return 0;
    }
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(100));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassW(&windowClass)) return 1;
    HWND window = CreateWindowW(kWindowClass, L"Lumidor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                                480, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
