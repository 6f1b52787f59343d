// Unpacking the payload archive resource into the installation folder.
#pragma once

#include <windows.h>
#include <stddef.h>

#include "platform/TextList.h"

// Writes the resource (type, id) of the program's own module to archiveName
// in a new subfolder of the temporary folder, unpacks it into targetFolder
// (ending in a backslash) and removes the temporary copy again; copies that
// earlier, killed runs left there are removed first. Entries whose
// name holds "icons.dll" are skipped when keepInstalledIconsDll is 1.
// Afterwards the current directory is the installation folder.
// 0 on success; -1 when the resource, the temporary copy, the archive or the
// folder failed, when unpacking stopped inside the archive, or when no file
// could be created at all. A single file that cannot be created (read-only,
// locked) is skipped and does not fail the call; notReplaced (when given)
// receives its full path.
int ExtractPayload(WORD resourceId, const wchar_t* resourceType, const wchar_t* archiveName,
                   const wchar_t* targetFolder, int keepInstalledIconsDll, CTextList* notReplaced = nullptr);

// Removes archiveName and then the folder itself from every subfolder of
// temp (ending in a backslash) that an ended run of this program made.
void RemoveAbandonedTempFolders(const wchar_t* temp, const wchar_t* archiveName);

// Unpacks the archive in an open file (readable, not shared for writing) into
// targetFolder; same results as ExtractPayload. Folders are made first, in
// archive order; the files are then unpacked on UnpackingThreads threads.
int UnpackArchive(HANDLE archiveFile, const wchar_t* targetFolder, int keepInstalledIconsDll,
                  CTextList* notReplaced = nullptr);

// The same for an archive file given by its path.
int UnpackArchive(const wchar_t* archivePath, const wchar_t* targetFolder, int keepInstalledIconsDll,
                  CTextList* notReplaced = nullptr);

constexpr int kMaxUnpackingThreads = 4;

// Two threads per core (each waits for the file system about as long as it
// inflates, and the other fills that wait), at most four and at most one per
// file; at least one.
int UnpackingThreads(DWORD cores, LONG files);

// Whether an entry name may be written below the installation folder: no
// drive, no leading separator, no ".." component.
bool IsSafeEntryName(const wchar_t* name);

// Length in characters of the longest entry name of the archive resource,
// read from its central directory; 0 when there is none.
size_t LongestPayloadEntryName(WORD resourceId, const wchar_t* resourceType);
