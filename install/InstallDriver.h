// One installation from end to end, for the wizard and the silent road alike.
#pragma once

#include <stddef.h>

#include "app/InstallOptions.h"
#include "platform/TextList.h"

// What one installation ended with.
struct InstallOutcome {
    // In: a silent run's messages go to the log an administrator named with
    // "/log=", which the caller writes; "Lumidor_Install.log" is left alone.
    bool runLog = false;
    int failureMessageId = 0;    // the message of the failure that stopped it; 0 when it ran to its end
    wchar_t failureLine[1536];   // a silent run's log line for it
    CTextList notReplaced;       // payload files (full paths) that could not be written: in use, read-only
    bool associationsChosen = false;  // formats were chosen and the question, where asked, answered yes
};

// 1 when the installation ran to its end, 0 when it stopped at a failure that
// was shown (wizard) or logged (silent). outcome, when given, says which
// failure, and which files could not be replaced.
// May change options.iniFolder; after a complete installation
// options.targetFolder holds the folder the files were unpacked into.
int PerformInstallation(InstallOptions& options, InstallOutcome* outcome = nullptr);

// The exit status a silent run gives for an installation's outcome.
int ExitStatusOf(const InstallOutcome& outcome);

// "X:\..." or "\server\share...": nothing relative to a current directory.
bool IsFullyQualifiedFolder(const wchar_t* folder);

// Whether every path the installation builds from folder (its own files and
// the payload's longest entry) stays within 259 characters.
bool FolderFitsInstallation(const wchar_t* folder, size_t longestEntryName);
