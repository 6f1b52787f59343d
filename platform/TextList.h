// A growable list of texts kept as the registry's multi-string form: each
// text ends in a terminator, and the list in one more.
#pragma once

#include <windows.h>
#include <stddef.h>

class CTextList {
public:
    CTextList() = default;
    ~CTextList();
    CTextList(const CTextList&) = delete;
    CTextList& operator=(const CTextList&) = delete;

    // Adds a text (an empty one cannot be held); false when memory ran out.
    bool Add(const wchar_t* text);
    // Adds a text unless the list holds it already, letter case aside.
    bool AddOnce(const wchar_t* text);
    bool Contains(const wchar_t* text) const;
    int Count() const { return count_; }

    // Walking the list: for (p = First(); p; p = Next(p)).
    const wchar_t* First() const { return count_ ? data_ : nullptr; }
    const wchar_t* Next(const wchar_t* text) const;

    // The list as REG_MULTI_SZ data, and its size in bytes.
    const wchar_t* Data() const { return data_ ? data_ : L"\0"; }
    DWORD Bytes() const { return static_cast<DWORD>((used_ + 1) * sizeof(wchar_t)); }

    // Reads a REG_MULTI_SZ value into the list (added to what it holds); a
    // missing value adds nothing. False when the value is of another kind.
    bool Read(HKEY key, const wchar_t* valueName);

private:
    wchar_t* data_ = nullptr;  // the texts, each with its terminator, and one more
    size_t used_ = 0;          // characters of the texts with their terminators
    size_t capacity_ = 0;
    int count_ = 0;
};
