// Profile-string service: all access to the viewer's INI file goes through here.
#pragma once

#include <stddef.h>

// Writes a key, or deletes it when value is null. Creates a missing file,
// never a folder. 1 on success.
int WriteProfileText(const wchar_t* file, const wchar_t* section, const wchar_t* key, const wchar_t* value);

// Reads a key into out; empty text when absent. Returns the length read.
size_t ReadProfileText(const wchar_t* file, const wchar_t* section, const wchar_t* key, wchar_t* out, size_t cchOut);
