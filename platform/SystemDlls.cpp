// comctl32.dll and shell32.dll, bound at run time.
#include "platform/SystemDlls.h"

#include "app/SystemLibrary.h"

namespace {

constexpr DWORD kSearchSystem32 = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

enum DllIndex { kComctl32, kShell32, kDllCount };

// Loaded on first use, kept until start-up ends.
HMODULE dlls[kDllCount] = {};
bool tried[kDllCount] = {};

HMODULE Dll(DllIndex index) {
    if (!tried[index]) {
        tried[index] = true;
        if (index == kComctl32) {
            // By name, so that the manifest's version 6 is the one loaded, from
            // the system folder only; where that flag is unknown (XP), by the
            // system folder's path.
            dlls[index] = LoadLibraryExW(L"comctl32.dll", nullptr, kSearchSystem32);
            if (!dlls[index]) dlls[index] = LoadSystemLibrary(L"comctl32.dll");
        } else {
            dlls[index] = LoadSystemLibrary(L"shell32.dll");
        }
    }
    return dlls[index];
}

template <typename Fn>
Fn Function(DllIndex index, const char* name) {
    return LookUp<Fn>(Dll(index), name);
}

}  // namespace

namespace sys {

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
}

}  // namespace sys
