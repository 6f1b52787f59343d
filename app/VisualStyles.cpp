// Visual styles, loaded once and kept for the whole process.
#include "app/VisualStyles.h"

#include "app/SystemLibrary.h"

namespace {

constexpr DWORD kThemeNonClientAndControls = 3;
using SetThemeAppPropertiesFn = void(WINAPI*)(DWORD);

// Process-wide: the one library handle the program never releases.
HMODULE uxTheme = nullptr;
SetThemeAppPropertiesFn setThemeAppProperties = nullptr;
SetWindowThemeFn setWindowTheme = nullptr;

}  // namespace

void ApplyVisualStyles() {
    if (!uxTheme) {
        uxTheme = LoadSystemLibrary(L"UxTheme.dll");
        setThemeAppProperties = LookUp<SetThemeAppPropertiesFn>(uxTheme, "SetThemeAppProperties");
        setWindowTheme = LookUp<SetWindowThemeFn>(uxTheme, "SetWindowTheme");
    }
    if (setThemeAppProperties) setThemeAppProperties(kThemeNonClientAndControls);
}

SetWindowThemeFn ThemeSetWindowTheme() { return setWindowTheme; }
