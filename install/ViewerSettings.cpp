// The viewer's settings file "lumi32.ini".
#include "install/ViewerSettings.h"

#include <windows.h>

#include "app/InstallOptions.h"
#include "app/SystemProbes.h"
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

void WriteViewerSettings(const wchar_t* targetFolder, wchar_t* iniFolder, int silent, wchar_t* settingsIniPath) {
    wchar_t programIniPath[kPathChars];
    FileInFolder(targetFolder, kIniName, programIniPath);

    if (silent && iniFolder[0] == L'\0') {
        wchar_t defaultFolder[kPathChars];
        GetDefaultInstallFolder(defaultFolder, kPathChars);
        if (wcsstr(targetFolder, defaultFolder)) CopyText(iniFolder, kIniFolderChars, kDefaultIniFolder);
    }

    // An INI folder that expands to nothing, or to a settings path that would
    // pass 259 characters, counts as none: the settings stay beside the program.
    wchar_t settingsPath[kPathChars];
    bool separateFolder = false;
    if (iniFolder[0] != L'\0') {
        wchar_t expanded[kExpandedFolderChars];
        bool expandedOk = wcschr(iniFolder, L'%') ? ExpandIniFolder(iniFolder, expanded, kExpandedFolderChars)
                                                  : CopyText(expanded, iniFolder);
        size_t length = expandedOk ? wcslen(expanded) : 0;
        if (length > 0 && length < kPathChars) {
            EnsureFolder(expanded);
            separateFolder = CopyText(settingsPath, expanded) && AppendText(settingsPath, kIniName);
        }
    }

    bool mirrorToProgramIni = false;
    if (separateFolder) {
        WriteProfileText(programIniPath, L"Others", L"INI_Folder", iniFolder);
        mirrorToProgramIni = wcsstr(settingsPath, L"Lumidor32_App") || wcsstr(settingsPath, L"Lumidor64_App");
    } else {
        WriteProfileText(programIniPath, L"Others", L"INI_Folder", nullptr);
        CopyText(settingsPath, programIniPath);
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

int ConvertIniToUnicode(const wchar_t* path) {
    CScopedFile source(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!source) return 1;
    DWORD size = GetFileSize(source.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > 0x4000000) return 1;  // not a settings file we can hold

    CHeapBlock ansi(size);
    DWORD read = 0;
    if (!ansi || !ReadFile(source.get(), ansi.get(), size, &read, nullptr) || read != size) return 1;
    const unsigned char* bytes = static_cast<const unsigned char*>(ansi.get());
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return 1;  // UTF-16 already
    source.reset();

    // The twin lies beside the file.
    wchar_t tempPath[kPathChars];
    if (!CopyText(tempPath, path)) return 1;
    wchar_t* nameStart = tempPath;
    for (wchar_t* p = tempPath; *p != L'\0'; ++p) {
        if (*p == L'\\' || *p == L'/' || *p == L':') nameStart = p + 1;
    }
    *nameStart = L'\0';
    if (tempPath[0] != L'\0' && !EndsWithBackslash(tempPath) && !AppendText(tempPath, L"\\")) return 1;
    if (!AppendText(tempPath, kTempIniName)) return 1;

    // The whole file in one conversion, so that no character is split and a
    // stray NUL byte does not cut what follows.
    int units = size ? MultiByteToWideChar(CP_ACP, 0, static_cast<const char*>(ansi.get()), static_cast<int>(size),
                                           nullptr, 0)
                     : 0;
    if (units == 0) return 1;  // nothing to convert
    CHeapBlock wide(static_cast<size_t>(units) * sizeof(wchar_t));
    if (!wide) return 1;
    MultiByteToWideChar(CP_ACP, 0, static_cast<const char*>(ansi.get()), static_cast<int>(size),
                        wide.as<wchar_t>(), units);

    CScopedFile twin(CreateFileW(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!twin) return 1;
    const unsigned char bom[] = {0xFF, 0xFE};
    bool written = WriteAll(twin.get(), bom, sizeof(bom)) &&
                   WriteAll(twin.get(), kUnicodeHeader, sizeof(kUnicodeHeader) - sizeof(char16_t)) &&
                   WriteAll(twin.get(), wide.get(), static_cast<DWORD>(units) * sizeof(wchar_t));
    bool closed = CloseHandle(twin.release()) != 0;
    if (!written || !closed) {
        DeleteFileW(tempPath);  // the settings file stays ANSI and intact
        return 1;
    }
    return MoveFileExW(tempPath, path, MOVEFILE_REPLACE_EXISTING) ? 1 : 0;
}
