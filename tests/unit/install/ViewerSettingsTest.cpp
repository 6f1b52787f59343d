// The settings file: skin rule, folder expansion, INI modes, UTF-16 form.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "app/SystemProbes.h"
#include "install/ViewerSettings.h"

namespace {

const std::string kBom = "\xFF\xFE";

std::string Utf16(const std::string& latin1) {
    std::string out;
    for (unsigned char c : latin1) out += std::string{static_cast<char>(c), '\0'};
    return out;
}

const std::string kHeader = kBom + Utf16("; UNICODE FILE - edit with care ;-)\r\n\r\n");

std::wstring Expanded(const wchar_t* text) {
    wchar_t out[520];
    return ExpandIniFolder(text, out, 520) ? out : L"<refused>";
}

}  // namespace

TEST(ToolbarSkin, HeightAndResolutionChooseTheIconSize) {
    EXPECT_EQ(ChooseToolbarIconSize(1200, 100), 24);
    EXPECT_EQ(ChooseToolbarIconSize(1201, 100), 32);
    EXPECT_EQ(ChooseToolbarIconSize(767, 100), 16);
    EXPECT_EQ(ChooseToolbarIconSize(768, 100), 24);
    EXPECT_EQ(ChooseToolbarIconSize(1600, 100), 48);
    EXPECT_EQ(ChooseToolbarIconSize(1599, 100), 32);
    // Resolution wins over height.
    EXPECT_EQ(ChooseToolbarIconSize(720, DpiPercentFrom(144)), 32);
    EXPECT_EQ(ChooseToolbarIconSize(720, DpiPercentFrom(164)), 48);
    EXPECT_EQ(ChooseToolbarIconSize(720, DpiPercentFrom(163)), 32);
    EXPECT_EQ(ChooseToolbarIconSize(720, DpiPercentFrom(120)), 16);
}

TEST(ToolbarSkin, ResolutionIsAPercentageOf96Truncated) {
    EXPECT_EQ(DpiPercentFrom(96), 100);
    EXPECT_EQ(DpiPercentFrom(120), 125);
    EXPECT_EQ(DpiPercentFrom(144), 150);
    EXPECT_EQ(DpiPercentFrom(163), 169);
    EXPECT_EQ(DpiPercentFrom(164), 170);
}

TEST(IniFolder, ReferencesAreExpandedOnceOrVanish) {
    SetEnvironmentVariableW(L"LUMITEST", L"D:\\Daten");
    SetEnvironmentVariableW(L"LUMIPERCENT", L"50%voll");
    EXPECT_EQ(Expanded(L"%LUMITEST%\\Lumidor"), L"D:\\Daten\\Lumidor");
    EXPECT_EQ(Expanded(L"%NOSUCHVAR%\\Data"), L"\\Data");
    EXPECT_EQ(Expanded(L"C:\\Data%"), L"C:\\Data");
    EXPECT_EQ(Expanded(L"a%%b"), L"ab");
    EXPECT_EQ(Expanded(L"%LUMIPERCENT%"), L"50%voll");
}

TEST(IniFolder, ExpansionBeyondItsLimitsIsRefused) {
    EXPECT_EQ(Expanded((L"%" + std::wstring(261, L'N') + L"%").c_str()), L"<refused>");
    SetEnvironmentVariableW(L"LUMILONG", std::wstring(300, L'v').c_str());
    EXPECT_EQ(Expanded(L"%LUMILONG%"), L"<refused>");
    SetEnvironmentVariableW(L"LUMILONG", std::wstring(250, L'v').c_str());
    EXPECT_EQ(Expanded(L"%LUMILONG%\\%LUMILONG%\\%LUMILONG%"), L"<refused>");
    wchar_t small[4];
    EXPECT_FALSE(ExpandIniFolder(L"abcd", small, 4));
    EXPECT_STREQ(small, L"");
}

class SettingsFile : public testing::Test {
protected:
    CTempFolder temp;
    std::wstring program = temp.path() + L"Lumidor\\";
    std::wstring programIni = program + L"lumi32.ini";
    void SetUp() override { CreateDirectoryW(program.c_str(), nullptr); }

    std::wstring Write(const std::wstring& iniFolder, int silent = 0, const std::wstring& target = L"") {
        wcsncpy(ini_, iniFolder.c_str(), 259);
        ini_[259] = L'\0';
        wchar_t settings[260];
        WriteViewerSettings((target.empty() ? program : target).c_str(), ini_, silent, settings);
        return settings;
    }
    wchar_t ini_[260] = L"";
};

TEST_F(SettingsFile, WithoutAnIniFolderEverythingStaysBesideTheProgram) {
    WritePrivateProfileStringW(L"Others", L"INI_Folder", L"C:\\alt", programIni.c_str());
    WritePrivateProfileStringW(L"Viewer", L"Eigenes", L"bleibt", programIni.c_str());
    EXPECT_EQ(Write(L""), programIni);
    EXPECT_EQ(ProfileValue(programIni, L"Others", L"INI_Folder"), L"<none>");
    EXPECT_EQ(ProfileValue(programIni, L"Language", L"DLL"), L"DEUTSCH.DLL");
    EXPECT_EQ(ProfileValue(programIni, L"Language", L"Lang"), L"Deutsch");
    EXPECT_NE(ProfileValue(programIni, L"Toolbar", L"Skin"), L"<none>");
    EXPECT_EQ(ProfileValue(programIni, L"Viewer", L"Eigenes"), L"bleibt");
}

TEST_F(SettingsFile, AnIniFolderIsCreatedAndRecordedUnexpanded) {
    SetEnvironmentVariableW(L"LUMIDATA", temp.path().c_str());
    std::wstring settings = Write(L"%LUMIDATA%Einstellungen\\Lumidor");
    EXPECT_EQ(settings, temp.path() + L"Einstellungen\\Lumidor\\lumi32.ini");
    EXPECT_EQ(ProfileValue(programIni, L"Others", L"INI_Folder"), L"%LUMIDATA%Einstellungen\\Lumidor");
    EXPECT_EQ(ProfileValue(settings, L"Language", L"DLL"), L"DEUTSCH.DLL");
    EXPECT_EQ(ProfileValue(programIni, L"Language", L"DefaultLang"), L"<none>");
}

TEST_F(SettingsFile, AnAppFolderMirrorsTheDefaultsIntoTheProgramFile) {
    std::wstring settings = Write(temp.path() + L"Lumidor64_App");
    ASSERT_EQ(settings, temp.path() + L"Lumidor64_App\\lumi32.ini");
    EXPECT_EQ(ProfileValue(programIni, L"Language", L"DefaultLang"), L"DEUTSCH.DLL");
    EXPECT_EQ(ProfileValue(programIni, L"Language", L"Lang"), L"Deutsch");
    EXPECT_EQ(ProfileValue(programIni, L"Toolbar", L"Skin"), L"Corvane_24.png");
    EXPECT_EQ(ProfileValue(programIni, L"Toolbar", L"Size"), L"24");
    EXPECT_NE(ProfileValue(settings, L"Toolbar", L"Skin"), L"<none>");
}

TEST_F(SettingsFile, TheUsersSkinSurvivesAReinstallation) {
    WritePrivateProfileStringW(L"Toolbar", L"Skin", L"gnome-colors-wise_32.png", programIni.c_str());
    WritePrivateProfileStringW(L"Toolbar", L"Size", L"32", programIni.c_str());
    WritePrivateProfileStringW(L"Language", L"Lang", L"English", programIni.c_str());
    Write(L"");
    EXPECT_EQ(ProfileValue(programIni, L"Toolbar", L"Skin"), L"gnome-colors-wise_32.png");
    EXPECT_EQ(ProfileValue(programIni, L"Toolbar", L"Size"), L"32");
    EXPECT_EQ(ProfileValue(programIni, L"Language", L"Lang"), L"Deutsch");
}

TEST_F(SettingsFile, AnIniFolderThatExpandsToNothingOrTooMuchCountsAsNone) {
    EXPECT_EQ(Write(L"%NOSUCHVAR%"), programIni);
    EXPECT_EQ(ProfileValue(programIni, L"Others", L"INI_Folder"), L"<none>");
    EXPECT_EQ(Write(L"C:\\" + std::wstring(250, L'x')), programIni);
}

TEST_F(SettingsFile, AnIniFolderOfBlanksCountsAsNone) {
    SetEnvironmentVariableW(L"LUMIBLANKS", L"   ");
    for (const wchar_t* blanks : {L"   ", L"%LUMIBLANKS%", L"%LUMIBLANKS% %NOSUCHVAR%"}) {
        EXPECT_EQ(Write(blanks), programIni) << blanks;
        EXPECT_EQ(ProfileValue(programIni, L"Others", L"INI_Folder"), L"<none>") << blanks;
    }
}

TEST_F(SettingsFile, MovingTheSettingsTakesEveryKeyOfTheUserAlong) {
    // From the program folder to a folder of their own.
    WritePrivateProfileStringW(L"Viewer", L"Zoom", L"150", programIni.c_str());
    WritePrivateProfileStringW(L"Toolbar", L"Skin", L"Eigen.png", programIni.c_str());
    WritePrivateProfileStringW(L"Language", L"Lang", L"English", programIni.c_str());
    std::wstring data = temp.path() + L"Daten";
    std::wstring moved = Write(data);
    ASSERT_EQ(moved, data + L"\\lumi32.ini");
    EXPECT_EQ(ProfileValue(moved, L"Viewer", L"Zoom"), L"150");
    EXPECT_EQ(ProfileValue(moved, L"Toolbar", L"Skin"), L"Eigen.png");
    EXPECT_EQ(ProfileValue(moved, L"Language", L"Lang"), L"Deutsch");  // the installation's keys win
    EXPECT_EQ(ReadFileBytes(moved).substr(0, 2), kBom);
    EXPECT_EQ(ProfileValue(programIni, L"Viewer", L"Zoom"), L"150");  // the old file stays

    // And back: the user changed a key in the meantime.
    WritePrivateProfileStringW(L"Viewer", L"Zoom", L"200", moved.c_str());
    WritePrivateProfileStringW(L"Viewer", L"Neu", L"ja", moved.c_str());
    EXPECT_EQ(Write(L""), programIni);
    EXPECT_EQ(ProfileValue(programIni, L"Viewer", L"Neu"), L"ja");
    EXPECT_EQ(ProfileValue(programIni, L"Viewer", L"Zoom"), L"150");  // a key the file had stays its own
    EXPECT_EQ(ProfileValue(programIni, L"Others", L"INI_Folder"), L"<none>");
}

TEST_F(SettingsFile, AnUnchangedLocationCopiesNothing) {
    std::wstring data = temp.path() + L"Daten";
    std::wstring settings = Write(data);
    WritePrivateProfileStringW(L"Viewer", L"Alt", L"x", programIni.c_str());
    Write(data);
    EXPECT_EQ(ProfileValue(settings, L"Viewer", L"Alt"), L"<none>");
}

TEST_F(SettingsFile, SilentInstallationsIntoProgramFilesKeepSettingsInAppData) {
    wchar_t standard[260];
    GetDefaultInstallFolder(standard, 260);
    Write(L"", 1, std::wstring(standard) + L"\\");
    EXPECT_STREQ(ini_, L"%APPDATA%\\Lumidor");

    Write(L"", 1);
    EXPECT_STREQ(ini_, L"");
    // The wizard never applies the rule.
    Write(L"", 0, std::wstring(standard) + L"\\");
    EXPECT_STREQ(ini_, L"");
}

class Conversion : public testing::Test {
protected:
    CTempFolder temp;
    std::wstring ini = temp.path() + L"lumi32.ini";
    std::string Convert(const std::string& ansi) {
        WriteFileBytes(ini, ansi);
        EXPECT_EQ(ConvertIniToUnicode(ini.c_str()), 1);
        EXPECT_EQ(GetFileAttributesW((temp.path() + L"lumi32.ini_temp").c_str()), INVALID_FILE_ATTRIBUTES);
        return ReadFileBytes(ini);
    }
};

TEST_F(Conversion, AddsMarkAndHeaderAndKeepsLineEnds) {
    EXPECT_EQ(Convert("[Language]\r\nLang=Deutsch\nx=\xE4\r\n"),
              kHeader + Utf16("[Language]\r\nLang=Deutsch\nx=\xE4\r\n"));
}

TEST_F(Conversion, LongLinesAndStrayNulBytesComeOutWhole) {
    std::string line(3000, 'a');
    EXPECT_EQ(Convert(line + "\r\n"), kHeader + Utf16(line + "\r\n"));
    std::string withNul("a=1\r\n\0b=2\r\n", 11);
    EXPECT_EQ(Convert(withNul), kHeader + Utf16(withNul));
}

TEST_F(Conversion, AUnicodeFileIsLeftByteForByte) {
    std::string unicode = kBom + Utf16("[Toolbar]\r\nSkin=x\r\n");
    EXPECT_EQ(Convert(unicode), unicode);
}

TEST_F(Conversion, EmptyAndMissingFilesAreNothingToDo) {
    EXPECT_EQ(Convert(""), "");
    EXPECT_EQ(ConvertIniToUnicode((temp.path() + L"fehlt.ini").c_str()), 1);
}

TEST_F(Conversion, AFailedReplacementKeepsTheAnsiFile) {
    WriteFileBytes(ini, "[a]\r\nb=c\r\n");
    HANDLE locked = CreateFileW(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    int result = ConvertIniToUnicode(ini.c_str());
    CloseHandle(locked);
    // Wine may let the move replace an open file; Windows does not.
    if (result == 0) {
        EXPECT_EQ(ReadFileBytes(ini), "[a]\r\nb=c\r\n");
    } else {
        EXPECT_EQ(ReadFileBytes(ini), kHeader + Utf16("[a]\r\nb=c\r\n"));
    }
}
