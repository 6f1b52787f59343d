// Unpacking the payload archive resource into the installation folder.
#include "install/PayloadExtraction.h"

#include <string.h>
#include <wchar.h>

#include "platform/Scoped.h"
#include "platform/Text.h"

// unzip.h first: iowin32.h builds on its declarations.
#include "unzip.h"
#include "iowin32.h"

namespace {

constexpr size_t kTempPathChars = 520;
constexpr size_t kEntryNameBytes = 520;
constexpr size_t kEntryNameChars = 324;
constexpr DWORD kCopyBlockBytes = 0x8000;

// The archive resource, as mapped into the process.
struct ResourceBytes {
    const void* data = nullptr;
    DWORD size = 0;
};

ResourceBytes FindArchiveResource(WORD resourceId, const wchar_t* resourceType) {
    ResourceBytes bytes;
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(resourceId), resourceType);
    if (!found) return bytes;
    HGLOBAL loaded = LoadResource(self, found);
    bytes.data = loaded ? LockResource(loaded) : nullptr;
    bytes.size = bytes.data ? SizeofResource(self, found) : 0;
    return bytes;
}

constexpr wchar_t kTempFolderPrefix[] = L"lumidor-setup-";

// The temporary folder with a trailing backslash.
bool GetTempFolder(wchar_t (&temp)[kTempPathChars]) {
    DWORD length = GetTempPathW(kTempPathChars - 1, temp);
    if (length == 0 || length >= kTempPathChars - 1) return false;
    return EndsWithBackslash(temp) || AppendText(temp, L"\\");
}

// Whether the process that made a temporary folder has ended. A process that
// cannot be looked at (another account's) counts as running.
bool HasEnded(DWORD processId) {
    if (processId == GetCurrentProcessId()) return true;  // an earlier run with our id
    CScopedHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
    return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
}

// A new, empty subfolder of the temporary folder for this run only: a fixed
// name there could be planted or swapped by another account.
bool CreatePrivateTempFolder(const wchar_t* temp, wchar_t (&folder)[kTempPathChars]) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        if (!FormatText(folder, kTempPathChars, L"%s%s%lu-%u\\", temp, kTempFolderPrefix, GetCurrentProcessId(),
                        GetTickCount() + attempt))
            return false;
        if (CreateDirectoryW(folder, nullptr)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

bool WriteWholeFile(const wchar_t* path, const ResourceBytes& bytes) {
    CScopedFile file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file) return false;
    DWORD written = 0;
    bool complete = WriteFile(file.get(), bytes.data, bytes.size, &written, nullptr) && written == bytes.size;
    return CloseHandle(file.release()) && complete;
}

// Creates every level of an entry's folder part (relative to the current
// directory); gives up when a higher level cannot be made.
void CreateEntryFolders(const wchar_t* folderPart) {
    wchar_t folder[kEntryNameChars];
    if (folderPart[0] == L'\0' || !CopyText(folder, folderPart)) return;
    size_t length = wcslen(folder);
    if (length > 0 && folder[length - 1] == L'/') folder[--length] = L'\0';
    if (CreateDirectoryW(folder, nullptr)) return;
    for (size_t i = 1; i <= length; ++i) {
        if (i < length && folder[i] != L'\\' && folder[i] != L'/') continue;
        wchar_t saved = folder[i];
        folder[i] = L'\0';
        BOOL created = CreateDirectoryW(folder, nullptr);
        DWORD lastError = GetLastError();
        folder[i] = saved;
        if (!created && lastError == ERROR_PATH_NOT_FOUND) return;
    }
}

bool NameHoldsIconsDll(const char* name) {
    char lower[kEntryNameBytes];
    size_t i = 0;
    for (; name[i] != '\0' && i + 1 < sizeof(lower); ++i) {
        lower[i] = (name[i] >= 'A' && name[i] <= 'Z') ? static_cast<char>(name[i] - 'A' + 'a') : name[i];
    }
    lower[i] = '\0';
    return strstr(lower, "icons.dll") != nullptr;
}

// The entry's stored DOS date (high word) and time (low word) as UTC, from
// local time.
bool EntryFileTime(uLong dosDate, FILETIME& utc) {
    FILETIME local;
    return DosDateTimeToFileTime(HIWORD(dosDate), LOWORD(dosDate), &local) && LocalFileTimeToFileTime(&local, &utc);
}

// Skipped: not to be written (a kept icon library, an unsafe name).
// NotReplaced: a file that could not be written (in use, read-only).
enum class EntryResult { Written, Skipped, NotReplaced, Failed };

// Copies the open entry into a new file; the partly written file of a failed
// copy stays.
EntryResult WriteEntryFile(unzFile archive, const wchar_t* name, const wchar_t* folderPart,
                           const unz_file_info64& info, void* buffer) {
    CScopedFile file(CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && folderPart[0] != L'\0') {
        CreateEntryFolders(folderPart);
        file.reset(CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    if (!file) return EntryResult::NotReplaced;  // read-only or locked: left as it is

    ZPOS64_T total = 0;
    for (;;) {
        int read = unzReadCurrentFile(archive, buffer, kCopyBlockBytes);
        if (read < 0) return EntryResult::Failed;
        if (read == 0) break;
        total += static_cast<ZPOS64_T>(read);
        DWORD written = 0;
        if (!WriteFile(file.get(), buffer, static_cast<DWORD>(read), &written, nullptr) ||
            written != static_cast<DWORD>(read))
            return EntryResult::Failed;
    }
    // A deflate stream that ends early ends cleanly, and the check sum is
    // only compared once the declared size was reached: a short file would
    // pass for a whole one.
    if (total != info.uncompressed_size) return EntryResult::Failed;
    FILETIME stamp;
    if (EntryFileTime(info.dosDate, stamp)) SetFileTime(file.get(), &stamp, nullptr, &stamp);
    return CloseHandle(file.release()) ? EntryResult::Written : EntryResult::Failed;
}

// Unpacks the current entry. Folder entries and unsafe names are not files.
EntryResult UnpackEntry(unzFile archive, int keepInstalledIconsDll, void* buffer, bool& isFile,
                        wchar_t (&name)[kEntryNameChars]) {
    isFile = false;
    unz_file_info64 info;
    char narrowName[kEntryNameBytes];
    if (unzGetCurrentFileInfo64(archive, &info, narrowName, sizeof(narrowName), nullptr, 0, nullptr, 0) != UNZ_OK)
        return EntryResult::Failed;
    if (info.size_filename >= sizeof(narrowName)) return EntryResult::Skipped;  // the name would be cut
    if (keepInstalledIconsDll == 1 && NameHoldsIconsDll(narrowName)) return EntryResult::Skipped;

    if (!MultiByteToWideChar(CP_ACP, 0, narrowName, -1, name, kEntryNameChars) || !IsSafeEntryName(name))
        return EntryResult::Skipped;

    const wchar_t* filePart = name;
    for (const wchar_t* p = name; *p != L'\0'; ++p) {
        if (*p == L'/' || *p == L'\\') filePart = p + 1;
    }
    if (*filePart == L'\0') {
        CreateDirectoryW(name, nullptr);  // an existing folder is fine
        return EntryResult::Written;
    }

    isFile = true;
    wchar_t folderPart[kEntryNameChars];
    wmemcpy(folderPart, name, filePart - name);
    folderPart[filePart - name] = L'\0';

    if (unzOpenCurrentFile(archive) != UNZ_OK) return EntryResult::Failed;
    EntryResult result = WriteEntryFile(archive, name, folderPart, info, buffer);
    // Closing the entry checks its CRC.
    if (unzCloseCurrentFile(archive) != UNZ_OK && result == EntryResult::Written) return EntryResult::Failed;
    return result;
}

// The full path of a file that could not be written, for the report.
void NoteNotReplaced(const wchar_t* targetFolder, const wchar_t* name, CTextList& notReplaced) {
    wchar_t path[kTempPathChars];
    if (!FormatText(path, kTempPathChars, L"%s%s", targetFolder, name)) return;
    for (wchar_t* p = path; *p != L'\0'; ++p) {
        if (*p == L'/') *p = L'\\';
    }
    notReplaced.Add(path);
}

}  // namespace

// A run that was stopped from outside (killed, switched off) could not remove
// its copy of the archive. Removes that copy and its folder, but only for
// folders of our own naming whose process has ended; anything else a user
// put there stays, since the folder is only removed when empty.
void RemoveAbandonedTempFolders(const wchar_t* temp, const wchar_t* archiveName) {
    wchar_t pattern[kTempPathChars];
    if (!FormatText(pattern, kTempPathChars, L"%s%s*", temp, kTempFolderPrefix)) return;
    WIN32_FIND_DATAW found;
    CScopedFind search(FindFirstFileW(pattern, &found));
    if (!search) return;
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) !=
            FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const wchar_t* idText = found.cFileName + wcslen(kTempFolderPrefix);
        wchar_t* idEnd = nullptr;
        unsigned long processId = wcstoul(idText, &idEnd, 10);
        if (idEnd == idText || *idEnd != L'-' || !HasEnded(processId)) continue;
        wchar_t path[kTempPathChars];
        if (FormatText(path, kTempPathChars, L"%s%s\\%s", temp, found.cFileName, archiveName)) DeleteFileW(path);
        if (FormatText(path, kTempPathChars, L"%s%s", temp, found.cFileName)) RemoveDirectoryW(path);
    } while (FindNextFileW(search.get(), &found));
}

bool IsSafeEntryName(const wchar_t* name) {
    if (name[0] == L'\0' || name[0] == L'/' || name[0] == L'\\' || wcschr(name, L':')) return false;
    const wchar_t* component = name;
    for (const wchar_t* p = name;; ++p) {
        if (*p == L'/' || *p == L'\\' || *p == L'\0') {
            if (p - component == 2 && component[0] == L'.' && component[1] == L'.') return false;
            if (*p == L'\0') return true;
            component = p + 1;
        }
    }
}

int UnpackArchive(const wchar_t* archivePath, const wchar_t* targetFolder, int keepInstalledIconsDll,
                  CTextList* notReplaced) {
    zlib_filefunc64_def files;
    fill_win32_filefunc64W(&files);
    unzFile archive = unzOpen2_64(archivePath, &files);
    if (!archive) return -1;
    struct Guard {
        unzFile archive;
        ~Guard() { unzClose(archive); }
    } guard{archive};

    // The installation folder stays the current directory from here on.
    if (!SetCurrentDirectoryW(targetFolder)) return -1;

    unz_global_info64 global;
    if (unzGetGlobalInfo64(archive, &global) != UNZ_OK) return -1;
    CHeapBlock buffer(kCopyBlockBytes);
    if (!buffer) return -1;

    int result = 0;
    ZPOS64_T filesCreated = 0;
    for (ZPOS64_T entry = 0; entry < global.number_entry; ++entry) {
        bool isFile = false;
        wchar_t name[kEntryNameChars];
        EntryResult unpacked = UnpackEntry(archive, keepInstalledIconsDll, buffer.get(), isFile, name);
        if (unpacked == EntryResult::NotReplaced && notReplaced) NoteNotReplaced(targetFolder, name, *notReplaced);
        if (unpacked == EntryResult::Failed) {
            result = -1;
            break;
        }
        if (isFile && unpacked == EntryResult::Written) ++filesCreated;
        if (entry + 1 < global.number_entry && unzGoToNextFile(archive) != UNZ_OK) {
            result = -1;
            break;
        }
    }
    if (result == 0 && filesCreated == 0) result = -1;  // nothing of the viewer arrived
    return result;
}

int ExtractPayload(WORD resourceId, const wchar_t* resourceType, const wchar_t* archiveName,
                   const wchar_t* targetFolder, int keepInstalledIconsDll, CTextList* notReplaced) {
    ResourceBytes bytes = FindArchiveResource(resourceId, resourceType);
    if (!bytes.data || bytes.size == 0) return -1;

    wchar_t temp[kTempPathChars];
    wchar_t tempFolder[kTempPathChars];
    wchar_t archivePath[kTempPathChars];
    if (!GetTempFolder(temp)) return -1;
    RemoveAbandonedTempFolders(temp, archiveName);
    if (!CreatePrivateTempFolder(temp, tempFolder)) return -1;
    int result = -1;
    if (FormatText(archivePath, kTempPathChars, L"%s%s", tempFolder, archiveName)) {
        if (WriteWholeFile(archivePath, bytes))
            result = UnpackArchive(archivePath, targetFolder, keepInstalledIconsDll, notReplaced);
        DeleteFileW(archivePath);
    }
    RemoveDirectoryW(tempFolder);
    return result;
}

size_t LongestPayloadEntryName(WORD resourceId, const wchar_t* resourceType) {
    ResourceBytes bytes = FindArchiveResource(resourceId, resourceType);
    const unsigned char* data = static_cast<const unsigned char*>(bytes.data);
    if (!data || bytes.size < 22) return 0;
    auto read16 = [&](DWORD at) { return static_cast<DWORD>(data[at] | (data[at + 1] << 8)); };
    auto read32 = [&](DWORD at) { return read16(at) | (read16(at + 2) << 16); };

    // The end-of-central-directory record: its signature, looked for backwards
    // over the largest possible comment.
    DWORD end = bytes.size - 22;
    DWORD lowest = bytes.size > 22 + 0xFFFF ? bytes.size - 22 - 0xFFFF : 0;
    while (read32(end) != 0x06054B50) {
        if (end == lowest) return 0;
        --end;
    }
    DWORD entries = read16(end + 10);
    DWORD at = read32(end + 16);
    size_t longest = 0;
    for (DWORD i = 0; i < entries; ++i) {
        if (bytes.size < 46 || at > bytes.size - 46 || read32(at) != 0x02014B50) break;
        DWORD nameBytes = read16(at + 28);
        if (nameBytes > longest) longest = nameBytes;  // one character per byte at most
        at += 46 + nameBytes + read16(at + 30) + read16(at + 32);
    }
    return longest;
}
