// The format catalogue's shape: counts, labels, shared classes, icon kinds.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "assoc/FormatCatalogue.h"

TEST(FormatCatalogue, Holds65Rows94Extensions76Classes) {
    int extensions = 0;
    std::set<std::wstring> bases;
    for (const FormatRow& row : kFormatCatalogue) {
        ASSERT_GE(row.ExtensionCount(), 1) << row.label;
        extensions += row.ExtensionCount();
        for (int i = 0; i < row.ExtensionCount(); ++i) bases.insert(row.extensions[i].progIdBase);
    }
    EXPECT_EQ(extensions, 94);
    EXPECT_EQ(bases.size(), 76u);
}

TEST(FormatCatalogue, LabelsNameTheExtensionsInUpperCase) {
    for (const FormatRow& row : kFormatCatalogue) {
        std::wstring label;
        for (int i = 0; i < row.ExtensionCount(); ++i) {
            if (i) label += L"/";
            for (const wchar_t* c = row.extensions[i].extension; *c; ++c) label += static_cast<wchar_t>(towupper(*c));
        }
        EXPECT_EQ(label, row.label);
    }
}

TEST(FormatCatalogue, ImageRowsComeFirstInLabelOrder) {
    for (int row = 1; row < kImagesOnlyRowCount; ++row) {
        EXPECT_LT(wcscmp(kFormatCatalogue[row - 1].label, kFormatCatalogue[row].label), 0) << row;
    }
    EXPECT_STREQ(kFormatCatalogue[5].label, L"CLP");
    EXPECT_STREQ(kFormatCatalogue[17].label, L"G3");
    EXPECT_STREQ(kFormatCatalogue[50].label, L"XPM");
    EXPECT_STREQ(kFormatCatalogue[51].label, L"SWF/FLV");
    EXPECT_STREQ(kFormatCatalogue[52].label, L"TTF");
}

TEST(FormatCatalogue, SharedClassesAndIconKinds) {
    const FormatRow& jpeg = kFormatCatalogue[25];
    ASSERT_EQ(jpeg.ExtensionCount(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_STREQ(jpeg.extensions[i].progIdBase, L"jpg");
    const FormatRow& mng = kFormatCatalogue[28];
    EXPECT_STREQ(mng.extensions[1].progIdBase, L"jng");
    const FormatRow& mpeg = kFormatCatalogue[55];
    EXPECT_STREQ(mpeg.extensions[1].progIdBase, L"mpe");
    EXPECT_STREQ(mpeg.extensions[2].progIdBase, L"mpg");

    for (int row = 0; row < kFormatRowCount; ++row) {
        IconKind expected = row >= 58   ? IconKind::Audio
                            : row >= 53 ? IconKind::Video
                            : (row == 0 || row == 7 || row == 21) ? IconKind::File
                                                                   : IconKind::Program;
        EXPECT_EQ(kFormatCatalogue[row].iconKind, expected) << row;
    }
}
