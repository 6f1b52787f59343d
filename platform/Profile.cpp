// Profile-string service.
#include "platform/Profile.h"

#include <windows.h>
#include <wchar.h>

int WriteProfileText(const wchar_t* file, const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    return WritePrivateProfileStringW(section, key, value, file) ? 1 : 0;
}

size_t ReadProfileText(const wchar_t* file, const wchar_t* section, const wchar_t* key, wchar_t* out, size_t cchOut) {
    if (cchOut == 0) return 0;
    return GetPrivateProfileStringW(section, key, L"", out, static_cast<DWORD>(cchOut), file);
}

CProfileList::~CProfileList() {
    if (data_) HeapFree(GetProcessHeap(), 0, data_);
}

bool CProfileList::Read(const wchar_t* file, const wchar_t* section) {
    // A full buffer is reported as its size less two: grow until it fits.
    for (DWORD chars = 4096; chars <= 0x4000000; chars *= 2) {
        if (data_) HeapFree(GetProcessHeap(), 0, data_);
        data_ = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, chars * sizeof(wchar_t)));
        if (!data_) return false;
        DWORD got = section ? GetPrivateProfileSectionW(section, data_, chars, file)
                            : GetPrivateProfileSectionNamesW(data_, chars, file);
        if (got < chars - 2) return true;
    }
    return false;
}

const wchar_t* CProfileList::Next(const wchar_t* entry) { return entry + wcslen(entry) + 1; }

int WriteProfileSection(const wchar_t* file, const wchar_t* section, const wchar_t* lines) {
    return WritePrivateProfileSectionW(section, lines, file) ? 1 : 0;
}
