// Visual styles: UxTheme.dll from the system folder, loaded once and kept for
// the whole process.
#pragma once

#include <windows.h>

// Themes for the non-client area and the controls, where the system has them.
void ApplyVisualStyles();

using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
// Null where the library or the function is missing.
SetWindowThemeFn ThemeSetWindowTheme();
