// The uninstaller's own file and the installation folder, which cannot go
// while the uninstaller runs from them.
#pragma once

// Hands the uninstaller's file and the folder (when empty) over to a copy of
// the uninstaller in a fresh private folder of the temporary folder, which
// removes them once this process has ended. Where no copy can be started,
// both are removed at the next restart instead.
void HandOverOwnRemoval(const wchar_t* folder);

// The copy's command line: "/finish <process handle> <folder>". Returns true
// when commandLine is one (and the work was done).
bool FinishOwnRemoval(const wchar_t* arguments);
