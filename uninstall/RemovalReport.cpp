// What a removal could not remove.
#include "uninstall/RemovalReport.h"

#include <windows.h>
#include <wchar.h>

#include "platform/Text.h"

CRemovalReport::~CRemovalReport() {
    if (text_) HeapFree(GetProcessHeap(), 0, text_);
}

void CRemovalReport::Failed(const wchar_t* item) {
    ++count_;
    size_t length = wcslen(item);
    size_t needed = used_ + length + 2;  // a line feed and the terminator
    if (needed > capacity_) {
        size_t capacity = needed * 2 > 1024 ? needed * 2 : 1024;
        void* grown = text_ ? HeapReAlloc(GetProcessHeap(), 0, text_, capacity * sizeof(wchar_t))
                            : HeapAlloc(GetProcessHeap(), 0, capacity * sizeof(wchar_t));
        if (!grown) return;  // counted, though not listed
        text_ = static_cast<wchar_t*>(grown);
        capacity_ = capacity;
    }
    if (used_ > 0) text_[used_++] = L'\n';
    wmemcpy(text_ + used_, item, length);
    used_ += length;
    text_[used_] = L'\0';
}

void CRemovalReport::FailedOnce(const wchar_t* item) {
    size_t length = wcslen(item);
    for (const wchar_t* line = Items(); *line != L'\0';) {
        const wchar_t* end = wcschr(line, L'\n');
        size_t lineLength = end ? static_cast<size_t>(end - line) : wcslen(line);
        if (lineLength == length && wcsncmp(line, item, length) == 0) return;
        if (!end) break;
        line = end + 1;
    }
    Failed(item);
}

void CRemovalReport::FailedKey(const void* root, const wchar_t* path, const wchar_t* valueName) {
    const wchar_t* rootName = root == HKEY_CLASSES_ROOT    ? L"HKEY_CLASSES_ROOT"
                              : root == HKEY_CURRENT_USER ? L"HKEY_CURRENT_USER"
                              : root == HKEY_USERS        ? L"HKEY_USERS"
                                                          : L"HKEY_LOCAL_MACHINE";
    wchar_t item[1024];
    if (valueName) {
        FormatText(item, ARRAYSIZE(item), L"%s\\%s [%s]", rootName, path, valueName[0] ? valueName : L"(Standard)");
    } else {
        FormatText(item, ARRAYSIZE(item), L"%s\\%s", rootName, path);
    }
    FailedOnce(item);
}
