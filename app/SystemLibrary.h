// Loading system DLLs by their full path in the system folder, so that no
// copy beside the program or in the current directory is ever picked up.
#pragma once

#include <windows.h>
#include <stddef.h>

// "<system folder>\<name>"; false when it does not fit.
bool SystemFolderPath(const wchar_t* name, wchar_t* out, size_t cchOut);

// Where the system has SetDefaultDllDirectories (XP has not), DLLs are
// looked for in the system folder only. The first thing each program does.
void HardenDllSearch();

// LoadLibraryW of the system folder's copy; null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

// GetProcAddress cast to the wanted function type.
template <typename Fn>
Fn LookUp(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}
