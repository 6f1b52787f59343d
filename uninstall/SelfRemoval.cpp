// The uninstaller's own file and the installation folder.
//
// A running program cannot delete its own file. So the first process, once
// everything else is gone and its exit status is settled, copies itself into
// a fresh private folder of the temporary folder and starts the copy with an
// inheritable handle of its own process. The copy waits for that process to
// end, deletes the uninstaller's file and the folder when empty, and then has
// only itself left: its file and private folder are removed at the next
// restart (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT, which needs the
// administrator rights the removal of the machine-wide entries needs too).
// The copy keeps the name lu_uninstall.exe: compatibility entries and per-
// program settings go by that name.
#include "uninstall/SelfRemoval.h"

#include <windows.h>
#include <wchar.h>

#include "app/SingleInstance.h"
#include "platform/Scoped.h"
#include "platform/Text.h"
#include "uninstall/FileRemoval.h"
#include "uninstall/Removal.h"

namespace {

const wchar_t kFinishSwitch[] = L"/finish ";
const wchar_t kPrivateFolderPrefix[] = L"lu";
constexpr DWORD kFirstProcessWaitMs = 60000;
constexpr int kDeleteAttempts = 20;
constexpr DWORD kDeleteRetryMs = 100;

bool IsDriveRoot(const wchar_t* folder) { return wcslen(folder) <= 3; }

void RemoveAtRestart(const wchar_t* path) { MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); }

// The uninstaller's file, then its folder (the restart removes a folder
// only when it is empty by then).
void RemoveFirstFileAtRestart(const wchar_t* folder) {
    wchar_t uninstaller[kPathChars];
    if (!EntryPath(folder, kUninstallerEntry, uninstaller)) return;
    RemoveAtRestart(uninstaller);
    if (!IsDriveRoot(folder)) RemoveAtRestart(folder);
}

bool TemporaryFolder(wchar_t (&temp)[kPathChars]) {
    DWORD length = GetTempPathW(kPathChars, temp);
    return length > 0 && length < kPathChars && EndsWithBackslash(temp);
}

// A new folder "lu<6 hex digits>.tmp\" of the temporary folder, made by this
// process, so that nobody else's file is ever started from it.
bool CreatePrivateFolder(wchar_t (&folder)[kPathChars]) {
    wchar_t temp[kPathChars];
    if (!TemporaryFolder(temp)) return false;
    DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 12);
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        if (!FormatText(folder, kPathChars, L"%s%s%06lX.tmp\\", temp, kPrivateFolderPrefix,
                        static_cast<unsigned long>((seed + attempt * 7919) & 0xFFFFFF)))
            return false;
        if (CreateDirectoryW(folder, nullptr)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

// Whether this program runs from such a private folder: only a copy made
// there does the copy's work.
bool RunsFromPrivateFolder(wchar_t (&self)[kPathChars]) {
    DWORD length = GetModuleFileNameW(nullptr, self, kPathChars);
    wchar_t temp[kPathChars];
    if (length == 0 || length >= kPathChars || !TemporaryFolder(temp)) return false;
    size_t tempLength = wcslen(temp);
    const wchar_t* rest = self + tempLength;
    return _wcsnicmp(self, temp, tempLength) == 0 && _wcsnicmp(rest, kPrivateFolderPrefix, 2) == 0 &&
           wcslen(rest) == 13 + wcslen(kUninstallerEntry) && _wcsnicmp(rest + 8, L".tmp\\", 5) == 0;
}

bool StartCopy(const wchar_t* folder, const wchar_t* privateFolder, const wchar_t* copy) {
    CScopedHandle ownProcess;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), ownProcess.put(), SYNCHRONIZE,
                         TRUE, 0))
        return false;
    wchar_t commandLine[kPathChars * 2 + 32];
    if (!FormatText(commandLine, ARRAYSIZE(commandLine), L"\"%s\" %s%lu %s", copy, kFinishSwitch,
                    static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(ownProcess.get())), folder))
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // Started in its own folder: a current directory inside the installation
    // folder would keep that folder from going.
    if (!CreateProcessW(copy, commandLine, nullptr, nullptr, TRUE, 0, nullptr, privateFolder, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

void HandOverOwnRemoval(const wchar_t* folder) {
    wchar_t self[kPathChars];
    DWORD length = GetModuleFileNameW(nullptr, self, kPathChars);
    wchar_t privateFolder[kPathChars];
    wchar_t copy[kPathChars];
    if (length > 0 && length < kPathChars && CreatePrivateFolder(privateFolder)) {
        if (FormatText(copy, kPathChars, L"%s%s", privateFolder, kUninstallerEntry) && CopyFileW(self, copy, TRUE) &&
            StartCopy(folder, privateFolder, copy))
            return;
        DeleteFileW(copy);
        RemoveDirectoryW(privateFolder);
    }
    RemoveFirstFileAtRestart(folder);
}

bool FinishOwnRemoval(const wchar_t* arguments) {
    size_t switchLength = wcslen(kFinishSwitch);
    if (wcsncmp(arguments, kFinishSwitch, switchLength) != 0) return false;
    wchar_t self[kPathChars];
    if (!RunsFromPrivateFolder(self)) return true;  // not a copy made for this: nothing to do

    wchar_t* end = nullptr;
    unsigned long handleValue = wcstoul(arguments + switchLength, &end, 10);
    if (!end || *end != L' ') return true;
    const wchar_t* folder = end + 1;
    size_t folderLength = wcslen(folder);
    if (folderLength < 3 || folderLength >= kPathChars || !EndsWithBackslash(folder)) return true;

    // Only a real handle of the first process counts.
    CScopedHandle firstProcess(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handleValue)));
    if (WaitForSingleObject(firstProcess.get(), kFirstProcessWaitMs) == WAIT_FAILED) {
        firstProcess.release();
        return true;
    }
    firstProcess.reset();

    // A setup program that started meanwhile may be installing into the folder.
    CSetupInstanceLock lock;
    if (lock.Acquire() && !IsInstallation(folder)) {
        wchar_t uninstaller[kPathChars];
        if (EntryPath(folder, kUninstallerEntry, uninstaller)) {
            bool deleted = false;
            for (int attempt = 0; attempt < kDeleteAttempts && !deleted; ++attempt) {
                deleted = DeleteFileW(uninstaller) || GetLastError() == ERROR_FILE_NOT_FOUND;
                if (!deleted) Sleep(kDeleteRetryMs);
            }
            if (!deleted) {
                RemoveFirstFileAtRestart(folder);
            } else if (!IsDriveRoot(folder)) {
                RemoveDirectoryW(folder);
            }
        }
    }

    // What is left is this copy in its private folder.
    RemoveAtRestart(self);
    wchar_t* name = wcsrchr(self, L'\\');
    if (name) {
        *name = L'\0';
        RemoveAtRestart(self);
    }
    return true;
}
