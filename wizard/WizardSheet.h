// The wizard frame: title, Cancel question, close handling, and what the
// pages share (title font, associations list, licence link, installing notice).
#pragma once

#include "app/ExitStatus.h"
#include "framework/Gdi.h"
#include "framework/PropertySheet.h"
#include "platform/Text.h"
#include "wizard/ColorStatic.h"
#include "wizard/HyperLink.h"

class CWizPropertyPage;

// Page indexes in sheet order.
enum WizardPageIndex { kWelcomePage = 0, kNotesPage = 1, kAssociationsPage = 2, kReadyPage = 3, kFinishPage = 4 };

class CWizPropertySheet : public CPropertySheet {
public:
    CWizPropertySheet();
    ~CWizPropertySheet() override;

    void AddWizardPage(CWizPropertyPage* page);
    CWizPropertyPage* WizardPage(int index) const;
    // Shows the question "Installation beenden?"; true when answered Yes.
    bool ConfirmCancel();
    bool BringViewerToFront();

    CFont titleFont;
    HWND formatListWindow = nullptr;
    CHyperLink licenceLink;
    CXColorStatic installingNotice;
    wchar_t wizardTitle[kPathChars] = L"";
    // The folder the files were unpacked into, once the installation ran.
    wchar_t installedFolder[kPathChars] = L"";
    // The exit status of the last installation attempt; none yet: cancelled.
    int exitStatus = kExitCancelled;
    // The installation associated formats the user chose.
    bool associationsChosen = false;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSysCommand(UINT id, LPARAM lParam) override;
    void OnClose() override;

private:
    // Every close request, however it came (title bar, Alt+F4, a close or
    // system command sent or posted by another program).
    void RequestClose();
    // Ends the wizard as cancelled without passing through OnCommand.
    void EndWizard();

    // While the question is open, a further request is the same request.
    bool asking_ = false;
};
