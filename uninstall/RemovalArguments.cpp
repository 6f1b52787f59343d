// The uninstaller's switches.
#include "uninstall/RemovalArguments.h"

#include <wchar.h>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

bool HasSwitch(const wchar_t* arguments, const wchar_t* name) {
    size_t length = wcslen(name);
    for (const wchar_t* p = arguments; *p != L'\0';) {
        while (IsBlank(*p)) ++p;
        const wchar_t* word = p;
        while (*p != L'\0' && !IsBlank(*p)) ++p;
        // "/silent" in quotes, as a deployment tool may pass it, is the same word.
        const wchar_t* start = word;
        const wchar_t* end = p;
        if (end - start >= 2 && *start == L'"' && end[-1] == L'"') {
            ++start;
            --end;
        }
        if (static_cast<size_t>(end - start) == length && _wcsnicmp(start, name, length) == 0) return true;
    }
    return false;
}
