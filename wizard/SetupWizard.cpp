// The wizard road: the title font, the five pages, the modal sheet.
#include "wizard/SetupWizard.h"

#include "app/VisualStyles.h"
#include "wizard/WizardPage.h"
#include "wizard/WizardRules.h"
#include "wizard/WizardSheet.h"
#include "wizard/resource.h"

int RunSetupWizard(CWinApp& app) {
    // Lives for the wizard's run only (and so takes no room in the file).
    CWizPropertySheet wizardSheet;
    LOGFONTW logFont = {};
    int dpi = 96;
    if (HDC screen = GetDC(nullptr)) {
        dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
    }
    logFont.lfHeight = TitleFontHeight(dpi);
    logFont.lfWeight = FW_BOLD;
    logFont.lfQuality = ANTIALIASED_QUALITY;
    CopyText(logFont.lfFaceName, L"Arial");
    wizardSheet.titleFont.CreateFontIndirect(logFont);
    wizardSheet.formatListWindow = nullptr;

    CWizPropertyPage pages[5];
    const UINT templates[5] = {IDD_WELCOME, IDD_NOTES, IDD_ASSOCIATIONS, IDD_READY, IDD_FINISH};
    for (int i = 0; i < 5; ++i) {
        pages[i].Construct(templates[i], 0);
        // Wine retitles a wizard from its page on every page change: the
        // pages carry the wizard's title, so it stays in the title bar.
        pages[i].SetCaption(kSetupTitle);
        wizardSheet.AddWizardPage(&pages[i]);
    }
    app.m_pMainWnd = &wizardSheet;
    ApplyVisualStyles();
    wizardSheet.DoModal();
    app.m_pMainWnd = nullptr;
    return wizardSheet.exitStatus;
}
