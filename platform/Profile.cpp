// Profile-string service.
#include "platform/Profile.h"

#include <windows.h>

int WriteProfileText(const wchar_t* file, const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    return WritePrivateProfileStringW(section, key, value, file) ? 1 : 0;
}

size_t ReadProfileText(const wchar_t* file, const wchar_t* section, const wchar_t* key, wchar_t* out, size_t cchOut) {
    if (cchOut == 0) return 0;
    return GetPrivateProfileStringW(section, key, L"", out, static_cast<DWORD>(cchOut), file);
}
