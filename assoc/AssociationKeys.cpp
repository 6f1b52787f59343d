// Where the association pass writes.
#include "assoc/AssociationKeys.h"

#include <windows.h>
#include <wchar.h>

#include "platform/Text.h"

const wchar_t kClassPrefix[] = L"Lumidor";
const wchar_t kExplorerExtensionKeyFormat[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.%s";
const wchar_t kUserChoiceKeyFormat[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.%s\\UserChoice";
const wchar_t kExplorerProgIdValue[] = L"ProgID";
const wchar_t kUserChoiceProgIdValue[] = L"Progid";
const wchar_t kOpenWithProgidsSubkey[] = L"OpenWithProgids";

const wchar_t* const kBuiltInAppClasses[kBuiltInAppClassCount] = {
    L"SOFTWARE\\Classes\\AppXvhc4p7vz4b485xfp46hhk3fq3grkdgjg",
    L"SOFTWARE\\Classes\\AppXk0g4vb8gvt7b93tg50ybcy892pge6jmt",
    L"SOFTWARE\\Classes\\AppX43hnxtbyyps62jhe9sqpdzxn1790zetc",
    L"SOFTWARE\\Classes\\AppX9rkaq77s0jzh1tyccadx9ghba15r6t3h",
    L"SOFTWARE\\Classes\\AppX6eg8h5sxqq90pv53845wmnbewywdqq5h",
};
const wchar_t kNoOpenWithValue[] = L"NoOpenWith";

bool ProgIdFor(const wchar_t* progIdBase, wchar_t* out, size_t cchOut) {
    return FormatText(out, cchOut, L"%s.%s", kClassPrefix, progIdBase);
}

bool ClassKeyFor(const wchar_t* progIdBase, wchar_t* out, size_t cchOut) {
    return FormatText(out, cchOut, L"SOFTWARE\\Classes\\%s.%s", kClassPrefix, progIdBase);
}

bool ExtensionKeyFor(const wchar_t* extension, wchar_t* out, size_t cchOut) {
    return FormatText(out, cchOut, L"SOFTWARE\\Classes\\.%s", extension);
}

bool IsViewerProgId(const wchar_t* progId) {
    size_t prefixLength = ARRAYSIZE(kClassPrefix) - 1;
    return _wcsnicmp(progId, kClassPrefix, prefixLength) == 0 && progId[prefixLength] == L'.';
}
