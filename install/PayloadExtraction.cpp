// Unpacking the payload archive resource into the installation folder.
#include "install/PayloadExtraction.h"

#include <string.h>
#include <wchar.h>

#include "platform/Scoped.h"
#include "platform/Text.h"

// minizip reads the archive; zlib's tables are built before the threads start.
#include "unzip.h"
#include "zlib.h"

namespace {

constexpr size_t kTempPathChars = 520;
constexpr size_t kEntryNameBytes = 520;
constexpr size_t kEntryNameChars = 324;
// Each thread's buffer: most entries are inflated in one piece.
constexpr DWORD kCopyBlockBytes = 0x100000;
constexpr SIZE_T kUnpackingStackBytes = 0x10000;
// More entries than a 32-bit program could list.
constexpr ZPOS64_T kMaxEntries = 0x1000000;

// A mapped view of a file, unmapped with the holder.
inline void UnmapView(void* view) { UnmapViewOfFile(view); }
using CScopedView = CScoped<NullInvalid<void*, UnmapView>>;

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

bool WriteWhole(HANDLE file, const ResourceBytes& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data, bytes.size, &written, nullptr) && written == bytes.size;
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
enum class EntryResult : LONG { Written, Skipped, NotReplaced, Failed };

// Copies the open entry into a new file; the partly written file of a failed
// copy stays. An entry up to the buffer's size is inflated at once and
// written with one call, a larger one in blocks of that size.
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

enum class EntryKind { File, Folder, Skipped, Failed };

// Reads the current entry's information and its name as a path below the
// installation folder. Unsafe names and the kept icon library are skipped.
EntryKind ReadEntry(unzFile archive, int keepInstalledIconsDll, unz_file_info64& info,
                    wchar_t (&name)[kEntryNameChars]) {
    char narrowName[kEntryNameBytes];
    if (unzGetCurrentFileInfo64(archive, &info, narrowName, sizeof(narrowName), nullptr, 0, nullptr, 0) != UNZ_OK)
        return EntryKind::Failed;
    if (info.size_filename >= sizeof(narrowName)) return EntryKind::Skipped;  // the name would be cut
    if (keepInstalledIconsDll == 1 && NameHoldsIconsDll(narrowName)) return EntryKind::Skipped;
    if (!MultiByteToWideChar(CP_ACP, 0, narrowName, -1, name, kEntryNameChars) || !IsSafeEntryName(name))
        return EntryKind::Skipped;
    wchar_t last = name[wcslen(name) - 1];
    return last == L'/' || last == L'\\' ? EntryKind::Folder : EntryKind::File;
}

// Unpacks the current entry, a file.
EntryResult UnpackFile(unzFile archive, int keepInstalledIconsDll, void* buffer) {
    unz_file_info64 info;
    wchar_t name[kEntryNameChars];
    EntryKind kind = ReadEntry(archive, keepInstalledIconsDll, info, name);
    if (kind != EntryKind::File) return kind == EntryKind::Failed ? EntryResult::Failed : EntryResult::Skipped;

    const wchar_t* filePart = name;
    for (const wchar_t* p = name; *p != L'\0'; ++p) {
        if (*p == L'/' || *p == L'\\') filePart = p + 1;
    }
    wchar_t folderPart[kEntryNameChars];
    wmemcpy(folderPart, name, filePart - name);
    folderPart[filePart - name] = L'\0';

    if (unzOpenCurrentFile(archive) != UNZ_OK) return EntryResult::Failed;
    EntryResult result = WriteEntryFile(archive, name, folderPart, info, buffer);
    // Closing the entry checks its CRC.
    if (unzCloseCurrentFile(archive) != UNZ_OK && result == EntryResult::Written) return EntryResult::Failed;
    return result;
}

// The temporary copy of the archive, mapped for reading. Every thread reads it
// through a cursor of its own.
struct ArchiveCursor {
    const unsigned char* data;
    ZPOS64_T size;
    ZPOS64_T position;
};

voidpf ZCALLBACK OpenCursor(voidpf opaque, const void*, int mode) {
    return (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ ? opaque : nullptr;
}

uLong ZCALLBACK ReadCursor(voidpf, voidpf stream, void* buffer, uLong size) {
    auto* cursor = static_cast<ArchiveCursor*>(stream);
    ZPOS64_T left = cursor->size - cursor->position;
    if (size > left) size = static_cast<uLong>(left);
    memcpy(buffer, cursor->data + cursor->position, size);
    cursor->position += size;
    return size;
}

uLong ZCALLBACK WriteCursor(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK TellCursor(voidpf, voidpf stream) { return static_cast<ArchiveCursor*>(stream)->position; }

long ZCALLBACK SeekCursor(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* cursor = static_cast<ArchiveCursor*>(stream);
    ZPOS64_T base = origin == ZLIB_FILEFUNC_SEEK_CUR ? cursor->position
                    : origin == ZLIB_FILEFUNC_SEEK_END ? cursor->size : 0;
    if (offset > cursor->size - base) return -1;
    cursor->position = base + offset;
    return 0;
}

int ZCALLBACK CloseCursor(voidpf, voidpf) { return 0; }

int ZCALLBACK CursorError(voidpf, voidpf) { return 0; }

// minizip's archive handle, closed with the holder.
struct ArchiveTraits {
    using Type = unzFile;
    static unzFile Invalid() { return nullptr; }
    static void Close(unzFile archive) { unzClose(archive); }
};
using CScopedArchive = CScoped<ArchiveTraits>;

// Opens the archive through the cursor, which must outlive the handle.
unzFile OpenArchive(ArchiveCursor& cursor) {
    zlib_filefunc64_def functions = {OpenCursor, ReadCursor,  WriteCursor, TellCursor,
                                     SeekCursor, CloseCursor, CursorError, &cursor};
    return unzOpen2_64("", &functions);
}

struct UnpackJob {
    unz64_file_pos position;    // the file's entry, as minizip finds it again
    volatile EntryResult result;  // written only by the thread that took the job
};

// What the unpacking threads share. Set before they start and read-only
// while they run, but for the two counters, changed only by interlocked
// calls, and each job's result.
struct UnpackWork {
    const unsigned char* archive;
    ZPOS64_T archiveSize;
    int keepInstalledIconsDll;
    UnpackJob* jobs;
    LONG jobCount;
    volatile LONG nextJob;
    volatile LONG failed;  // 1 after the first failure: the others stop taking jobs
};

// One unpacking thread: takes the next job until none is left or one has
// failed. Its cursor, archive handle and buffer are its own.
DWORD WINAPI UnpackJobs(void* parameter) {
    UnpackWork& work = *static_cast<UnpackWork*>(parameter);
    ArchiveCursor cursor{work.archive, work.archiveSize, 0};
    CScopedArchive archive(OpenArchive(cursor));
    CHeapBlock buffer(kCopyBlockBytes);
    if (!archive || !buffer) {
        InterlockedExchange(&work.failed, 1);
        return 0;
    }
    while (!work.failed) {
        LONG job = InterlockedIncrement(&work.nextJob) - 1;
        if (job >= work.jobCount) break;
        EntryResult result = EntryResult::Failed;
        if (unzGoToFilePos64(archive.get(), &work.jobs[job].position) == UNZ_OK)
            result = UnpackFile(archive.get(), work.keepInstalledIconsDll, buffer.get());
        work.jobs[job].result = result;
        if (result == EntryResult::Failed) InterlockedExchange(&work.failed, 1);
    }
    return 0;
}

// zlib builds its fixed Huffman and CRC tables at first use, without a lock:
// built here, before the threads share them, by inflating an empty fixed block.
void BuildSharedTables() {
    get_crc_table();
    z_stream stream = {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return;
    unsigned char emptyFixedBlock[] = {0x03, 0x00};
    unsigned char out[1];
    stream.next_in = emptyFixedBlock;
    stream.avail_in = sizeof(emptyFixedBlock);
    stream.next_out = out;
    stream.avail_out = sizeof(out);
    inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
}

// Runs the jobs on `threads` threads, the calling one among them; fewer when
// a thread cannot be started.
void RunUnpackingThreads(UnpackWork& work, int threads) {
    CScopedHandle started[kMaxUnpackingThreads];
    HANDLE waitFor[kMaxUnpackingThreads];
    DWORD count = 0;
    for (int i = 1; i < threads; ++i) {
        started[count].reset(CreateThread(nullptr, kUnpackingStackBytes, UnpackJobs, &work,
                                          STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
        if (!started[count]) continue;
        waitFor[count] = started[count].get();
        ++count;
    }
    UnpackJobs(&work);
    if (count > 0) WaitForMultipleObjects(count, waitFor, TRUE, INFINITE);
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

int UnpackingThreads(DWORD cores, LONG files) {
    LONG threads = static_cast<LONG>(cores < kMaxUnpackingThreads / 2 ? cores * 2 : kMaxUnpackingThreads);
    if (threads > files) threads = files;
    return threads < 1 ? 1 : static_cast<int>(threads);
}

int UnpackArchive(HANDLE archiveFile, const wchar_t* targetFolder, int keepInstalledIconsDll,
                  CTextList* notReplaced) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(archiveFile, &size) || size.QuadPart == 0) return -1;
    CScopedHandle mapping(CreateFileMappingW(archiveFile, nullptr, PAGE_READONLY, 0, 0, nullptr));
    CScopedView view(mapping ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0) : nullptr);
    if (!view) return -1;
    UnpackWork work = {static_cast<const unsigned char*>(view.get()), static_cast<ZPOS64_T>(size.QuadPart),
                       keepInstalledIconsDll, nullptr, 0, 0, 0};
    ArchiveCursor cursor{work.archive, work.archiveSize, 0};
    CScopedArchive archive(OpenArchive(cursor));
    if (!archive) return -1;

    // The installation folder stays the current directory from here on.
    if (!SetCurrentDirectoryW(targetFolder)) return -1;

    unz_global_info64 global;
    if (unzGetGlobalInfo64(archive.get(), &global) != UNZ_OK || global.number_entry > kMaxEntries) return -1;
    CHeapBlock jobs(static_cast<size_t>(global.number_entry) * sizeof(UnpackJob));
    if (!jobs) return -1;
    work.jobs = jobs.as<UnpackJob>();

    // Folders are made here, in archive order; files become the threads' jobs.
    bool complete = true;
    for (ZPOS64_T entry = 0; entry < global.number_entry; ++entry) {
        unz_file_info64 info;
        wchar_t name[kEntryNameChars];
        EntryKind kind = ReadEntry(archive.get(), keepInstalledIconsDll, info, name);
        if (kind == EntryKind::Failed) {
            complete = false;
            break;
        }
        if (kind == EntryKind::Folder) CreateDirectoryW(name, nullptr);  // an existing folder is fine
        if (kind == EntryKind::File) {
            UnpackJob& job = work.jobs[work.jobCount++];
            job.result = EntryResult::Failed;
            unzGetFilePos64(archive.get(), &job.position);
        }
        if (entry + 1 < global.number_entry && unzGoToNextFile(archive.get()) != UNZ_OK) {
            complete = false;
            break;
        }
    }

    SYSTEM_INFO system;
    GetSystemInfo(&system);
    BuildSharedTables();
    RunUnpackingThreads(work, UnpackingThreads(system.dwNumberOfProcessors, work.jobCount));

    // The results in archive order.
    LONG filesCreated = 0;
    for (LONG job = 0; job < work.jobCount; ++job) {
        EntryResult result = work.jobs[job].result;
        if (result == EntryResult::Written) ++filesCreated;
        unz_file_info64 info;
        wchar_t name[kEntryNameChars];
        if (result == EntryResult::NotReplaced && notReplaced &&
            unzGoToFilePos64(archive.get(), &work.jobs[job].position) == UNZ_OK &&
            ReadEntry(archive.get(), keepInstalledIconsDll, info, name) == EntryKind::File)
            NoteNotReplaced(targetFolder, name, *notReplaced);
    }
    // Nothing of the viewer arrived, or unpacking stopped inside the archive.
    return complete && !work.failed && filesCreated > 0 ? 0 : -1;
}

int UnpackArchive(const wchar_t* archivePath, const wchar_t* targetFolder, int keepInstalledIconsDll,
                  CTextList* notReplaced) {
    CScopedFile file(CreateFileW(archivePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? UnpackArchive(file.get(), targetFolder, keepInstalledIconsDll, notReplaced) : -1;
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
        // Unpacked through the handle that wrote it: nobody can swap the file
        // in between.
        CScopedFile file(CreateFileW(archivePath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_TEMPORARY, nullptr));
        if (file && WriteWhole(file.get(), bytes))
            result = UnpackArchive(file.get(), targetFolder, keepInstalledIconsDll, notReplaced);
        if (file) {
            file.reset();
            DeleteFileW(archivePath);
        }
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
