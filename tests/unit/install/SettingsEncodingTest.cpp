// Settings files in any encoding a user's editor may have left: detected,
// converted to the viewer's form with their text intact, and carried over
// when an installation moves them.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "install/SettingsCarryOver.h"
#include "install/SettingsEncoding.h"
#include "install/ViewerSettings.h"

namespace {

const std::string kMark = "\xFF\xFE";

// UTF-16LE bytes of a wide text.
std::string Le(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return out;
}

std::string Be(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += std::string{static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    return out;
}

const std::string kViewerHeader = kMark + Le(L"; UNICODE FILE - edit with care ;-)\r\n\r\n");

// Umlauts and a non-Latin value: what an ANSI detour would destroy.
const std::wstring kUserText =
    L"[Viewer]\r\nOrdner=C:\\B\u00fccher\\Gr\u00fc\u00dfe\r\nTitel=\u65e5\u672c\u8a9e\r\n[Toolbar]\r\nSkin=Mein.png\r\n";
const std::string kUserUtf8 =
    "[Viewer]\r\nOrdner=C:\\B\xC3\xBC" "cher\\Gr\xC3\xBC\xC3\x9F" "e\r\nTitel=\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n"
    "[Toolbar]\r\nSkin=Mein.png\r\n";

TextEncoding Detect(const std::string& bytes) {
    return DetectTextEncoding(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

}  // namespace

TEST(TextEncoding, MarksDecideAndUnmarkedUtf8NeedsANonAsciiByte) {
    EXPECT_EQ(Detect(kMark + Le(L"a")), TextEncoding::Utf16Le);
    EXPECT_EQ(Detect("\xFE\xFF" + Be(L"a")), TextEncoding::Utf16Be);
    EXPECT_EQ(Detect("\xEF\xBB\xBF[a]"), TextEncoding::Utf8WithMark);
    EXPECT_EQ(Detect(kUserUtf8), TextEncoding::Utf8);
    EXPECT_EQ(Detect("[a]\r\nb=c\r\n"), TextEncoding::Ansi);  // the same either way
    EXPECT_EQ(Detect("x=Gr\xFC\xDF" "e"), TextEncoding::Ansi);  // Windows-1252
    EXPECT_EQ(Detect(""), TextEncoding::Ansi);
    EXPECT_EQ(Detect("\xFF"), TextEncoding::Ansi);
}

TEST(TextEncoding, OnlyStrictUtf8IsValid) {
    auto valid = [](const std::string& s) {
        return IsValidUtf8(reinterpret_cast<const unsigned char*>(s.data()), s.size());
    };
    EXPECT_TRUE(valid("\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"));
    EXPECT_FALSE(valid("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(valid("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(valid("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(valid("\xC3"));              // cut short
    EXPECT_FALSE(valid("\xE4\x20"));          // ANSI "ä" before a blank
}

class Encodings : public testing::Test {
protected:
    CTempFolder temp;
    std::wstring ini = temp.path() + L"lumi32.ini";
};

TEST_F(Encodings, EveryMarkedOrUtf8FileBecomesTheViewersFormWithItsTextIntact) {
    const std::string forms[] = {"\xEF\xBB\xBF" + kUserUtf8, "\xFE\xFF" + Be(kUserText), kUserUtf8};
    for (const std::string& form : forms) {
        WriteFileBytes(ini, form);
        NormaliseSettingsEncoding(ini.c_str());
        EXPECT_EQ(ReadFileBytes(ini), kViewerHeader + Le(kUserText));
        EXPECT_EQ(ProfileValue(ini, L"Viewer", L"Titel"), L"\u65e5\u672c\u8a9e");
        // The final conversion leaves it alone; a written key keeps the form.
        EXPECT_EQ(ConvertIniToUnicode(ini.c_str()), 1);
        EXPECT_EQ(ReadFileBytes(ini), kViewerHeader + Le(kUserText));
    }
}

TEST_F(Encodings, AnsiIsLeftForTheFinalConversion) {
    WriteFileBytes(ini, "[a]\r\nx=Gr\xFC\xDF" "e\r\n");
    NormaliseSettingsEncoding(ini.c_str());
    EXPECT_EQ(ReadFileBytes(ini), "[a]\r\nx=Gr\xFC\xDF" "e\r\n");
}

TEST_F(Encodings, AnInstallationOverAUtf8FileKeepsEveryKey) {
    std::wstring program = temp.path() + L"Lumidor\\";
    CreateDirectoryW(program.c_str(), nullptr);
    WriteFileBytes(program + L"lumi32.ini", "\xEF\xBB\xBF" + kUserUtf8);
    wchar_t iniFolder[260] = L"";
    wchar_t settings[260];
    WriteViewerSettings(program.c_str(), iniFolder, 0, settings);
    ConvertIniToUnicode(settings);
    std::wstring file = settings;
    EXPECT_EQ(ProfileValue(file, L"Viewer", L"Ordner"), L"C:\\B\u00fccher\\Gr\u00fc\u00dfe");
    EXPECT_EQ(ProfileValue(file, L"Viewer", L"Titel"), L"\u65e5\u672c\u8a9e");
    EXPECT_EQ(ProfileValue(file, L"Toolbar", L"Skin"), L"Mein.png");
    EXPECT_EQ(ProfileValue(file, L"Language", L"Lang"), L"Deutsch");
    EXPECT_EQ(ReadFileBytes(file).substr(0, 2), kMark);
}

class CarryOver : public testing::Test {
protected:
    CTempFolder temp;
    std::wstring from = temp.path() + L"alt.ini";
    std::wstring to = temp.path() + L"neu.ini";
};

TEST_F(CarryOver, IntoNoFileTheWholeFileMovesInUtf16) {
    WriteFileBytes(from, "; Kommentar\r\n[Viewer]\r\nx=Gr\xFC\xDF" "e\r\n");
    CarryOverSettings(from.c_str(), to.c_str());
    EXPECT_EQ(ReadFileBytes(to), kViewerHeader + Le(L"; Kommentar\r\n[Viewer]\r\nx=Gr\u00fc\u00dfe\r\n"));
    EXPECT_EQ(ReadFileBytes(from), "; Kommentar\r\n[Viewer]\r\nx=Gr\xFC\xDF" "e\r\n");  // stays where it was
}

TEST_F(CarryOver, OnlyTheKeysTheNewFileLacksAreAdded) {
    WriteFileBytes(from, "\xFE\xFF" + Be(kUserText + L"[Language]\r\nLang=English\r\nDLL=ENGLISH.DLL\r\n"));
    WriteFileBytes(to, "[Language]\r\nlang=Deutsch\r\n[Eigenes]\r\nk=v\r\n");
    CarryOverSettings(from.c_str(), to.c_str());
    EXPECT_EQ(ProfileValue(to, L"Language", L"Lang"), L"Deutsch");  // the new file's own key wins
    EXPECT_EQ(ProfileValue(to, L"Language", L"DLL"), L"ENGLISH.DLL");
    EXPECT_EQ(ProfileValue(to, L"Viewer", L"Titel"), L"\u65e5\u672c\u8a9e");
    EXPECT_EQ(ProfileValue(to, L"Viewer", L"Ordner"), L"C:\\B\u00fccher\\Gr\u00fc\u00dfe");
    EXPECT_EQ(ProfileValue(to, L"Toolbar", L"Skin"), L"Mein.png");
    EXPECT_EQ(ProfileValue(to, L"Eigenes", L"k"), L"v");
    // Still the viewer's form: the header line and one empty line first.
    EXPECT_EQ(ReadFileBytes(to).substr(0, kViewerHeader.size()), kViewerHeader);
}

TEST_F(CarryOver, AMissingOldFileChangesNothing) {
    CarryOverSettings(from.c_str(), to.c_str());
    EXPECT_EQ(GetFileAttributesW(to.c_str()), INVALID_FILE_ATTRIBUTES);
}
