// The one page class of the wizard: dispatch by the active page, navigation
// and the message map.
#include "wizard/WizardPage.h"

#include <commctrl.h>
#include <limits.h>

#include "platform/Folders.h"
#include "wizard/VendorPages.h"
#include "wizard/WizardSheet.h"
#include "wizard/resource.h"

// A page's handlers run only while it is the active page, or while the sheet
// is making it so (when the sheet's current page may still be the previous
// one): its own position in the sheet is the active index.
int CWizPropertyPage::ActiveIndex() const {
    for (int i = 0; sheet && i < sheet->GetPageCount(); ++i) {
        if (sheet->WizardPage(i) == this) return i;
    }
    return -1;
}

// Null while that page was never shown.
HWND CWizPropertyPage::PageWindow(int pageIndex) const {
    CWizPropertyPage* page = sheet ? sheet->WizardPage(pageIndex) : nullptr;
    return page ? page->GetSafeHwnd() : nullptr;
}

HWND CWizPropertyPage::PageItem(int pageIndex, int id) const {
    HWND page = PageWindow(pageIndex);
    return page ? ::GetDlgItem(page, id) : nullptr;
}

// The welcome page's folder field, at most cchOut - 1 characters, trimmed.
void CWizPropertyPage::ReadTargetFolder(wchar_t* out, size_t cchOut) const {
    out[0] = L'\0';
    if (HWND field = PageItem(kWelcomePage, IDC_TARGET_FOLDER)) GetWindowTextW(field, out, static_cast<int>(cchOut));
    TrimSpaces(out);
}

void CWizPropertyPage::ShowWarning(UINT messageId, UINT style) {
    wchar_t message[512];
    if (!LoadStringW(GetModuleHandleW(nullptr), messageId, message, 512)) message[0] = L'\0';
    MessageBoxW(m_hWnd, message, sheet->wizardTitle, style);
}

void CWizPropertyPage::DoDataExchange(CDataExchange* pDX) {
    switch (ActiveIndex()) {
    case kWelcomePage:
        DDX_Control(pDX, IDC_LICENCE_LINK, sheet->licenceLink);
        sheet->licenceLink.SetUnderlineMode(1);
        sheet->licenceLink.SetLinkTarget(kLicenceUrl);
        break;
    case kReadyPage: {
        DDX_Control(pDX, IDC_INSTALLING_NOTICE, sheet->installingNotice);
        sheet->installingNotice.SetForegroundColour(RGB(255, 0, 0), false);
        sheet->installingNotice.SetBoldFlag(true, true);
        int dpi = 96;
        if (HDC dc = GetDC(sheet->GetSafeHwnd())) {
            dpi = GetDeviceCaps(dc, LOGPIXELSX);
            ReleaseDC(sheet->GetSafeHwnd(), dc);
        }
        sheet->installingNotice.SetFaceAndHeight(L"Arial", MulDiv(18, dpi, 96), true);
        break;
    }
    }
}

BOOL CWizPropertyPage::OnSetActive() {
    switch (ActiveIndex()) {
    case kWelcomePage: ActivateWelcomePage(); break;
    case kNotesPage: ShowReleaseNotes(); break;
    case kAssociationsPage: ActivateAssociationsPage(); break;
    case kReadyPage: ActivateReadyPage(); break;
    case kFinishPage: ActivateFinishPage(); break;
    }
    return CPropertyPage::OnSetActive();
}

LRESULT CWizPropertyPage::OnWizardNext() {
    int index = ActiveIndex();
    if (index == kWelcomePage && !ValidateTargetFolder()) return -1;
    EnableWindow(sheet->GetDlgItem(ID_WIZBACK), TRUE);
    if (index == kReadyPage) return RunInstallation();
    return FindNeighbourPage(true);
}

LRESULT CWizPropertyPage::OnWizardBack() { return FindNeighbourPage(false); }

LRESULT CWizPropertyPage::FindNeighbourPage(bool forward) {
    int step = forward ? 1 : -1;
    for (int i = ActiveIndex() + step; i >= 0 && i < sheet->GetPageCount(); i += step) {
        CWizPropertyPage* page = sheet->WizardPage(i);
        if (page->includeInNavigation) return page->TemplateId();
    }
    return -1;
}

bool CWizPropertyPage::OnButtonClicked(int id) {
    int index = ActiveIndex();
    switch (id) {
    case IDC_BROWSE:
        if (index == kWelcomePage) BrowseForTargetFolder();
        return index == kWelcomePage;
    case IDC_HIDDEN_BROWSE:
        if (index == kReadyPage) BrowseForTargetFolder();
        return index == kReadyPage;
    case IDC_DESKTOP_SHORTCUT:
    case IDC_THUMBNAILS_SHORTCUT:
    case IDC_START_MENU_GROUP:
        if (index == kWelcomePage) UpdateUserScopeButtons();
        return index == kWelcomePage;
    case IDC_NO_SHORTCUTS:
        if (index == kWelcomePage) ClearShortcutChoices();
        return index == kWelcomePage;
    }
    if (index != kAssociationsPage) return false;
    switch (id) {
    case IDC_REGISTRY_ASSOCIATIONS: OnRegistryToggle(); return true;
    case IDC_IMAGES_ONLY: SetAllFormatRows(0, kImagesOnlyRowCount); return true;
    case IDC_SELECT_ALL: SetAllFormatRows(0, INT_MAX); return true;
    case IDC_SELECT_NONE: SetAllFormatRows(0, 0); return true;
    }
    return false;
}
