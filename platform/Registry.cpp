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
    if (OpenKey(root, path, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return 0;

    DWORD type = 0;
    DWORD cbData = static_cast<DWORD>(cchOut * sizeof(wchar_t));
    LONG status = RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(out), &cbData);
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
