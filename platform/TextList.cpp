// A growable list of texts in the registry's multi-string form.
#include "platform/TextList.h"

#include <wchar.h>

#include "platform/Scoped.h"

CTextList::~CTextList() {
    if (data_) HeapFree(GetProcessHeap(), 0, data_);
}

bool CTextList::Add(const wchar_t* text) {
    size_t length = wcslen(text);
    if (length == 0) return true;
    size_t needed = used_ + length + 2;  // its terminator and the list's
    if (needed > capacity_) {
        size_t capacity = needed * 2 > 512 ? needed * 2 : 512;
        void* grown = data_ ? HeapReAlloc(GetProcessHeap(), 0, data_, capacity * sizeof(wchar_t))
                            : HeapAlloc(GetProcessHeap(), 0, capacity * sizeof(wchar_t));
        if (!grown) return false;
        data_ = static_cast<wchar_t*>(grown);
        capacity_ = capacity;
    }
    wmemcpy(data_ + used_, text, length + 1);
    used_ += length + 1;
    data_[used_] = L'\0';
    ++count_;
    return true;
}

bool CTextList::AddOnce(const wchar_t* text) { return Contains(text) || Add(text); }

bool CTextList::Contains(const wchar_t* text) const {
    for (const wchar_t* p = First(); p; p = Next(p)) {
        if (_wcsicmp(p, text) == 0) return true;
    }
    return false;
}

const wchar_t* CTextList::Next(const wchar_t* text) const {
    const wchar_t* next = text + wcslen(text) + 1;
    return next < data_ + used_ ? next : nullptr;
}

bool CTextList::Read(HKEY key, const wchar_t* valueName) {
    DWORD type = 0;
    DWORD bytes = 0;
    LONG status = RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &bytes);
    if (status != ERROR_SUCCESS) return status == ERROR_FILE_NOT_FOUND;
    if (type != REG_MULTI_SZ) return false;
    // Room for terminators the stored data may lack.
    CHeapBlock block(bytes + 2 * sizeof(wchar_t), true);
    if (!block || RegQueryValueExW(key, valueName, nullptr, &type, block.as<BYTE>(), &bytes) != ERROR_SUCCESS)
        return false;
    const wchar_t* texts = block.as<wchar_t>();
    size_t units = bytes / sizeof(wchar_t);
    for (size_t at = 0; at < units && texts[at] != L'\0'; at += wcslen(texts + at) + 1) {
        if (!Add(texts + at)) return false;
    }
    return true;
}
