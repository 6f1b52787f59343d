// The wizard's decisions as plain functions of plain inputs, so that tests
// can try any folder, resolution or text.
#pragma once

#include <windows.h>
#include <stddef.h>

// The welcome page's check of the typed folder: a drive letter, a colon and a
// backslash, with folder and name parts that the path splitter accepts.
// Relative, drive-relative ("C:foo") and network paths are refused.
bool IsAcceptedTargetFolder(const wchar_t* folder);

// The folder dialog's choice made into the installation folder: a trailing
// backslash, and "Lumidor\" unless the last component is already "Lumidor".
// False (path unchanged) when the result would pass 259 characters.
bool MakeInstallFolderFromChoice(wchar_t* path, size_t cchPath);

// Strips the release notes at their end: every character after the last
// alphanumeric one becomes the terminator.
void StripAfterLastAlphanumeric(wchar_t* text);

// The associations list's two column widths for a list W pixels wide.
void FormatListColumnWidths(int listWidth, int dpi, int* first, int* second);

// What the finish page opens, besides its own actions, once the user chose
// formats and said yes to associating them: from Windows 8 on a program can
// no longer make itself the default, the user does, in the system's own
// place for it (Windows 8 and 8.1: the advanced association dialog for the
// viewer; Windows 10: the settings page of default apps). Vista and 7 took
// the choice as written; on Windows 11 the wizard offers no choice at all.
enum class DefaultsPage { None, AssociationDialog, DefaultAppsSettings };
DefaultsPage DefaultsPageFor(int systemVersionCode);

// The title font's height: 18 points' worth at the given resolution.
inline int TitleFontHeight(int dpi) { return MulDiv(18, dpi, 96); }
