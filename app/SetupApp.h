// The setup program's application object: start-up and the two roads.
#pragma once

#include "app/SingleInstance.h"
#include "framework/WinApp.h"

class TheApp : public CWinApp {
public:
    ~TheApp() override;
    BOOL InitInstance() override;

private:
    int RunSilent(const wchar_t* commandLine, CSetupInstanceLock& lock);
};

