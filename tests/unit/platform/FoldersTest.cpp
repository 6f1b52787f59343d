// Folder texts: trimming and creating every level.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "platform/Folders.h"

namespace {

std::wstring Trimmed(std::wstring text) {
    std::wstring buffer = text;
    buffer.resize(text.size() + 1);
    TrimSpaces(&buffer[0]);
    return buffer.c_str();
}

struct FolderText {
    wchar_t text[260];
    explicit FolderText(const std::wstring& value) { wcsncpy(text, value.c_str(), 259), text[259] = L'\0'; }
};

}  // namespace

TEST(TrimSpaces, RemovesBlanksAtBothEnds) {
    EXPECT_EQ(Trimmed(L"  C:\\Apps\\Lumidor  "), L"C:\\Apps\\Lumidor");
    EXPECT_EQ(Trimmed(L"C:\\Apps "), L"C:\\Apps");
    EXPECT_EQ(Trimmed(L"   "), L"");
    EXPECT_EQ(Trimmed(L"\tC:\\x\t"), L"\tC:\\x\t");  // only the blank counts
}

TEST(TrimSpaces, ALongTextKeepsItsLeadingBlanks) {
    std::wstring text = L" " + std::wstring(259, L'a') + L"  ";
    EXPECT_EQ(Trimmed(text), L" " + std::wstring(259, L'a'));
    std::wstring shorter = L" " + std::wstring(258, L'a');
    EXPECT_EQ(Trimmed(shorter), std::wstring(258, L'a'));
}

TEST(EnsureFolder, CreatesEveryLevelAndAddsTheBackslash) {
    CTempFolder temp;
    std::wstring before = CurrentDirectory();
    FolderText folder(L"  " + temp.path() + L"Apps\\Lumidor  ");
    EXPECT_EQ(EnsureFolder(folder.text), 1);
    EXPECT_EQ(std::wstring(folder.text), temp.path() + L"Apps\\Lumidor\\");
    EXPECT_TRUE(FolderExists(temp / L"Apps\\Lumidor"));
    EXPECT_EQ(CurrentDirectory(), before);

    // An existing folder is found as it is.
    EXPECT_EQ(EnsureFolder(folder.text), 1);
}

TEST(EnsureFolder, EveryLevelLosesItsTrailingBlanks) {
    CTempFolder temp;
    FolderText folder(temp.path() + L"A \\B");
    EXPECT_EQ(EnsureFolder(folder.text), 1);
    EXPECT_EQ(std::wstring(folder.text), temp.path() + L"A\\B\\");
    EXPECT_TRUE(FolderExists(temp / L"A\\B"));
}

TEST(EnsureFolder, RefusesEmptyAndBlankTexts) {
    FolderText empty(L"");
    EXPECT_EQ(EnsureFolder(empty.text), 0);
    FolderText blanks(L"    ");
    EXPECT_EQ(EnsureFolder(blanks.text), 0);
}

TEST(EnsureFolder, AMissingDriveFailsButTheTextIsNormalised) {
    FolderText folder(L"R:\\Nirgendwo\\Lumidor ");
    EXPECT_EQ(EnsureFolder(folder.text), 0);
    EXPECT_STREQ(folder.text, L"R:\\Nirgendwo\\Lumidor\\");

    FolderText network(L"\\\\nirgendwo\\freigabe\\Lumidor");
    EXPECT_EQ(EnsureFolder(network.text), 0);
    EXPECT_STREQ(network.text, L"\\\\nirgendwo\\freigabe\\Lumidor\\");
}

TEST(EnsureFolder, OnlyTextsUpTo258CharactersGetABackslash) {
    std::wstring base = L"R:\\";
    FolderText at258(base + std::wstring(255, L'a'));
    EnsureFolder(at258.text);
    EXPECT_EQ(wcslen(at258.text), 259u);
    EXPECT_EQ(at258.text[258], L'\\');

    FolderText at259(base + std::wstring(256, L'a'));
    EnsureFolder(at259.text);
    EXPECT_EQ(wcslen(at259.text), 259u);
    EXPECT_EQ(at259.text[258], L'a');
}
