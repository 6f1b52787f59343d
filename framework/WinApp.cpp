// Application object and the program's entry point.
#include "framework/WinApp.h"

namespace {
CWinApp* currentApp = nullptr;
}

CWinApp::CWinApp() { currentApp = this; }
CWinApp::~CWinApp() { if (currentApp == this) currentApp = nullptr; }
CWinApp* CWinApp::Current() { return currentApp; }

int CWinApp::Run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return exitCode_;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    CWinApp* app = CWinApp::Current();
    if (!app) return 1;
    if (app->InitInstance()) return app->Run();
    return app->ExitCode();
}
