// Silent-mode option parser: values, numbers, the working-copy edge, bounds.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

#include "app/CommandLine.h"

namespace {

InstallOptions Parse(const std::wstring& commandLine) {
    InstallOptions options{};
    ResetInstallOptions(options);
    ApplyCommandLineOptions(commandLine.c_str(), options);
    return options;
}

int SelectedRows(const InstallOptions& options) {
    int count = 0;
    for (int row : options.associationRows) count += row;
    return count;
}

}  // namespace

TEST(SilentOptions, NothingButSilentLeavesEverythingOff) {
    InstallOptions options = Parse(L"setup.exe /silent");
    EXPECT_STREQ(options.targetFolder, L"");
    EXPECT_STREQ(options.iniFolder, L"");
    EXPECT_EQ(options.startMenuGroup + options.desktopShortcut + options.thumbnailsShortcut + options.allUsers, 0);
    EXPECT_EQ(SelectedRows(options), 0);
    EXPECT_EQ(options.associationRequested, 0);
    EXPECT_EQ(options.associateForAllUsers, 0);
    EXPECT_EQ(options.silent, 1);
    EXPECT_STREQ(options.messageCaption, L"Lumidor 32-bit Setup");
}

TEST(SilentOptions, FolderEndsAtTheNextOptionWithoutItsBlank) {
    InstallOptions options = Parse(L"setup.exe /silent /folder=D:\\Tools\\Lumidor /desktop=1");
    EXPECT_STREQ(options.targetFolder, L"D:\\Tools\\Lumidor");
    EXPECT_EQ(options.desktopShortcut, 1);
}

TEST(SilentOptions, FolderValuesLoseTheirQuotesAndTrailingBlanks) {
    EXPECT_STREQ(Parse(L"/folder=\"C:\\Program Files\\Lumidor\" /group=1").targetFolder, L"C:\\Program Files\\Lumidor");
    EXPECT_STREQ(Parse(L"/folder=\"C:\\Program Files\\Lumidor   ").targetFolder, L"C:\\Program Files\\Lumidor");
    EXPECT_STREQ(Parse(L"/ini=\"%APPDATA%\\Lumidor\"").iniFolder, L"%APPDATA%\\Lumidor");
    // Only the first character is looked at for the opening quote.
    EXPECT_STREQ(Parse(L"/folder=  \"C:\\x\"  ").targetFolder, L"  \"C:\\x");
}

TEST(SilentOptions, AFolderIsCutAtItsFirstSlash) {
    EXPECT_STREQ(Parse(L"/folder=C:\\a/b\\c").targetFolder, L"C:\\a");
    EXPECT_STREQ(Parse(L"/folder=/desktop=1").targetFolder, L"");
}

TEST(SilentOptions, AssocSelectsImagesAllOrNothing) {
    InstallOptions images = Parse(L"/silent /assoc=1");
    EXPECT_EQ(SelectedRows(images), 51);
    EXPECT_EQ(images.associationRows[50], 1);
    EXPECT_EQ(images.associationRows[51], 0);
    EXPECT_EQ(images.associationRequested, 1);

    InstallOptions all = Parse(L"/silent /assoc=2");
    EXPECT_EQ(SelectedRows(all), 66);
    EXPECT_EQ(all.associationRequested, 1);

    for (const wchar_t* other : {L"/assoc=3", L"/assoc=", L"/assoc=ja", L"/assoc=0", L"/assoc=-1"}) {
        InstallOptions none = Parse(other);
        EXPECT_EQ(SelectedRows(none), 0) << other;
        EXPECT_EQ(none.associationRequested, 0) << other;
    }
}

TEST(SilentOptions, AssocAllUsersIsAFlagOfItsOwn) {
    InstallOptions flag = Parse(L"/silent /assocallusers");
    EXPECT_EQ(flag.associateForAllUsers, 1);
    EXPECT_EQ(flag.associationRequested, 0);
    EXPECT_EQ(Parse(L"/silent /assoc=1").associateForAllUsers, 0);
}

TEST(SilentOptions, NumbersReadLikeSignedDecimals) {
    EXPECT_EQ(Parse(L"/desktop=2").desktopShortcut, 2);
    EXPECT_EQ(Parse(L"/desktop=ja").desktopShortcut, 0);
    EXPECT_EQ(Parse(L"/thumbs= \t-5x").thumbnailsShortcut, -5);
    EXPECT_EQ(Parse(L"/group=+7").startMenuGroup, 7);
    EXPECT_EQ(Parse(L"/allusers=1").allUsers, 1);
}

TEST(SilentOptions, NumbersTooLargeFor32BitsSaturate) {
    EXPECT_EQ(ReadOptionNumber(L"2147483647"), INT_MAX);
    EXPECT_EQ(ReadOptionNumber(L"2147483648"), INT_MAX);
    EXPECT_EQ(ReadOptionNumber(L"99999999999999999999999"), INT_MAX);
    EXPECT_EQ(ReadOptionNumber(L"-2147483648"), INT_MIN);
    EXPECT_EQ(ReadOptionNumber(L"-99999999999999999999999"), INT_MIN);
    EXPECT_EQ(ReadOptionNumber(L"- 1"), 0);
}

TEST(SilentOptions, OptionsAreCaseSensitiveAndTheFirstOccurrenceCounts) {
    EXPECT_EQ(Parse(L"/DESKTOP=1 /Folder=C:\\x").desktopShortcut, 0);
    EXPECT_STREQ(Parse(L"/Folder=C:\\x").targetFolder, L"");
    EXPECT_EQ(Parse(L"/desktop=1 /desktop=0").desktopShortcut, 1);
    // Text that is no option is ignored, also around an option.
    EXPECT_EQ(Parse(L"x/desktop=1y").desktopShortcut, 1);
}

TEST(SilentOptions, AnEmptyIniValueReplacesTheDefault) {
    InstallOptions options;
    ResetInstallOptions(options);
    wcscpy(options.iniFolder, L"%APPDATA%\\Lumidor");
    ApplyCommandLineOptions(L"/silent /ini=", options);
    EXPECT_STREQ(options.iniFolder, L"");
}

TEST(SilentOptions, OnlyTheFirst519CharactersAreSeen) {
    // "/desktop=1" ending at index 518 is seen; one place later its value is cut.
    std::wstring seen = std::wstring(509, L'x') + L"/desktop=1";
    std::wstring cut = std::wstring(510, L'x') + L"/desktop=1";
    std::wstring beyond = std::wstring(600, L'x') + L"/desktop=1";
    EXPECT_EQ(Parse(seen).desktopShortcut, 1);
    EXPECT_EQ(Parse(cut).desktopShortcut, 0);
    EXPECT_EQ(Parse(beyond).desktopShortcut, 0);
}

TEST(SilentOptions, AValueEndsAt260CharactersFromItsOption) {
    InstallOptions options = Parse(L"/folder=" + std::wstring(400, L'a'));
    EXPECT_EQ(wcslen(options.targetFolder), 252u);
    InstallOptions ini = Parse(L"/ini=" + std::wstring(400, L'b'));
    EXPECT_EQ(wcslen(ini.iniFolder), 255u);

    wchar_t value[kOptionValueLimit];
    std::wstring text = L"/desktop=12 /x";
    EXPECT_EQ(CutOptionValue(text.c_str(), 9, kOptionValueLimit, value), 12);
    EXPECT_STREQ(value, L"12 ");
    // Even a caller that passes no option length cannot overrun the value.
    std::wstring longText(1000, L'z');
    CutOptionValue(longText.c_str(), 0, kOptionValueLimit, value);
    EXPECT_EQ(wcslen(value), kOptionValueLimit - 1u);
}

TEST(SilentOptions, NonLatinTextPassesThroughUnchanged) {
    InstallOptions options = Parse(L"/folder=C:\\Programme\\\u65e5\u672c\U0001F600 /desktop=1");
    EXPECT_STREQ(options.targetFolder, L"C:\\Programme\\\u65e5\u672c\U0001F600");
}

// Random command lines of any length and content: every field stays within
// its buffer, and the same input gives the same record. The full run (100,000
// lines) is run on its own under Wine's heap checking by the test script.
void CheckRandomCommandLines(int rounds) {
    const wchar_t* fragments[] = {L"/silent", L"/folder=", L"/desktop=", L"/thumbs=", L"/group=", L"/allusers=",
                                  L"/assoc=", L"/assocallusers", L"/ini=", L"\"", L" ", L"/", L"=", L"1", L"2",
                                  L"-", L"\\", L"\xD83D\xDE00", L"\xD800", L"\xDC00", L"\u00e4"};
    // Options that end exactly at the working copy's edge.
    const std::wstring edge = std::wstring(509, L'e');
    std::mt19937 random(4711);
    for (int round = 0; round < rounds; ++round) {
        std::wstring line;
        size_t length = random() % (round % 100 == 0 ? 32768 : 700);
        while (line.size() < length) {
            if (random() % 3 == 0) {
                line += static_cast<wchar_t>(1 + random() % 0xFFFE);
            } else {
                line += fragments[random() % (sizeof(fragments) / sizeof(fragments[0]))];
            }
        }
        if (round % 7 == 0) line = edge + fragments[1 + random() % 8] + line;
        InstallOptions first = Parse(line);
        InstallOptions second = Parse(line);
        ASSERT_LT(wcsnlen(first.targetFolder, kTargetFolderChars), kOptionValueLimit);
        ASSERT_LT(wcsnlen(first.iniFolder, kIniFolderChars), kIniFolderChars);
        ASSERT_EQ(memcmp(&first, &second, sizeof(first)), 0) << "round " << round;
    }
}

TEST(SilentOptions, RandomCommandLinesStayWithinBounds) { CheckRandomCommandLines(2000); }

TEST(SilentOptions, DISABLED_HundredThousandRandomCommandLines) { CheckRandomCommandLines(100000); }
