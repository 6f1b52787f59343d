// The keep rule of an installed icon library and the version probe.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "install/IconLibrary.h"

TEST(IconLibrary, VersionTextsAreReadInSinglePrecision) {
    // Extended precision would read 4.29 as 4289.
    EXPECT_EQ(VersionThousandths(L"4.29"), 4290);
    EXPECT_EQ(VersionThousandths(L"4.2"), 4200);
    EXPECT_EQ(VersionThousandths(L"4.30"), 4300);
    EXPECT_EQ(VersionThousandths(L"4.31"), 4310);
    EXPECT_EQ(VersionThousandths(L"4.30beta"), 4300);
    EXPECT_EQ(VersionThousandths(L""), 0);
}

TEST(IconLibrary, NewerAndRebuiltLibrariesStayOlderOnesOfTheMakerGo) {
    const int knownOld = static_cast<int>(kKnownOldIconsDllBytes);
    EXPECT_FALSE(ShouldKeepInstalledIconsDll(1, L"4.30", knownOld, L"ORVENDAL"));
    EXPECT_TRUE(ShouldKeepInstalledIconsDll(1, L"4.30", knownOld, L"Jemand anders"));
    EXPECT_TRUE(ShouldKeepInstalledIconsDll(1, L"4.30", 15360, L"Orvendal"));
    EXPECT_TRUE(ShouldKeepInstalledIconsDll(1, L"4.31", knownOld, L"Orvendal"));
    EXPECT_TRUE(ShouldKeepInstalledIconsDll(1, L"4.20", 15360, L"Jemand anders"));
    EXPECT_FALSE(ShouldKeepInstalledIconsDll(1, L"4.20", 15360, L"orvendal"));
    EXPECT_TRUE(ShouldKeepInstalledIconsDll(1, L"4.20", 15360, L""));
    EXPECT_FALSE(ShouldKeepInstalledIconsDll(0, L"", 0, L""));
}

TEST(IconLibrary, FilesWithoutAVersionBlockAreReplaced) {
    CTempFolder temp;
    std::wstring text = temp / L"Icons.dll";
    WriteFileBytes(text, "no version here");
    wchar_t version[260] = L"x";
    wchar_t company[260] = L"x";
    EXPECT_EQ(ReadVersionAndCompany(text.c_str(), version, 260, company, 260), 0);
    EXPECT_FALSE(KeepInstalledIconsDll(text.c_str()));
    EXPECT_FALSE(KeepInstalledIconsDll((temp / L"missing.dll").c_str()));
    EXPECT_EQ(GetFileByteSize(text.c_str()), 15);
    EXPECT_EQ(GetFileByteSize((temp / L"missing.dll").c_str()), 0);
    EXPECT_EQ(GetFileByteSize(L""), 0);
    EXPECT_EQ(GetFileByteSize(nullptr), 0);
}

TEST(IconLibrary, ReadsTheVersionOfASystemLibrary) {
    wchar_t path[260];
    GetSystemDirectoryW(path, 260);
    wcscat(path, L"\\comctl32.dll");
    wchar_t version[260] = L"";
    wchar_t company[4] = L"xxx";
    ASSERT_EQ(ReadVersionAndCompany(path, version, 260, company, 4), 1);
    EXPECT_NE(wcschr(version, L'.'), nullptr);
    EXPECT_LE(wcslen(company), 3u);  // cut to the buffer, whatever the maker's name
}
