// The viewer's settings file "lumi32.ini".
#include "install/ViewerSettings.h"

#include <windows.h>

#include "app/InstallOptions.h"
#include "app/SystemProbes.h"
#include "install/SettingsCarryOver.h"
#include "install/SettingsEncoding.h"
#include "platform/FileIdentity.h"
#include "platform/Folders.h"
#include "platform/Profile.h"
#include "platform/Scoped.h"
#include "platform/Text.h"

namespace {

const wchar_t kIniName[] = L"lumi32.ini";
const wchar_t kTempIniName[] = L"lumi32.ini_temp";
const char16_t kUnicodeHeader[] = u"; UNICODE FILE - edit with care ;-)\r\n\r\n";

struct ToolbarSkin {
    int iconSize;
    const wchar_t* skin;
    const wchar_t* size;
};

const ToolbarSkin kToolbarSkins[] = {
    {48, L"gnome-colors-human_48.png", L"48"},
    {32, L"gnome-colors-wise_32.png", L"32"},
    {24, L"Corvane_24.png", L"24"},
    {16, L"Tessel_16.png", L"16"},
};

const ToolbarSkin& SkinFor(int iconSize) {
    for (const ToolbarSkin& skin : kToolbarSkins) {
        if (skin.iconSize == iconSize) return skin;
    }
    return kToolbarSkins[2];
}

int MeasureDpiPercent() {
    HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!display) return 100;
    int percent = DpiPercentFrom(GetDeviceCaps(display, LOGPIXELSX));
    DeleteDC(display);
    return percent;
}

// folder (any form) trimmed, with a backslash, followed by name; false when
// the path would pass 259 characters.
bool FileInFolder(const wchar_t* folder, const wchar_t* name, wchar_t (&path)[kPathChars]) {
    wchar_t trimmed[kTargetFolderChars];
    CopyText(trimmed, folder);
    TrimSpaces(trimmed);
    if (!CopyText(path, trimmed)) return false;
    if (!EndsWithBackslash(path) && !AppendText(path, L"\\")) return false;
    return AppendText(path, name);
}

bool WriteAll(HANDLE file, const void* data, DWORD bytes) {
    DWORD written = 0;
    return WriteFile(file, data, bytes, &written, nullptr) && written == bytes;
}

// The settings file an INI folder text names: expanded, trimmed, with a
// backslash, followed by "lumi32.ini"; create makes the folder, and created
// (when given) tells whether it was not there before. False when the folder
// counts as none: it expands to nothing or to blanks only, or the path would
// pass 259 characters.
bool SettingsFileIn(const wchar_t* iniFolder, bool create, wchar_t (&path)[kPathChars], bool* created = nullptr) {
    if (iniFolder[0] == L'\0') return false;
    wchar_t expanded[kExpandedFolderChars];
    bool expandedOk = wcschr(iniFolder, L'%') ? ExpandIniFolder(iniFolder, expanded, kExpandedFolderChars)
                                              : CopyText(expanded, iniFolder);
    if (!expandedOk) return false;
    TrimSpaces(expanded);
    size_t length = wcslen(expanded);
    if (length == 0 || length >= kPathChars) return false;
    if (create) {
        DWORD attributes = GetFileAttributesW(expanded);
        DWORD lastError = GetLastError();
        if (created)
            *created = attributes == INVALID_FILE_ATTRIBUTES &&
                       (lastError == ERROR_FILE_NOT_FOUND || lastError == ERROR_PATH_NOT_FOUND);
        EnsureFolder(expanded);
        if (created) *created = *created && GetFileAttributesW(expanded) != INVALID_FILE_ATTRIBUTES;
    } else if (!EndsWithBackslash(expanded) && !AppendText(expanded, L"\\")) {
        return false;
    }
    return CopyText(path, expanded) && AppendText(path, kIniName);
}

// Writes byte-order mark, header and text (units UTF-16 characters) to the
// twin "lumi32.ini_temp" beside path and moves it over path. 1 when replaced
// or when the twin could not be written (path then stays as it was), 0 when
// the move failed.
int ReplaceWithUnicode(const wchar_t* path, const wchar_t* text, size_t units) {
    wchar_t tempPath[kPathChars];
    if (!CopyText(tempPath, path)) return 1;
    wchar_t* nameStart = tempPath;
    for (wchar_t* p = tempPath; *p != L'\0'; ++p) {
        if (*p == L'\\' || *p == L'/' || *p == L':') nameStart = p + 1;
    }
    *nameStart = L'\0';
    if (tempPath[0] != L'\0' && !EndsWithBackslash(tempPath) && !AppendText(tempPath, L"\\")) return 1;
    if (!AppendText(tempPath, kTempIniName)) return 1;

    CScopedFile twin(CreateFileW(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!twin) return 1;
    const unsigned char bom[] = {0xFF, 0xFE};
    bool written = WriteAll(twin.get(), bom, sizeof(bom)) &&
                   WriteAll(twin.get(), kUnicodeHeader, sizeof(kUnicodeHeader) - sizeof(char16_t)) &&
                   WriteAll(twin.get(), text, static_cast<DWORD>(units * sizeof(wchar_t)));
    bool closed = CloseHandle(twin.release()) != 0;
    if (!written || !closed) {
        DeleteFileW(tempPath);  // the settings file stays as it was
        return 1;
    }
    return MoveFileExW(tempPath, path, MOVEFILE_REPLACE_EXISTING) ? 1 : 0;
}

// The settings file's bytes, when it can be read whole.
bool ReadSettingsFile(const wchar_t* path, CHeapBlock& raw, DWORD& size) {
    CScopedFile source(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!source) return false;
    size = GetFileSize(source.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > 0x4000000) return false;  // not a settings file we can hold
    raw.reset(size);
    DWORD read = 0;
    return raw && ReadFile(source.get(), raw.get(), size, &read, nullptr) && read == size;
}

// Rewrites a settings file as UTF-16LE with byte-order mark and header,
// through its twin "lumi32.ini_temp". ansiToo: an ANSI file as well (the
// final conversion); without it only the forms that the profile functions
// would misread (UTF-8, UTF-16 big-endian).
int RewriteAsUnicode(const wchar_t* path, bool ansiToo) {
    CHeapBlock raw(0);
    DWORD size = 0;
    if (!ReadSettingsFile(path, raw, size)) return 1;
    const unsigned char* bytes = raw.as<unsigned char>();
    TextEncoding encoding = DetectTextEncoding(bytes, size);
    if (encoding == TextEncoding::Utf16Le || (encoding == TextEncoding::Ansi && !ansiToo)) return 1;

    size_t units = DecodeText(bytes, size, encoding, nullptr, 0);
    if (units == 0) return 1;  // nothing to convert
    CHeapBlock wide(units * sizeof(wchar_t));
    if (!wide || DecodeText(bytes, size, encoding, wide.as<wchar_t>(), units) != units) return 1;
    return ReplaceWithUnicode(path, wide.as<wchar_t>(), units);
}

}  // namespace

int DpiPercentFrom(int logPixelsX) { return logPixelsX * 100 / 96; }

int ChooseToolbarIconSize(int screenHeight, int dpiPercent) {
    if (screenHeight >= 1600 || dpiPercent >= 170) return 48;
    if (screenHeight > 1200 || dpiPercent >= 150) return 32;
    if (screenHeight < 768) return 16;
    return 24;
}

bool ExpandIniFolder(const wchar_t* text, wchar_t* out, size_t cchOut) {
    constexpr size_t kNameChars = 261;
    constexpr size_t kValueChars = 260;
    auto fail = [out] {
        out[0] = L'\0';
        return false;
    };
    size_t used = 0;
    out[0] = L'\0';
    for (const wchar_t* p = text; *p != L'\0';) {
        if (*p != L'%') {
            if (used + 1 >= cchOut) return fail();
            out[used++] = *p++;
            out[used] = L'\0';
            continue;
        }
        const wchar_t* name = ++p;
        while (*p != L'\0' && *p != L'%') ++p;
        size_t nameLength = p - name;
        if (*p == L'%') ++p;
        if (nameLength >= kNameChars) return fail();
        if (nameLength == 0) continue;
        wchar_t variable[kNameChars];
        wmemcpy(variable, name, nameLength);
        variable[nameLength] = L'\0';
        wchar_t value[kValueChars];
        DWORD length = GetEnvironmentVariableW(variable, value, kValueChars);
        if (length >= kValueChars) return fail();
        if (length > 0 && !AppendText(out, cchOut, value)) return fail();
        used = wcslen(out);
    }
    return true;
}

bool SeparateSettingsFile(const wchar_t* programFolder, wchar_t* path) {
    wchar_t programIniPath[kPathChars];
    if (!FileInFolder(programFolder, kIniName, programIniPath)) return false;
    wchar_t iniFolder[kIniFolderChars];
    ReadProfileText(programIniPath, L"Others", L"INI_Folder", iniFolder, kIniFolderChars);
    wchar_t settingsPath[kPathChars];
    if (!SettingsFileIn(iniFolder, false, settingsPath)) return false;
    // The program folder's own file in another spelling ("C:\Lumidor\.") is no other file.
    if (PathNamesItem(settingsPath, programIniPath)) return false;
    return CopyText(path, kPathChars, settingsPath);
}

bool SettingsTwinOf(const wchar_t* settingsPath, wchar_t* twin) {
    return FormatText(twin, kPathChars, L"%s_temp", settingsPath);
}

void WriteViewerSettings(const wchar_t* targetFolder, wchar_t* iniFolder, int silent, wchar_t* settingsIniPath,
                         bool* settingsFolderCreated) {
    wchar_t programIniPath[kPathChars];
    FileInFolder(targetFolder, kIniName, programIniPath);

    if (silent && iniFolder[0] == L'\0') {
        wchar_t defaultFolder[kPathChars];
        GetDefaultInstallFolder(defaultFolder, kPathChars);
        if (wcsstr(targetFolder, defaultFolder)) CopyText(iniFolder, kIniFolderChars, kDefaultIniFolder);
    }

    // Where the settings lived until now, as the program folder's file says.
    NormaliseSettingsEncoding(programIniPath);
    wchar_t previousIniFolder[kIniFolderChars];
    ReadProfileText(programIniPath, L"Others", L"INI_Folder", previousIniFolder, kIniFolderChars);
    wchar_t previousPath[kPathChars];
    if (!SettingsFileIn(previousIniFolder, false, previousPath)) CopyText(previousPath, programIniPath);

    // An INI folder that counts as none keeps the settings beside the program.
    wchar_t settingsPath[kPathChars];
    bool folderCreated = false;
    bool separateFolder = SettingsFileIn(iniFolder, true, settingsPath, &folderCreated);
    if (settingsFolderCreated) *settingsFolderCreated = separateFolder && folderCreated;
    if (!separateFolder) CopyText(settingsPath, programIniPath);
    NormaliseSettingsEncoding(settingsPath);

    // A moved settings file takes every key the user had along; the keys
    // written below then win.
    if (wcscmp(previousIniFolder, separateFolder ? iniFolder : L"") != 0 && lstrcmpiW(previousPath, settingsPath) != 0)
        CarryOverSettings(previousPath, settingsPath);

    bool mirrorToProgramIni = false;
    if (separateFolder) {
        WriteProfileText(programIniPath, L"Others", L"INI_Folder", iniFolder);
        mirrorToProgramIni = wcsstr(settingsPath, L"Lumidor32_App") || wcsstr(settingsPath, L"Lumidor64_App");
    } else {
        WriteProfileText(programIniPath, L"Others", L"INI_Folder", nullptr);
    }

    WriteProfileText(settingsPath, L"Language", L"DLL", L"DEUTSCH.DLL");
    WriteProfileText(settingsPath, L"Language", L"Lang", L"Deutsch");
    if (mirrorToProgramIni) {
        WriteProfileText(programIniPath, L"Language", L"DefaultLang", L"DEUTSCH.DLL");
        WriteProfileText(programIniPath, L"Language", L"Lang", L"Deutsch");
    }

    // A skin the user already has stays, with its size.
    wchar_t skin[kPathChars];
    if (ReadProfileText(settingsPath, L"Toolbar", L"Skin", skin, kPathChars) == 0) {
        const ToolbarSkin& chosen =
            SkinFor(ChooseToolbarIconSize(GetSystemMetrics(SM_CYFULLSCREEN), MeasureDpiPercent()));
        WriteProfileText(settingsPath, L"Toolbar", L"Skin", chosen.skin);
        WriteProfileText(settingsPath, L"Toolbar", L"Size", chosen.size);
        if (mirrorToProgramIni) {
            WriteProfileText(programIniPath, L"Toolbar", L"Skin", L"Corvane_24.png");
            WriteProfileText(programIniPath, L"Toolbar", L"Size", L"24");
        }
    }
    CopyText(settingsIniPath, kPathChars, settingsPath);
}

int ConvertIniToUnicode(const wchar_t* path) { return RewriteAsUnicode(path, true); }

void RestoreUnicodeHeader(const wchar_t* path) {
    CHeapBlock raw(0);
    DWORD size = 0;
    if (!ReadSettingsFile(path, raw, size)) return;
    // The header line without the empty line after it.
    constexpr size_t kLineBytes = sizeof(kUnicodeHeader) - 3 * sizeof(char16_t);
    const unsigned char* bytes = raw.as<unsigned char>();
    if (size < 2 + kLineBytes || bytes[0] != 0xFF || bytes[1] != 0xFE ||
        memcmp(bytes + 2, kUnicodeHeader, kLineBytes) != 0)
        return;
    const unsigned char* rest = bytes + 2 + kLineBytes;
    size_t restBytes = size - 2 - kLineBytes;
    if (restBytes >= 4 && memcmp(rest, u"\r\n", 4) == 0) return;  // the empty line is there
    ReplaceWithUnicode(path, reinterpret_cast<const wchar_t*>(rest), restBytes / sizeof(wchar_t));
}

void NormaliseSettingsEncoding(const wchar_t* path) { RewriteAsUnicode(path, false); }
