// comctl32.dll and shell32.dll, bound at run time.
#include "platform/SystemDlls.h"

#include "app/SystemLibrary.h"
#include "platform/Text.h"

namespace {

constexpr DWORD kSearchSystem32 = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

enum DllIndex { kComctl32, kShell32, kDllCount };

// Loaded on first use, kept until start-up ends; the theme library only
// where it had to be loaded ahead of comctl32.
HMODULE dlls[kDllCount] = {};
bool tried[kDllCount] = {};
HMODULE uxThemeAhead = nullptr;

using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);

// Whether module was loaded from the Windows folder (the system folder or
// the side-by-side store), not from beside the program or a folder of the
// search path.
bool IsFromWindowsFolder(HMODULE module) {
    wchar_t windows[kPathChars], loaded[kPathChars];
    UINT length = GetWindowsDirectoryW(windows, kPathChars);
    DWORD loadedLength = GetModuleFileNameW(module, loaded, kPathChars);
    if (length == 0 || length >= kPathChars - 1 || loadedLength == 0 || loadedLength >= kPathChars) return false;
    if (!EndsWithBackslash(windows)) AppendText(windows, L"\\");
    return _wcsnicmp(loaded, windows, wcslen(windows)) == 0;
}

bool SearchFlagsKnown() {
#ifdef LUMIDOR_SEARCH_FLAGS_UNKNOWN
    return false;  // a test build that loads as XP, Vista and 7 without the update do
#else
    return true;
#endif
}

HMODULE LoadComctl32() {
    // By name, so that the manifest's version 6 is the one loaded, from the
    // system folder only.
    if (SearchFlagsKnown()) {
        if (HMODULE module = LoadLibraryExW(L"comctl32.dll", nullptr, kSearchSystem32)) return module;
        if (GetLastError() != ERROR_INVALID_PARAMETER) return LoadSystemLibrary(L"comctl32.dll");
    }
    return sys::LoadComctl32WithoutSearchFlags(uxThemeAhead);
}

HMODULE Dll(DllIndex index) {
    if (!tried[index]) {
        tried[index] = true;
        dlls[index] = index == kComctl32 ? LoadComctl32() : LoadSystemLibrary(L"shell32.dll");
    }
    return dlls[index];
}

template <typename Fn>
Fn Function(DllIndex index, const char* name) {
    return LookUp<Fn>(Dll(index), name);
}

}  // namespace

namespace sys {

// Where the flag that limits a load to the system folder is unknown, a load
// by full path would not be redirected to the manifest's version 6 (the
// side-by-side redirection applies to loads by name only), and the wizard
// would lose its visual styles. So comctl32 is loaded by name, after three
// guards: the theme library, which version 6 loads by name in turn, is
// loaded from the system folder first, so that the later load finds the
// module already loaded and never a planted copy; the current folder is
// taken out of the search; and a comctl32 that did not come from the
// Windows folder (the system folder or the side-by-side store) is let go
// for the system folder's copy.
HMODULE LoadComctl32WithoutSearchFlags(HMODULE& uxTheme) {
    if (!uxTheme) uxTheme = LoadSystemLibrary(L"UxTheme.dll");
    auto setDllDirectory = LookUp<SetDllDirectoryFn>(GetModuleHandleW(L"kernel32.dll"), "SetDllDirectoryW");
    if (setDllDirectory) setDllDirectory(L"");
    HMODULE module = LoadLibraryW(L"comctl32.dll");
    if (module && IsFromWindowsFolder(module)) return module;
    if (module) FreeLibrary(module);
    return LoadSystemLibrary(L"comctl32.dll");
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) {
    auto call = Function<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(kComctl32, "InitCommonControlsEx");
    return call ? call(controls) : FALSE;
}

INT_PTR PropertySheetW(LPCPROPSHEETHEADERW header) {
    auto call = Function<INT_PTR(WINAPI*)(LPCPROPSHEETHEADERW)>(kComctl32, "PropertySheetW");
    return call ? call(header) : -1;
}

HPROPSHEETPAGE CreatePropertySheetPageW(LPCPROPSHEETPAGEW page) {
    auto call = Function<HPROPSHEETPAGE(WINAPI*)(LPCPROPSHEETPAGEW)>(kComctl32, "CreatePropertySheetPageW");
    return call ? call(page) : nullptr;
}

HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT show) {
    auto call = Function<HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT)>(kShell32,
                                                                                           "ShellExecuteW");
    return call ? call(owner, verb, file, parameters, folder, show) : nullptr;
}

HRESULT SHGetSpecialFolderLocation(HWND owner, int csidl, LPITEMIDLIST* items) {
    auto call = Function<HRESULT(WINAPI*)(HWND, int, LPITEMIDLIST*)>(kShell32, "SHGetSpecialFolderLocation");
    return call ? call(owner, csidl, items) : E_FAIL;
}

BOOL SHGetPathFromIDListW(LPCITEMIDLIST items, LPWSTR path) {
    auto call = Function<BOOL(WINAPI*)(LPCITEMIDLIST, LPWSTR)>(kShell32, "SHGetPathFromIDListW");
    return call ? call(items, path) : FALSE;
}

LPITEMIDLIST SHBrowseForFolderW(LPBROWSEINFOW browse) {
    auto call = Function<LPITEMIDLIST(WINAPI*)(LPBROWSEINFOW)>(kShell32, "SHBrowseForFolderW");
    return call ? call(browse) : nullptr;
}

void SHChangeNotify(LONG event, UINT flags, LPCVOID item1, LPCVOID item2) {
    auto call = Function<void(WINAPI*)(LONG, UINT, LPCVOID, LPCVOID)>(kShell32, "SHChangeNotify");
    if (call) call(event, flags, item1, item2);
}

void ReleaseSystemDlls() {
    for (int i = 0; i < kDllCount; ++i) {
        if (dlls[i]) FreeLibrary(dlls[i]);
        dlls[i] = nullptr;
        tried[i] = false;
    }
    if (uxThemeAhead) FreeLibrary(uxThemeAhead);
    uxThemeAhead = nullptr;
}

}  // namespace sys
