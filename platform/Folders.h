// Folder texts: trimming, and making sure a folder exists with every level.
#pragma once

#include <stddef.h>

// Removes trailing blanks; then leading blanks when the text begins with one
// and is shorter than 260 characters.
void TrimSpaces(wchar_t* text);

// Trims the text, gives it a trailing backslash (1 to 258 characters only)
// and creates every missing level. The text, in a buffer of cchText >= 260
// characters, is left in that normal form. 1 when the folder exists
// afterwards. The current directory is left as it was.
int EnsureFolder(wchar_t* text, size_t cchText);

template <size_t N>
inline int EnsureFolder(wchar_t (&text)[N]) {
    static_assert(N >= 260, "folder buffers hold 260 characters");
    return EnsureFolder(text, N);
}

// The full path of a folder (no "." or ".." levels, no doubled separators)
// ending in a backslash, with long names where the folder exists: the form in
// which an installation records its folder. False, text unchanged, when it
// would not fit in cchText characters.
bool CanonicalFolder(wchar_t* text, size_t cchText);

// Removes trailing backslashes, but never a root's ("C:\\"): a folder as
// a file's path names it.
void TrimTrailingBackslashes(wchar_t* path);

// Cuts the last level off a full path ("C:\A\B\" or "C:\A\B" becomes
// "C:\A\"); false at the root ("C:\", "\\server\share\").
bool CutLastLevel(wchar_t* path);
