// comctl32.dll and shell32.dll, bound at run time once the DLL search has
// been hardened. Imported at load time they would be looked for, with the
// DLLs they load in turn (UxTheme.dll among them), beside the program first.
// Each call fails soft (0, null or E_FAIL) where a function cannot be had.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

namespace sys {

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls);
INT_PTR PropertySheetW(LPCPROPSHEETHEADERW header);
HPROPSHEETPAGE CreatePropertySheetPageW(LPCPROPSHEETPAGEW page);

HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT show);
HRESULT SHGetSpecialFolderLocation(HWND owner, int csidl, LPITEMIDLIST* items);
BOOL SHGetPathFromIDListW(LPCITEMIDLIST items, LPWSTR path);
LPITEMIDLIST SHBrowseForFolderW(LPBROWSEINFOW browse);
void SHChangeNotify(LONG event, UINT flags, LPCVOID item1, LPCVOID item2);

// comctl32 by name as a system that does not know LOAD_LIBRARY_SEARCH_SYSTEM32
// must load it; uxTheme receives the theme library loaded ahead of it (the
// caller frees it after comctl32).
HMODULE LoadComctl32WithoutSearchFlags(HMODULE& uxTheme);

// Frees both libraries; start-up calls it as it ends.
void ReleaseSystemDlls();

}  // namespace sys
