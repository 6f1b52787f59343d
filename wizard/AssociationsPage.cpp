// The associations page: the catalogue as a check-box list behind the
// registry check box, with its three selection buttons.
#include <windows.h>
#include <commctrl.h>

#include "app/SystemProbes.h"
#include "assoc/FormatCatalogue.h"
#include "wizard/WizardPage.h"
#include "wizard/WizardRules.h"
#include "wizard/WizardSheet.h"
#include "wizard/resource.h"

namespace {

const COLORREF kDisabledBackground = RGB(192, 192, 192);
const COLORREF kDisabledText = RGB(255, 128, 0);
constexpr UINT kUnticked = 1;
constexpr UINT kTicked = 2;

void SetRowTick(HWND list, int row, UINT image) {
    LVITEMW item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(image);
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void AddFormatRow(HWND list, const wchar_t* label, const wchar_t* description, int index) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(label);
    int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    LVITEMW sub = {};
    sub.iSubItem = 1;
    sub.pszText = const_cast<wchar_t*>(description);
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
}

void CWizPropertyPage::ActivateAssociationsPage() {
    bool vistaOrLater = IsVistaOrLaterSystem();
    if (vistaOrLater) ShowWindow(GetDlgItem(IDC_ASSOCIATE_ALL_USERS), SW_HIDE);

    if (!sheet->formatListWindow) {
        HWND list = GetDlgItem(IDC_FORMAT_LIST);
        sheet->formatListWindow = list;
        if (vistaOrLater) CheckDlgButton(m_hWnd, IDC_REGISTRY_ASSOCIATIONS, BST_UNCHECKED);
        if (CachedSystemVersionCode() == 11) EnableWindow(GetDlgItem(IDC_REGISTRY_ASSOCIATIONS), FALSE);
        if (savedTextColour == static_cast<COLORREF>(-1)) {
            savedBkColour = static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0));
            savedTextColour = static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0));
        }
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);

        RECT bounds;
        GetWindowRect(list, &bounds);
        int dpi = 96;
        if (HDC dc = GetDC(list)) {
            dpi = GetDeviceCaps(dc, LOGPIXELSX);
            ReleaseDC(list, dc);
        }
        int first = 0, second = 0;
        FormatListColumnWidths(bounds.right - bounds.left, dpi, &first, &second);
        wchar_t empty[] = L"";
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
        column.fmt = LVCFMT_LEFT;
        column.pszText = empty;
        column.cx = first;
        SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = 1;
        column.cx = second;
        SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

        for (int row = 0; row < kFormatRowCount; ++row) {
            wchar_t label[kFormatLabelChars], description[kFormatDescriptionChars];
            kFormatCatalogue[row].Label(label);
            kFormatCatalogue[row].Description(description);
            AddFormatRow(list, label, description, row);
        }
    }
    if (!IsDlgButtonChecked(m_hWnd, IDC_REGISTRY_ASSOCIATIONS))
        SetFormatListEnabled(false, kDisabledBackground, kDisabledText);
}

void CWizPropertyPage::SetFormatListEnabled(bool enable, COLORREF background, COLORREF text) {
    HWND list = sheet->formatListWindow;
    if (!list) return;
    EnableWindow(list, enable);
    SendMessageW(list, LVM_SETBKCOLOR, 0, background);
    SendMessageW(list, LVM_SETTEXTCOLOR, 0, text);
    InvalidateRect(list, nullptr, TRUE);
    const int buttons[] = {IDC_IMAGES_ONLY, IDC_SELECT_ALL, IDC_SELECT_NONE};
    for (int id : buttons) EnableWindow(GetDlgItem(id), enable);
}

void CWizPropertyPage::OnRegistryToggle() {
    if (IsDlgButtonChecked(m_hWnd, IDC_REGISTRY_ASSOCIATIONS)) {
        SetFormatListEnabled(true, savedBkColour, savedTextColour);
    } else {
        SetFormatListEnabled(false, kDisabledBackground, kDisabledText);
    }
}

// Ticks the lines firstTicked..endTicked-1 and unticks all others.
void CWizPropertyPage::SetAllFormatRows(int firstTicked, int endTicked) {
    HWND list = sheet->formatListWindow;
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        SetRowTick(list, row, row >= firstTicked && row < endTicked ? kTicked : kUnticked);
}

void CWizPropertyPage::ReadAssociationChoices(InstallOptions& options) const {
    for (int& row : options.associationRows) row = 0;
    options.associationRequested = 0;
    HWND list = sheet->formatListWindow;
    // A disabled list is not read, whatever its lines show.
    if (list && IsWindowEnabled(list)) {
        int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count && row < kAssociationSlotCount; ++row) {
            UINT image = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK)) >> 12;
            if (image != kUnticked) {
                options.associationRows[row] = 1;
                options.associationRequested = 1;
            }
        }
    }
    options.associateForAllUsers = IsDlgButtonChecked(PageWindow(kAssociationsPage), IDC_ASSOCIATE_ALL_USERS) ? 1 : 0;
}
