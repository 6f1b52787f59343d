// The setup program's application object: start-up and the two roads.
#pragma once

#include "framework/WinApp.h"

class TheApp : public CWinApp {
public:
    ~TheApp() override;
    BOOL InitInstance() override;

private:
    void ReportSetupRunning(bool silent);
    int RunSilent(const wchar_t* commandLine);
};

