// Profile-string service: all access to the viewer's INI file goes through here.
#pragma once

#include <stddef.h>

// Writes a key, or deletes it when value is null. Creates a missing file,
// never a folder. 1 on success.
int WriteProfileText(const wchar_t* file, const wchar_t* section, const wchar_t* key, const wchar_t* value);

// Reads a key into out; empty text when absent. Returns the length read.
size_t ReadProfileText(const wchar_t* file, const wchar_t* section, const wchar_t* key, wchar_t* out, size_t cchOut);

// Section names (section null) or the "key=value" lines of one section, read
// whole: a list of texts, each ending in NUL, the list in an empty one.
class CProfileList {
public:
    CProfileList() = default;
    ~CProfileList();
    CProfileList(const CProfileList&) = delete;
    CProfileList& operator=(const CProfileList&) = delete;

    // False when the list could not be had whole; a missing file or section
    // gives an empty list.
    bool Read(const wchar_t* file, const wchar_t* section);
    const wchar_t* First() const { return data_ ? data_ : L""; }
    static const wchar_t* Next(const wchar_t* entry);

private:
    wchar_t* data_ = nullptr;
};

// Replaces a section with the lines of a list (as CProfileList holds them).
int WriteProfileSection(const wchar_t* file, const wchar_t* section, const wchar_t* lines);
