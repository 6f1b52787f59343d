// Registry service.
#include "platform/Registry.h"

#include <wchar.h>

LONG SetDefaultValue(HKEY root, const wchar_t* path, const wchar_t* text) {
    return RegSetValueW(root, path, REG_SZ, text, static_cast<DWORD>(wcslen(text) * sizeof(wchar_t)));
}

LONG OpenKey(HKEY root, const wchar_t* path, REGSAM access, CScopedKey& key) {
    return RegOpenKeyExW(root, path, 0, access, key.put());
}

LONG CreateKey(HKEY root, const wchar_t* path, CScopedKey& key) {
    return RegCreateKeyW(root, path, key.put());
}

LONG CreateKey(HKEY root, const wchar_t* path, CScopedKey& key, bool& created) {
    DWORD disposition = 0;
    LONG status = RegCreateKeyExW(root, path, 0, nullptr, 0, MAXIMUM_ALLOWED, nullptr, key.put(), &disposition);
    created = status == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    return status;
}

LONG SetStringValue(HKEY key, const wchar_t* name, const wchar_t* text) {
    DWORD cbData = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), cbData);
}

LONG SetDwordValue(HKEY key, const wchar_t* name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

int ReadStringValue(HKEY root, const wchar_t* path, const wchar_t* name, wchar_t* out, size_t cchOut) {
    if (cchOut == 0) return 0;
    out[0] = L'\0';
    CScopedKey key;
    return OpenKey(root, path, KEY_QUERY_VALUE, key) == ERROR_SUCCESS ? ReadKeyString(key.get(), name, out, cchOut) : 0;
}

int ReadKeyString(HKEY key, const wchar_t* name, wchar_t* out, size_t cchOut) {
    if (cchOut == 0) return 0;
    out[0] = L'\0';
    DWORD type = 0;
    DWORD cbData = static_cast<DWORD>(cchOut * sizeof(wchar_t));
    LONG status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &cbData);
    size_t stored = cbData / sizeof(wchar_t);
    bool terminated = stored > 0 && out[stored - 1] == L'\0';
    // A value stored without its terminator still needs room for one.
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || (!terminated && stored >= cchOut)) {
        out[0] = L'\0';
        return 0;
    }
    if (!terminated) out[stored] = L'\0';
    return 1;
}

LONG DeleteKey(HKEY root, const wchar_t* path) {
    LONG status = RegDeleteKeyW(root, path);
    return IsMissingKey(status) ? ERROR_SUCCESS : status;
}

LONG DeleteKeyTree(HKEY root, const wchar_t* path) {
    {
        CScopedKey key;
        LONG status = OpenKey(root, path, KEY_ENUMERATE_SUB_KEYS, key);
        if (IsMissingKey(status)) return ERROR_SUCCESS;
        if (status != ERROR_SUCCESS) return status;
        // Always the first subkey: the one before was deleted.
        for (;;) {
            wchar_t name[256];
            DWORD cchName = ARRAYSIZE(name);
            status = RegEnumKeyExW(key.get(), 0, name, &cchName, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_NO_MORE_ITEMS) break;
            if (status != ERROR_SUCCESS) return status;
            wchar_t child[1024];
            int length = _snwprintf(child, ARRAYSIZE(child), L"%s\\%s", path, name);
            if (length < 0 || length >= static_cast<int>(ARRAYSIZE(child))) return ERROR_FILENAME_EXCED_RANGE;
            status = DeleteKeyTree(root, child);
            if (status != ERROR_SUCCESS) return status;
        }
    }
    return DeleteKey(root, path);
}

LONG DeleteValue(HKEY root, const wchar_t* path, const wchar_t* name) {
    CScopedKey key;
    LONG status = OpenKey(root, path, KEY_SET_VALUE, key);
    if (status == ERROR_SUCCESS) status = RegDeleteValueW(key.get(), name);
    return IsMissingKey(status) ? ERROR_SUCCESS : status;
}

bool IsKeyEmpty(HKEY root, const wchar_t* path) {
    CScopedKey key;
    if (OpenKey(root, path, KEY_READ, key) != ERROR_SUCCESS) return false;
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    if (subkeys > 0 || values > 1) return false;
    if (values == 0) return true;
    wchar_t text[2];
    DWORD type = 0;
    DWORD cbData = sizeof(text);
    LONG status = RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &cbData);
    if (status != ERROR_SUCCESS) return false;  // the one value is a named one
    return type == REG_SZ && (cbData == 0 || (cbData == sizeof(wchar_t) && text[0] == L'\0'));
}
