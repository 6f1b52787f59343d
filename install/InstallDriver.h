// One installation from end to end, for the wizard and the silent road alike.
#pragma once

#include <stddef.h>

#include "app/InstallOptions.h"

// 1 when the installation ran to its end, 0 when it stopped at a failure that
// was shown (wizard) or logged (silent). failureMessageId, when given,
// receives the string id of that failure's message (0 on success).
// May change options.iniFolder; after a complete installation
// options.targetFolder holds the folder the files were unpacked into.
int PerformInstallation(InstallOptions& options, int* failureMessageId = nullptr);

// "X:\..." or "\server\share...": nothing relative to a current directory.
bool IsFullyQualifiedFolder(const wchar_t* folder);

// Whether every path the installation builds from folder (its own files and
// the payload's longest entry) stays within 259 characters.
bool FolderFitsInstallation(const wchar_t* folder, size_t longestEntryName);
