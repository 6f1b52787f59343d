// The fixed catalogue of formats the viewer can be associated with. Rows are
// used by index everywhere: list line, selection flag and association pass.
#pragma once

#include <stddef.h>

#include "app/InstallOptions.h"

enum class IconKind : unsigned char {
    Program,  // the viewer's icon 0
    File,     // the file is its own icon ("%1")
    Video,    // the viewer's icon 12
    Audio,    // the viewer's icon 11
};

constexpr int kMaxRowExtensions = 6;
// The longest label, "ARW/DNG/ERF/NEF/NRW/RWL", and the longest description,
// each with its terminator (checked where the catalogue is packed).
constexpr size_t kFormatLabelChars = 24;
constexpr size_t kFormatDescriptionChars = 36;

// A row names its extensions by their place in one flat table and its
// description by its place in one block of text (FormatCatalogue.cpp).
struct FormatRow {
    unsigned short firstExtension;
    unsigned short description;
    unsigned char extensionCount;
    IconKind iconKind;

    int ExtensionCount() const { return extensionCount; }
    // Lower case, no dot: "jpeg".
    const wchar_t* Extension(int i) const;
    // The extension whose class it shares: "jpg" for "jpeg".
    const wchar_t* ProgIdBase(int i) const;
    // The extensions in upper case: "JPG/JPEG/JFIF/JPE".
    void Label(wchar_t (&out)[kFormatLabelChars]) const;
    // Ends in " *" for formats read through a plug-in.
    void Description(wchar_t (&out)[kFormatDescriptionChars]) const;
};

constexpr int kFormatRowCount = 65;
static_assert(kFormatRowCount + 1 == kAssociationSlotCount, "one selection slot more than rows");

// The rows, walked with a range-for or taken by index.
struct FormatCatalogue {
    FormatRow rows[kFormatRowCount];

    const FormatRow& operator[](int row) const { return rows[row]; }
    const FormatRow* begin() const { return rows; }
    const FormatRow* end() const { return rows + kFormatRowCount; }
};

extern const FormatCatalogue kFormatCatalogue;
