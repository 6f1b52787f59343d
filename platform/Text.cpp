// Bounded wide-text helpers.
#include "platform/Text.h"

#include <stdarg.h>
#include <stdio.h>

bool CopyText(wchar_t* out, size_t cchOut, const wchar_t* source) {
    if (cchOut == 0) return false;
    size_t i = 0;
    for (; source && source[i] != L'\0'; ++i) {
        if (i + 1 >= cchOut) {
            out[i] = L'\0';
            return false;
        }
        out[i] = source[i];
    }
    out[i] = L'\0';
    return true;
}

size_t TextLength(const wchar_t* text, size_t cchMax) {
    size_t length = 0;
    while (length < cchMax && text[length] != L'\0') ++length;
    return length;
}

bool AppendText(wchar_t* out, size_t cchOut, const wchar_t* source) {
    size_t used = TextLength(out, cchOut);
    if (used >= cchOut) return false;
    return CopyText(out + used, cchOut - used, source);
}

bool FormatText(wchar_t* out, size_t cchOut, const wchar_t* format, ...) {
    if (cchOut == 0) return false;
    va_list args;
    va_start(args, format);
    // msvcrt's _vsnwprintf returns -1 and leaves the text unterminated when
    // it does not fit.
    int written = _vsnwprintf(out, cchOut, format, args);
    va_end(args);
    if (written < 0 || static_cast<size_t>(written) >= cchOut) {
        out[cchOut - 1] = L'\0';
        return false;
    }
    return true;
}

bool EndsWithBackslash(const wchar_t* text) {
    size_t length = wcslen(text);
    return length > 0 && text[length - 1] == L'\\';
}
