// Whether an installed icon library ("Plugins\Icons.dll") stays in place.
#pragma once

#include <windows.h>
#include <stddef.h>

// Size of the one installed 4.30 build that is always replaced.
constexpr DWORD kKnownOldIconsDllBytes = 226816;

// Reads a file's version text ("%d.%d%d": product major, product minor, file
// build) and, when company is given, its CompanyName (at most cchCompany - 1
// characters). 1 when the file has a fixed version block; version.dll is
// loaded from the system folder for this call only.
int ReadVersionAndCompany(const wchar_t* path, wchar_t* versionText, size_t cchVersion, wchar_t* company,
                          size_t cchCompany);

// The file's size in bytes; 0 for an empty path or a file that cannot be opened.
int GetFileByteSize(const wchar_t* path);

// A version text read as a decimal number, in thousandths, in single
// precision as the comparison has always been made: "4.30" gives 4300,
// "4.29" 4290.
int VersionThousandths(const wchar_t* versionText);

// The keep rule: a newer library, or the current one in another build, stays;
// an older or the known-old build is replaced when it is the maker's own.
bool ShouldKeepInstalledIconsDll(int hasVersion, const wchar_t* installedVersion, int installedBytes,
                                 const wchar_t* installedCompany);

// Reads the installed library at path and applies the keep rule.
bool KeepInstalledIconsDll(const wchar_t* path);
