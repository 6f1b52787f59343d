// The wizard's decisions as plain functions.
#include "wizard/WizardRules.h"

#include <wchar.h>
#include <wctype.h>

#include "platform/Text.h"

bool IsAcceptedTargetFolder(const wchar_t* folder) {
    size_t length = TextLength(folder, kPathChars - 1);
    if (length < 3 || folder[1] != L':' || folder[2] != L'\\') return false;
    // The splitter gives up on a folder part or a name of 256 characters or more.
    size_t lastSeparator = 0;
    for (size_t i = 2; i < length; ++i) {
        if (folder[i] == L'\\' || folder[i] == L'/') lastSeparator = i;
    }
    if (lastSeparator + 1 - 2 >= 256) return false;
    size_t nameLength = length - lastSeparator - 1;
    const wchar_t* name = folder + lastSeparator + 1;
    const wchar_t* dot = nullptr;
    for (size_t i = 0; i < nameLength; ++i) {
        if (name[i] == L'.') dot = name + i;
    }
    size_t stemLength = dot ? static_cast<size_t>(dot - name) : nameLength;
    return stemLength < 256;
}

bool MakeInstallFolderFromChoice(wchar_t* path, size_t cchPath) {
    wchar_t result[kPathChars];
    if (!CopyText(result, path)) return false;
    if (!EndsWithBackslash(result) && !AppendText(result, L"\\")) return false;
    size_t length = wcslen(result);
    bool append = false;
    if (length == 3) {
        append = true;  // a drive root such as "C:\"
    } else if (length >= 2) {
        size_t i = length - 2;
        while (i > 0 && result[i] != L'\\') --i;
        append = i > 0 && _wcsicmp(result + i, L"\\lumidor\\") != 0;
    }
    if (append && !AppendText(result, L"Lumidor\\")) return false;
    return CopyText(path, cchPath, result);
}

DefaultsPage DefaultsPageFor(int systemVersionCode) {
    switch (systemVersionCode) {
    case 8: return DefaultsPage::AssociationDialog;
    case 10: return DefaultsPage::DefaultAppsSettings;
    default: return DefaultsPage::None;
    }
}

void StripAfterLastAlphanumeric(wchar_t* text) {
    for (size_t i = wcslen(text); i > 0; --i) {
        if (iswalnum(text[i - 1])) return;
        text[i - 1] = L'\0';
    }
}

void FormatListColumnWidths(int listWidth, int dpi, int* first, int* second) {
    *first = listWidth / 3;
    *second = (2 * listWidth) / 3 - MulDiv(25, dpi, 96);
}
