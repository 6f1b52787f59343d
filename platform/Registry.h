// Registry service: the few operations the installer uses, each opening and
// closing its own key. No registry-view flag: the process's default view.
#pragma once

#include <windows.h>
#include <stddef.h>

#include "platform/Scoped.h"

inline bool IsMissingKey(LONG status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

// Sets the default value of root\path, creating every missing key (RegSetValueW).
LONG SetDefaultValue(HKEY root, const wchar_t* path, const wchar_t* text);

// Opens root\path with the given access; ERROR_SUCCESS means open.
LONG OpenKey(HKEY root, const wchar_t* path, REGSAM access, CScopedKey& key);

// Creates or opens root\path (RegCreateKeyW); ERROR_SUCCESS means it exists and is open.
LONG CreateKey(HKEY root, const wchar_t* path, CScopedKey& key);
// The same, telling whether the key (its last level) was made by this call.
LONG CreateKey(HKEY root, const wchar_t* path, CScopedKey& key, bool& created);

// REG_SZ with (length + 1) * 2 bytes.
LONG SetStringValue(HKEY key, const wchar_t* name, const wchar_t* text);
LONG SetDwordValue(HKEY key, const wchar_t* name, DWORD value);

// Reads a string value (REG_SZ or REG_EXPAND_SZ, unexpanded) of at most
// cchOut - 1 characters. 1 on success; 0 with out empty when the key or value
// is absent, of another type, or too long.
int ReadStringValue(HKEY root, const wchar_t* path, const wchar_t* name, wchar_t* out, size_t cchOut);
// The same from a key that is open already.
int ReadKeyString(HKEY key, const wchar_t* name, wchar_t* out, size_t cchOut);

// Deletes a key without subkeys; a missing key is no error.
LONG DeleteKey(HKEY root, const wchar_t* path);

// Deletes a key with everything below it; a missing key is no error.
LONG DeleteKeyTree(HKEY root, const wchar_t* path);

// Deletes one value (null: the default value); a missing key or value is no error.
LONG DeleteValue(HKEY root, const wchar_t* path, const wchar_t* name);

// Whether root\path exists and holds no subkey and no value but an empty
// default value.
bool IsKeyEmpty(HKEY root, const wchar_t* path);
