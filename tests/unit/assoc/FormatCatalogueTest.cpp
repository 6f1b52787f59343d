// The format catalogue's shape: counts, labels, descriptions, shared classes, icon kinds.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "assoc/FormatCatalogue.h"

namespace {

std::wstring LabelOf(int row) {
    wchar_t label[kFormatLabelChars];
    kFormatCatalogue[row].Label(label);
    return label;
}

std::wstring DescriptionOf(int row) {
    wchar_t description[kFormatDescriptionChars];
    kFormatCatalogue[row].Description(description);
    return description;
}

}  // namespace

TEST(FormatCatalogue, Holds65Rows94Extensions76Classes) {
    int extensions = 0;
    std::set<std::wstring> bases;
    for (const FormatRow& row : kFormatCatalogue) {
        ASSERT_GE(row.ExtensionCount(), 1);
        extensions += row.ExtensionCount();
        for (int i = 0; i < row.ExtensionCount(); ++i) bases.insert(row.ProgIdBase(i));
    }
    EXPECT_EQ(extensions, 94);
    EXPECT_EQ(bases.size(), 76u);
}

// The packed text: labels built from the extensions, descriptions widened,
// the longest of each whole in its buffer.
TEST(FormatCatalogue, LabelsAndDescriptions) {
    for (int row = 0; row < kFormatRowCount; ++row) {
        std::wstring label;
        for (int i = 0; i < kFormatCatalogue[row].ExtensionCount(); ++i) {
            if (i) label += L"/";
            for (const wchar_t* c = kFormatCatalogue[row].Extension(i); *c; ++c)
                label += static_cast<wchar_t>(towupper(*c));
        }
        EXPECT_EQ(LabelOf(row), label) << row;
        if (row > 0 && row < kImagesOnlyRowCount) {
            EXPECT_LT(LabelOf(row - 1), LabelOf(row)) << row;
        }
    }
    EXPECT_EQ(LabelOf(1), L"ARW/DNG/ERF/NEF/NRW/RWL");
    EXPECT_EQ(LabelOf(17), L"G3");
    EXPECT_EQ(LabelOf(51), L"SWF/FLV");
    EXPECT_EQ(LabelOf(52), L"TTF");
    EXPECT_EQ(DescriptionOf(0), L"Animated Windows Cursors *");
    EXPECT_EQ(DescriptionOf(20), L"High Efficiency Image File Format *");
    EXPECT_EQ(DescriptionOf(25), L"JPEG Format");
    EXPECT_EQ(DescriptionOf(64), L"Windows Media Audio File *");
}

TEST(FormatCatalogue, SharedClassesAndIconKinds) {
    const FormatRow& jpeg = kFormatCatalogue[25];
    ASSERT_EQ(jpeg.ExtensionCount(), 4);
    EXPECT_STREQ(jpeg.Extension(3), L"jpe");
    for (int i = 0; i < 4; ++i) EXPECT_STREQ(jpeg.ProgIdBase(i), L"jpg");
    const FormatRow& mng = kFormatCatalogue[28];
    EXPECT_STREQ(mng.ProgIdBase(1), L"jng");
    const FormatRow& mpeg = kFormatCatalogue[55];
    EXPECT_STREQ(mpeg.ProgIdBase(1), L"mpe");
    EXPECT_STREQ(mpeg.ProgIdBase(2), L"mpg");

    for (int row = 0; row < kFormatRowCount; ++row) {
        IconKind expected = row >= 58   ? IconKind::Audio
                            : row >= 53 ? IconKind::Video
                            : (row == 0 || row == 7 || row == 21) ? IconKind::File
                                                                   : IconKind::Program;
        EXPECT_EQ(kFormatCatalogue[row].iconKind, expected) << row;
    }
}
