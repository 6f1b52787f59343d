// Silent-mode option parser.
#include "app/CommandLine.h"

#include <limits.h>

#include "app/SystemProbes.h"
#include "platform/Text.h"

const wchar_t kSetupTitle[] = L"Lumidor 32-bit Setup";
const wchar_t kDefaultIniFolder[] = L"%APPDATA%\\Lumidor";

namespace {

enum class OptionKind { Folder, IniFolder, Number, Assoc, Flag };

// Where a number option is stored.
using NumberField = int InstallOptions::*;

struct SilentOption {
    const wchar_t* text;
    OptionKind kind;
    NumberField field;
};

const SilentOption kSilentOptions[] = {
    {L"/folder=", OptionKind::Folder, nullptr},
    {L"/desktop=", OptionKind::Number, &InstallOptions::desktopShortcut},
    {L"/thumbs=", OptionKind::Number, &InstallOptions::thumbnailsShortcut},
    {L"/group=", OptionKind::Number, &InstallOptions::startMenuGroup},
    {L"/allusers=", OptionKind::Number, &InstallOptions::allUsers},
    {L"/assoc=", OptionKind::Assoc, nullptr},
    {L"/assocallusers", OptionKind::Flag, &InstallOptions::associateForAllUsers},
    {L"/ini=", OptionKind::IniFolder, nullptr},
};

bool IsCrtSpace(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

void SelectRows(InstallOptions& options, int count) {
    for (int i = 0; i < count; ++i) options.associationRows[i] = 1;
    options.associationRequested = 1;
}

}  // namespace

int CutOptionValue(const wchar_t* optionStart, int optionLength, int limit,
                   wchar_t (&value)[kOptionValueLimit]) {
    if (limit > kOptionValueLimit) limit = kOptionValueLimit;
    int index = optionLength;
    int length = 0;
    while (index < limit && length + 1 < kOptionValueLimit &&
           optionStart[index] != L'\0' && optionStart[index] != L'/') {
        value[length++] = optionStart[index++];
    }
    value[length] = L'\0';
    return index;
}

void NormaliseFolderValue(wchar_t* value) {
    size_t length = wcslen(value);
    if (length == 0) return;
    while (length > 0 && value[length - 1] == L' ') value[--length] = L'\0';
    if (length > 0 && value[length - 1] == L'"') value[--length] = L'\0';
    if (length > 0 && value[0] == L'"') {
        wmemmove(value, value + 1, length);  // moves the terminator too
        --length;
    }
    while (length > 0 && value[length - 1] == L' ') value[--length] = L'\0';
}

int ReadOptionNumber(const wchar_t* value) {
    while (IsCrtSpace(*value)) ++value;
    bool negative = false;
    if (*value == L'+' || *value == L'-') negative = (*value++ == L'-');
    long long magnitude = 0;
    for (; *value >= L'0' && *value <= L'9'; ++value) {
        magnitude = magnitude * 10 + (*value - L'0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) magnitude = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) return magnitude > INT_MAX ? INT_MIN : -static_cast<int>(magnitude);
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

void ResetInstallOptions(InstallOptions& options) {
    options.targetFolder[0] = L'\0';
    options.startMenuGroup = 0;
    options.desktopShortcut = 0;
    options.thumbnailsShortcut = 0;
    options.allUsers = 0;
    options.iniFolder[0] = L'\0';
    for (int& row : options.associationRows) row = 0;
    options.associateForAllUsers = 0;
    options.associationRequested = 0;
    options.silent = 1;
    CopyText(options.messageCaption, kSetupTitle);
}

void ApplyCommandLineOptions(const wchar_t* commandLine, InstallOptions& options) {
    // Options past the working copy are not seen.
    wchar_t work[kCommandLineWorkChars];
    CopyText(work, commandLine ? commandLine : L"");

    for (const SilentOption& option : kSilentOptions) {
        const wchar_t* found = wcsstr(work, option.text);
        if (!found) continue;
        wchar_t value[kOptionValueLimit];
        CutOptionValue(found, static_cast<int>(wcslen(option.text)), kOptionValueLimit, value);
        switch (option.kind) {
        case OptionKind::Folder:
            NormaliseFolderValue(value);
            CopyText(options.targetFolder, value);
            break;
        case OptionKind::IniFolder:
            NormaliseFolderValue(value);
            CopyText(options.iniFolder, value);
            break;
        case OptionKind::Number:
            options.*option.field = ReadOptionNumber(value);
            break;
        case OptionKind::Assoc: {
            int which = ReadOptionNumber(value);
            if (which == 1) SelectRows(options, kImagesOnlyRowCount);
            if (which == 2) SelectRows(options, kAssociationSlotCount);
            break;
        }
        case OptionKind::Flag:
            options.*option.field = 1;
            break;
        }
    }
}

void FillSilentOptions(const wchar_t* commandLine, InstallOptions& options) {
    ResetInstallOptions(options);
    if (!FindPreviousInstallFolder(options.targetFolder, kTargetFolderChars)) {
        GetDefaultInstallFolder(options.targetFolder, kTargetFolderChars);
        CopyText(options.iniFolder, kDefaultIniFolder);
    }
    ApplyCommandLineOptions(commandLine, options);
}

const wchar_t* ArgumentsOf(const wchar_t* commandLine) {
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p != L'\0' && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p != L'\0' && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

bool FindLogOption(const wchar_t* commandLine, wchar_t* path) {
    static const wchar_t kLogOption[] = L"/log=";
    path[0] = L'\0';
    wchar_t work[kCommandLineWorkChars];
    CopyText(work, commandLine ? commandLine : L"");
    const wchar_t* found = wcsstr(work, kLogOption);
    if (!found) return false;
    wchar_t value[kOptionValueLimit];
    CutOptionValue(found, static_cast<int>(wcslen(kLogOption)), kOptionValueLimit, value);
    NormaliseFolderValue(value);
    if (value[0] == L'\0') return false;
    wchar_t expanded[kPathChars];
    DWORD length = ExpandEnvironmentStringsW(value, expanded, kPathChars);
    // Made absolute now: the working folder may change before the log is written.
    if (length != 0 && length <= kPathChars) length = GetFullPathNameW(expanded, kPathChars, path, nullptr);
    if (length == 0 || length >= kPathChars) {
        path[0] = L'\0';
        return false;
    }
    return true;
}
