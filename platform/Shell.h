// Shell services: shortcuts, special folders and the association notice.
#pragma once

#include <windows.h>
#include <stddef.h>

struct ShellLinkFields {
    const wchar_t* target;
    const wchar_t* arguments;    // may be null
    const wchar_t* iconFile;     // may be null: the target's own icon
    int iconIndex;
    const wchar_t* description;  // may be null
};

// Writes a .lnk file through IShellLinkW and IPersistFile, with COM
// initialised for this one call. 1 when the file was saved.
int CreateShellLink(const wchar_t* linkPath, const ShellLinkFields& fields);

// The target path a .lnk file names, unexpanded, in out[cchOut]. 1 when read.
int ReadShellLinkTarget(const wchar_t* linkPath, wchar_t* out, size_t cchOut);

// The path of a CSIDL folder, ending in a backslash; the Windows folder
// when it cannot be had.
void GetSpecialFolderPath(int csidl, wchar_t* out, size_t cchOut);

// Tells the shell that file associations changed.
void NotifyAssociationsChanged(UINT flags);
