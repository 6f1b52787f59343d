// Application object: the one instance is constructed statically; the entry
// point calls InitInstance once, and when it returns false the process ends
// with the exit code the application set.
#pragma once

#include <windows.h>

class CPropertySheet;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return FALSE; }

    // Runs the message loop when InitInstance returned true; our program
    // never asks for one, so this only ends.
    virtual int Run();

    void SetExitCode(int code) { exitCode_ = code; }
    int ExitCode() const { return exitCode_; }

    // The sheet that is the application's main window while it runs.
    CPropertySheet* m_pMainWnd = nullptr;

    static CWinApp* Current();

private:
    int exitCode_ = 0;
};
