// Loading system DLLs by their full path in the system folder.
#include "app/SystemLibrary.h"

#include "platform/Text.h"

bool SystemFolderPath(const wchar_t* name, wchar_t* out, size_t cchOut) {
    if (cchOut == 0) return false;
    out[0] = L'\0';
    UINT length = GetSystemDirectoryW(out, static_cast<UINT>(cchOut));
    if (length == 0 || length >= cchOut) {
        out[0] = L'\0';
        return false;
    }
    if (!EndsWithBackslash(out) && !AppendText(out, cchOut, L"\\")) return false;
    return AppendText(out, cchOut, name);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t path[kPathChars];
    if (!SystemFolderPath(name, path, kPathChars)) return nullptr;
    return LoadLibraryW(path);
}

void HardenDllSearch() {
#ifdef LUMIDOR_SEARCH_FLAGS_UNKNOWN
    return;  // a test build that loads as a system without the function does
#endif
    constexpr DWORD kSearchSystem32 = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    wchar_t kernel32[kPathChars];
    if (!SystemFolderPath(L"kernel32.dll", kernel32, kPathChars)) return;
    auto setDefaultDllDirectories =
        LookUp<SetDefaultDllDirectoriesFn>(GetModuleHandleW(kernel32), "SetDefaultDllDirectories");
    if (setDefaultDllDirectories) setDefaultDllDirectories(kSearchSystem32);
}
