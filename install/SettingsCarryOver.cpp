// Keeping the user's settings when an installation moves the settings file.
#include "install/SettingsCarryOver.h"

#include <windows.h>
#include <wchar.h>

#include "install/ViewerSettings.h"
#include "platform/Profile.h"
#include "platform/Scoped.h"
#include "platform/Text.h"

namespace {

bool Exists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// The characters of a list up to (not including) its final NUL.
size_t ListChars(const wchar_t* list) {
    const wchar_t* p = list;
    while (*p != L'\0') p = CProfileList::Next(p);
    return p - list;
}

// Whether file has the key of a "key=value" line in section.
bool HasKey(const wchar_t* file, const wchar_t* section, const wchar_t* line) {
    const wchar_t* equals = wcschr(line, L'=');
    size_t keyChars = equals ? static_cast<size_t>(equals - line) : wcslen(line);
    CHeapBlock key((keyChars + 1) * sizeof(wchar_t));
    if (!key) return true;  // when in doubt, the new file's own value stays
    wmemcpy(key.as<wchar_t>(), line, keyChars);
    key.as<wchar_t>()[keyChars] = L'\0';
    // A value cannot begin with this character in a text file.
    const wchar_t kAbsent[] = L"\x1";
    wchar_t value[2];
    GetPrivateProfileStringW(section, key.as<wchar_t>(), kAbsent, value, 2, file);
    return value[0] != kAbsent[0];
}

// The lines of one section of from that to lacks, added to to's section.
void MergeSection(const wchar_t* from, const wchar_t* to, const wchar_t* section) {
    CProfileList theirs, ours;
    if (!theirs.Read(from, section) || !ours.Read(to, section)) return;
    size_t ourChars = ListChars(ours.First());
    CHeapBlock merged((ourChars + ListChars(theirs.First()) + 1) * sizeof(wchar_t));
    if (!merged) return;
    wchar_t* end = merged.as<wchar_t>();
    wmemcpy(end, ours.First(), ourChars);
    end += ourChars;
    bool added = false;
    for (const wchar_t* line = theirs.First(); *line != L'\0'; line = CProfileList::Next(line)) {
        if (line[0] == L';' || (ourChars > 0 && HasKey(to, section, line))) continue;
        size_t chars = wcslen(line) + 1;
        wmemcpy(end, line, chars);
        end += chars;
        added = true;
    }
    *end = L'\0';
    if (added) WriteProfileSection(to, section, merged.as<wchar_t>());
}

}  // namespace

void CarryOverSettings(const wchar_t* from, const wchar_t* to) {
    if (!Exists(from)) return;
    NormaliseSettingsEncoding(from);
    if (!Exists(to)) {
        // Nothing to merge with: the whole file, its comments and order too.
        if (!CopyFileW(from, to, TRUE)) return;
        SetFileAttributesW(to, FILE_ATTRIBUTE_NORMAL);  // a read-only original would refuse every key
        ConvertIniToUnicode(to);
        return;
    }
    // UTF-16 before the first write, so that no character of from is lost
    // to the ANSI code page.
    ConvertIniToUnicode(to);
    CProfileList sections;
    if (!sections.Read(from, nullptr)) return;
    for (const wchar_t* section = sections.First(); *section != L'\0'; section = CProfileList::Next(section))
        MergeSection(from, to, section);
    RestoreUnicodeHeader(to);
}
