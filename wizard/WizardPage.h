// The one page class of the wizard: every operation branches on the index of
// the active page (welcome, what's new, associations, ready, finish).
#pragma once

#include "app/InstallOptions.h"
#include "framework/PropertyPage.h"

class CWizPropertySheet;

class CWizPropertyPage : public CPropertyPage {
public:
    CWizPropertyPage() = default;
    ~CWizPropertyPage() override = default;

    // The template id of the nearest page in that direction that takes part
    // in navigation, or -1.
    virtual LRESULT FindNeighbourPage(bool forward);

    // Finish page: the FAQ page and the viewer, as ticked.
    void RunFinishActions();

    int firstActivation = 1;
    COLORREF savedBkColour = 0;
    COLORREF savedTextColour = static_cast<COLORREF>(-1);
    int includeInNavigation = 1;
    CWizPropertySheet* sheet = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    LRESULT OnWizardBack() override;
    bool OnButtonClicked(int id) override;

private:
    int ActiveIndex() const;
    HWND PageWindow(int pageIndex) const;
    HWND PageItem(int pageIndex, int id) const;
    void ReadTargetFolder(wchar_t* out, size_t cchOut) const;
    void ShowWarning(UINT messageId, UINT style);

    // Welcome page.
    void ActivateWelcomePage();
    bool ValidateTargetFolder();
    void BrowseForTargetFolder();
    void UpdateUserScopeButtons();
    void ClearShortcutChoices();
    // What's-new page.
    void ShowReleaseNotes();
    // Associations page.
    void ActivateAssociationsPage();
    void SetFormatListEnabled(bool enable, COLORREF background, COLORREF text);
    void SetAllFormatRows(int firstTicked, int endTicked);
    void OnRegistryToggle();
    void ReadAssociationChoices(InstallOptions& options) const;
    // Ready page.
    void ActivateReadyPage();
    LRESULT RunInstallation();
    // Finish page.
    void ActivateFinishPage();
    void StartViewer();
};

// Adds one catalogue row to the associations list, unticked.
void AddFormatRow(HWND list, const wchar_t* label, const wchar_t* description, int index);
