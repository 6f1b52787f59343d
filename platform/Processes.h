// The program file of a running (or ended) process.
#pragma once

#include <windows.h>
#include <stddef.h>

// The full path of the process's program file ("C:\...") in out; the handle
// needs PROCESS_QUERY_INFORMATION (or PROCESS_QUERY_LIMITED_INFORMATION from
// Vista on). False when it cannot be had.
bool ProcessImagePath(HANDLE process, wchar_t* out, size_t cchOut);

// Whether any process of the machine (any session, any user this process
// may look at) runs the program file of that path: by the identity of the
// file, not by its name.
bool AnyProcessRuns(const wchar_t* programFile);

// A device path as Windows XP reports program files
// ("\Device\HarddiskVolume1\Lumidor\lumi32.exe") in drive-letter form, given
// the device each drive letter stands for (devices[i] for letter 'A' + i,
// "" where none): false when no letter stands for its device.
bool DrivePathFromDevicePath(const wchar_t* devicePath, const wchar_t* const devices[26], wchar_t* out,
                             size_t cchOut);
