// The uninstaller's command line.
#include "uninstall/RemovalArguments.h"

#include <wchar.h>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

const wchar_t* ArgumentsOf(const wchar_t* commandLine) {
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p != L'\0' && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p != L'\0' && !IsBlank(*p)) ++p;
    }
    while (IsBlank(*p)) ++p;
    return p;
}

bool HasSwitch(const wchar_t* arguments, const wchar_t* name) {
    size_t length = wcslen(name);
    for (const wchar_t* p = arguments; *p != L'\0';) {
        while (IsBlank(*p)) ++p;
        const wchar_t* word = p;
        while (*p != L'\0' && !IsBlank(*p)) ++p;
        if (static_cast<size_t>(p - word) == length && _wcsnicmp(word, name, length) == 0) return true;
    }
    return false;
}
