// The viewer's settings file "lumi32.ini": where it lives, the keys the
// setup program owns, and its final conversion to UTF-16.
#pragma once

#include <stddef.h>

constexpr size_t kExpandedFolderChars = 520;

// Writes INI_Folder, the language and (when none is set yet) the toolbar skin,
// and returns the settings file's path in settingsIniPath[260]. In silent
// mode an empty iniFolder[260] may become "%APPDATA%\Lumidor".
// settingsFolderCreated (when given): whether this call made the folder of a
// settings file outside the program folder.
void WriteViewerSettings(const wchar_t* targetFolder, wchar_t* iniFolder, int silent, wchar_t* settingsIniPath,
                         bool* settingsFolderCreated = nullptr);

// The settings file of the installation in programFolder, as its own
// "lumi32.ini" names it through INI_Folder, in path[260]; false when the
// settings live in the program folder's file itself.
bool SeparateSettingsFile(const wchar_t* programFolder, wchar_t* path);

// The settings file's twin, "lumi32.ini_temp", beside it in twin[260].
bool SettingsTwinOf(const wchar_t* settingsPath, wchar_t* twin);

// Replaces every %NAME% reference by the variable's value (nothing when it is
// not set). False, with out empty, when a name or the result does not fit.
bool ExpandIniFolder(const wchar_t* text, wchar_t* out, size_t cchOut);

// The display's horizontal resolution as a percentage of 96 dots per inch.
int DpiPercentFrom(int logPixelsX);

// Toolbar icon size (48, 32, 24 or 16) for a full-screen client height and
// a resolution percentage.
int ChooseToolbarIconSize(int screenHeight, int dpiPercent);

// Rewrites a settings file as UTF-16LE with byte-order mark and header.
// 1 on success or when there was nothing to do, 0 when the replacement failed.
// Other encodings (UTF-8, UTF-16 big-endian) are converted with their text
// intact.
int ConvertIniToUnicode(const wchar_t* path);

// Profile writes into a converted settings file drop the empty line after its
// header: puts it back.
void RestoreUnicodeHeader(const wchar_t* path);

// Converts a settings file that the profile functions would misread (UTF-8,
// UTF-16 big-endian) to UTF-16LE; ANSI and UTF-16LE files stay as they are.
void NormaliseSettingsEncoding(const wchar_t* path);
