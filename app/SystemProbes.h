// Probes of the system: an earlier installation, the default folder, the
// Windows version. None of them changes anything.
#pragma once

#include <windows.h>
#include <stddef.h>

// 1 and the folder (ending in a backslash) when the registered open command
// names lumi32.exe; 0 and an empty out otherwise.
int FindPreviousInstallFolder(wchar_t* out, size_t cchOut);

// "<ProgramFilesDir>\Lumidor" (no trailing backslash), or "C:\Lumidor\".
// Always returns 1.
int GetDefaultInstallFolder(wchar_t* out, size_t cchOut);

// The folder of the executable named by an open command such as
// "\"D:\Apps\Lumidor\lumi32.exe\" \"%1\"". 0 when the command does not name
// lumi32.exe or the folder does not fit.
int InstallFolderFromOpenCommand(const wchar_t* command, wchar_t* out, size_t cchOut);

// 0, 1, 5, 6, 7, 8, 10 or 11 for the given version numbers.
int VersionCodeFrom(DWORD major, DWORD minor, DWORD build, const wchar_t* servicePack);

// The running system's code; asks RtlGetVersion, falling back to GetVersionExW.
int GetSystemVersionCode();

// Asked once and kept for the rest of the process.
int CachedSystemVersionCode();

// The window class of the viewer's top-level window.
extern const wchar_t kViewerWindowClass[];

// Whether the viewer runs: a top-level window of its class (any title), or,
// for a folder, a process of any session running that folder's lumi32.exe
// (a viewer without a window, or one on another desktop or in another
// session, where no window of it can be found).
bool IsViewerRunning(const wchar_t* folder = nullptr);

// NT family with major version 6 or later, by the plain version call.
int IsVistaOrLaterFrom(DWORD platformId, DWORD major);
int IsVistaOrLaterSystem();
