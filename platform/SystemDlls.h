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

// Frees both libraries; start-up calls it as it ends.
void ReleaseSystemDlls();

}  // namespace sys
