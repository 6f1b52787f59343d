// Bounded text helpers: truncation is reported and always terminated.
#include <gtest/gtest.h>

#include "platform/Text.h"

TEST(BoundedText, CopyAndAppendCutAndSaySo) {
    wchar_t small[6];
    EXPECT_TRUE(CopyText(small, L"abcde"));
    EXPECT_FALSE(CopyText(small, L"abcdef"));
    EXPECT_STREQ(small, L"abcde");
    CopyText(small, L"ab");
    EXPECT_TRUE(AppendText(small, L"cde"));
    EXPECT_FALSE(AppendText(small, L"f"));
    EXPECT_STREQ(small, L"abcde");
    // No terminator within the count: nothing is read or written past it.
    wchar_t full[3] = {L'x', L'y', L'z'};
    EXPECT_FALSE(AppendText(full, L"a"));
    EXPECT_EQ(TextLength(L"abc", 2), 2u);
}

TEST(BoundedText, FormatUsesWideStringsAndReportsTruncation) {
    wchar_t out[12];
    EXPECT_TRUE(FormatText(out, 12, L"%slumi%s", L"C:\\", L".exe"));
    EXPECT_STREQ(out, L"C:\\lumi.exe");
    EXPECT_FALSE(FormatText(out, 12, L"%s: %s", L"message", L"folder"));
    EXPECT_EQ(out[11], L'\0');
    EXPECT_TRUE(FormatText(out, 12, L"%d%%", 50));
    EXPECT_STREQ(out, L"50%");
}
