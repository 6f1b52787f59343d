// The uninstaller's own file and the installation folder.
//
// A running program cannot delete its own file. So the first process, once
// everything else is gone and its exit status is settled, copies itself into
// a fresh private folder of the temporary folder (only the system, the
// administrators and this user may write there) and starts the copy with an
// inheritable handle of its own process and the identities of the folder and
// of its created parents: the copy removes by those, never by the path alone,
// which a user could have bent through a link meanwhile. The copy waits for that process to
// end, deletes the uninstaller's file and the folder when empty, and then has
// only itself left: its file and private folder are removed at the next
// restart (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT, which needs the
// administrator rights the removal of the machine-wide entries needs too).
// The copy keeps the name lu_uninstall.exe: compatibility entries and per-
// program settings go by that name.
#include "uninstall/SelfRemoval.h"

#include <windows.h>
#include <wchar.h>

#include <sddl.h>

#include "app/SingleInstance.h"
#include "install/InstallRecord.h"
#include "platform/FileIdentity.h"
#include "platform/Folders.h"
#include "platform/Processes.h"
#include "platform/Scoped.h"
#include "platform/Text.h"
#include "uninstall/ContainedRemoval.h"
#include "uninstall/FileRemoval.h"
#include "uninstall/Installation.h"

namespace {

const wchar_t kFinishSwitch[] = L"/finish ";
const wchar_t kPrivateFolderPrefix[] = L"lu";
constexpr DWORD kFirstProcessWaitMs = 60000;
constexpr DWORD kSetupLockWaitMs = 60000;
constexpr DWORD kRetryMs = 100;
constexpr int kDeleteAttempts = 20;
constexpr int kMaxParentLevels = 16;
constexpr int kNotHandedOver = 2;

// The folder's identity and its created parents', in the copy's command line.
struct FolderIdentities {
    int count = 0;  // the folder and then its parents
    FileIdentity identities[1 + kMaxParentLevels];
};

// A folder is named without its trailing backslash.
void RemoveAtRestart(const wchar_t* path) {
    wchar_t name[kPathChars];
    if (!CopyText(name, path)) return;
    TrimTrailingBackslashes(name);
    MoveFileExW(name, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// The folder, then up to parentLevels folders above it, at the next restart
// (which removes a folder only when it is empty by then); never a drive's root.
void RemoveFoldersAtRestart(const wchar_t* folder, int parentLevels) {
    wchar_t level[kPathChars];
    if (!CopyText(level, folder)) return;
    for (int i = 0; i <= parentLevels; ++i) {
        wchar_t parent[kPathChars];
        if (!CopyText(parent, level) || !CutLastLevel(parent)) return;
        RemoveAtRestart(level);
        CopyText(level, parent);
    }
}

void RemoveAllAtRestart(const wchar_t* folder, int parentLevels) {
    wchar_t uninstaller[kPathChars];
    if (FormatText(uninstaller, kPathChars, L"%s%s", folder, kUninstallerEntry)) RemoveAtRestart(uninstaller);
    RemoveFoldersAtRestart(folder, parentLevels);
}

// The folder and then its created parents, each when empty and still the
// folder of its identity; a folder open in another program goes at the next
// restart, with those above it.
void RemoveFolders(const wchar_t* folder, const FolderIdentities& folders) {
    int parentLevels = folders.count - 1;
    wchar_t level[kPathChars];
    if (!CopyText(level, folder)) return;
    for (int i = 0; i <= parentLevels; ++i) {
        wchar_t parent[kPathChars];
        if (!CopyText(parent, level) || !CutLastLevel(parent)) return;  // never a drive's root
        ItemRemoval removed = RemoveContainedFolder({level, &folders.identities[i]}, L"");
        if (removed == ItemRemoval::Failed) return RemoveFoldersAtRestart(level, parentLevels - i);
        if (removed != ItemRemoval::Removed) return;  // files of the user, or a link: they stay
        CopyText(level, parent);
    }
}

bool TemporaryFolder(wchar_t (&temp)[kPathChars]) {
    DWORD length = GetTempPathW(kPathChars, temp);
    return length > 0 && length < kPathChars && EndsWithBackslash(temp);
}

// A new folder "lu<6 hex digits>.tmp\" of the temporary folder, made by this
// process, so that nobody else's file is ever started from it. Its access
// list is its own (the system's temporary folder lets every user add files
// to folders below it): the system, the administrators and this user.
bool CreatePrivateFolder(wchar_t (&folder)[kPathChars]) {
    wchar_t temp[kPathChars], sid[192], sddl[256];
    if (!TemporaryFolder(temp) || !CurrentUserSid(sid, ARRAYSIZE(sid)) ||
        !FormatText(sddl, ARRAYSIZE(sddl), L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;%s)", sid))
        return false;
    SECURITY_ATTRIBUTES security = {sizeof(security), nullptr, FALSE};
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &security.lpSecurityDescriptor,
                                                              nullptr))
        return false;
    bool created = false;
    DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 12);
    for (DWORD attempt = 0; attempt < 100 && !created; ++attempt) {
        if (!FormatText(folder, kPathChars, L"%s%s%06lX.tmp\\", temp, kPrivateFolderPrefix,
                        static_cast<unsigned long>((seed + attempt * 7919) & 0xFFFFFF)))
            break;
        created = CreateDirectoryW(folder, &security) != 0;
        if (!created && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    LocalFree(security.lpSecurityDescriptor);
    return created;
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

bool StartCopy(const wchar_t* folder, const FolderIdentities& folders, const wchar_t* privateFolder,
               const wchar_t* copy) {
    CScopedHandle ownProcess;
    // The copy checks which program this process runs, then waits for its end.
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), ownProcess.put(),
                         SYNCHRONIZE | PROCESS_QUERY_INFORMATION, TRUE, 0))
        return false;
    // "/finish <handle> <count> <volume>-<index high>-<index low>... <folder>"
    wchar_t commandLine[kPathChars * 2 + 32 * (1 + kMaxParentLevels)];
    if (!FormatText(commandLine, ARRAYSIZE(commandLine), L"\"%s\" %s%lu %d", copy, kFinishSwitch,
                    static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(ownProcess.get())), folders.count))
        return false;
    for (int i = 0; i < folders.count; ++i) {
        const FileIdentity& id = folders.identities[i];
        wchar_t token[32];
        if (!FormatText(token, ARRAYSIZE(token), L" %lx-%lx-%lx", id.volume, id.indexHigh, id.indexLow) ||
            !AppendText(commandLine, token))
            return false;
    }
    if (!AppendText(commandLine, L" ") || !AppendText(commandLine, folder)) return false;
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

// Whether the handle is a process whose program file is the folder's
// uninstaller, by identity.
bool RunsUninstallerOf(HANDLE process, const wchar_t* folder) {
    wchar_t image[kPathChars], uninstaller[kPathChars];
    return ProcessImagePath(process, image, kPathChars) &&
           FormatText(uninstaller, kPathChars, L"%s%s", folder, kUninstallerEntry) && SameItem(image, uninstaller);
}

// The setup lock, waited for up to a limit: a setup program that started
// meanwhile may be installing into the folder.
bool AcquireSetupLock(CSetupInstanceLock& lock) {
    for (DWORD waited = 0; waited < kSetupLockWaitMs; waited += kRetryMs) {
        if (lock.Acquire()) return true;
        Sleep(kRetryMs);
    }
    return lock.Acquire();
}

// The identities of the folder and of up to parentLevels folders above it, as
// they are now; fewer where a level cannot be opened.
FolderIdentities IdentitiesOf(const wchar_t* folder, int parentLevels) {
    FolderIdentities folders;
    wchar_t level[kPathChars];
    if (!CopyText(level, folder)) return folders;
    for (int i = 0; i <= parentLevels && i <= kMaxParentLevels; ++i) {
        if (!IdentityOfPath(level, folders.identities[i])) break;
        ++folders.count;
        if (!CutLastLevel(level)) break;
    }
    return folders;
}

// "<count> <identity>..." of the copy's command line; the rest (the folder)
// in rest. False when it is no such list.
bool ParseIdentities(const wchar_t* text, FolderIdentities& folders, const wchar_t*& rest) {
    wchar_t* end = nullptr;
    long count = wcstol(text, &end, 10);
    if (end == text || count < 1 || count > 1 + kMaxParentLevels) return false;
    for (long i = 0; i < count; ++i) {
        FileIdentity& id = folders.identities[i];
        if (*end != L' ') return false;
        id.volume = wcstoul(end + 1, &end, 16);
        if (*end != L'-') return false;
        id.indexHigh = wcstoul(end + 1, &end, 16);
        if (*end != L'-') return false;
        id.indexLow = wcstoul(end + 1, &end, 16);
    }
    if (*end != L' ') return false;
    folders.count = static_cast<int>(count);
    rest = end + 1;
    return true;
}

}  // namespace

void HandOverOwnRemoval(const wchar_t* folder, int parentLevels) {
    FolderIdentities folders = IdentitiesOf(folder, parentLevels);
    wchar_t self[kPathChars];
    DWORD length = GetModuleFileNameW(nullptr, self, kPathChars);
    wchar_t privateFolder[kPathChars];
    wchar_t copy[kPathChars];
    if (length > 0 && length < kPathChars && CreatePrivateFolder(privateFolder)) {
        // The copy takes the attributes of the original: a read-only one
        // would outlast the restart.
        if (FormatText(copy, kPathChars, L"%s%s", privateFolder, kUninstallerEntry) && CopyFileW(self, copy, TRUE) &&
            SetFileAttributesW(copy, FILE_ATTRIBUTE_NORMAL) && folders.count > 0 &&
            StartCopy(folder, folders, privateFolder, copy))
            return;
        DeleteFileW(copy);
        RemoveDirectoryW(privateFolder);
    }
    RemoveAllAtRestart(folder, parentLevels);
}

int FinishOwnRemoval(const wchar_t* arguments) {
    size_t switchLength = wcslen(kFinishSwitch);
    if (wcsncmp(arguments, kFinishSwitch, switchLength) != 0) return -1;
    wchar_t self[kPathChars];
    if (!RunsFromPrivateFolder(self)) return kNotHandedOver;

    wchar_t* end = nullptr;
    unsigned long handleValue = wcstoul(arguments + switchLength, &end, 10);
    FolderIdentities folders;
    const wchar_t* folder = nullptr;
    if (!end || *end != L' ' || !ParseIdentities(end + 1, folders, folder)) return kNotHandedOver;
    int parentLevels = folders.count - 1;
    size_t folderLength = wcslen(folder);
    if (folderLength < 3 || folderLength >= kPathChars || !EndsWithBackslash(folder)) return kNotHandedOver;

    // Only a real handle of a process running this folder's uninstaller, and
    // only once it has ended.
    HANDLE firstProcess = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handleValue));
    if (!RunsUninstallerOf(firstProcess, folder) ||
        WaitForSingleObject(firstProcess, kFirstProcessWaitMs) != WAIT_OBJECT_0)
        return kNotHandedOver;
    CloseHandle(firstProcess);

    CSetupInstanceLock lock;
    if (!AcquireSetupLock(lock)) {
        RemoveAllAtRestart(folder, parentLevels);
    } else {
        CInstallation installation;
        if (!installation.Find(folder)) {
            // Its image may stay mapped a moment after the process ended.
            ItemRemoval removed = ItemRemoval::Failed;
            for (int attempt = 0; attempt < kDeleteAttempts && removed == ItemRemoval::Failed; ++attempt) {
                removed = RemoveContainedFile({folder, &folders.identities[0]}, kUninstallerEntry);
                if (removed == ItemRemoval::Failed) Sleep(kRetryMs);
            }
            if (removed == ItemRemoval::Failed) {
                RemoveAllAtRestart(folder, parentLevels);
            } else if (removed != ItemRemoval::Link) {
                RemoveFolders(folder, folders);
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
    return 0;
}
