// The uninstaller's own file and the installation folder, which cannot go
// while the uninstaller runs from them.
#pragma once

// Hands the uninstaller's file and the folder (when empty), then up to
// parentLevels folders above it that the installation created (each when
// empty), over to a copy of the uninstaller in a fresh private folder of the
// temporary folder, which removes them once this process has ended. Where no
// copy can be started, they are removed at the next restart instead.
void HandOverOwnRemoval(const wchar_t* folder, int parentLevels);

// The copy's command line: "/finish <process handle> <parent levels> <folder>".
// -1 when the arguments are not one; otherwise the exit status: 0 once the
// work was done, nonzero when the hand-over was not real (the handle is no
// process running the folder's uninstaller, or the wait for it did not end
// with its end), and then nothing changed.
int FinishOwnRemoval(const wchar_t* arguments);
