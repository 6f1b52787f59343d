// What a removal could not remove, one item per line, for the closing
// message and the log.
#pragma once

#include <stddef.h>

class CRemovalReport {
public:
    CRemovalReport() = default;
    ~CRemovalReport();
    CRemovalReport(const CRemovalReport&) = delete;
    CRemovalReport& operator=(const CRemovalReport&) = delete;

    // A file, folder, link or key (its full name) that is still there.
    void Failed(const wchar_t* item);
    // The same, unless the report names it already.
    void FailedOnce(const wchar_t* item);
    // The same for a registry key or value under a root.
    void FailedKey(const void* root, const wchar_t* path, const wchar_t* valueName = nullptr);

    bool Clean() const { return count_ == 0; }
    int Count() const { return count_; }
    // The items, each on its own line; "" when clean.
    const wchar_t* Items() const { return text_ ? text_ : L""; }

private:
    wchar_t* text_ = nullptr;
    size_t used_ = 0;
    size_t capacity_ = 0;
    int count_ = 0;
};
