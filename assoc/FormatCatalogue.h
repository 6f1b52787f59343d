// The fixed catalogue of formats the viewer can be associated with. Rows are
// used by index everywhere: list line, selection flag and association pass.
#pragma once

#include "app/InstallOptions.h"

enum class IconKind {
    Program,  // the viewer's icon 0
    File,     // the file is its own icon ("%1")
    Video,    // the viewer's icon 12
    Audio,    // the viewer's icon 11
};

struct FormatExtension {
    const wchar_t* extension;   // lower case, no dot
    const wchar_t* progIdBase;  // the extension whose class it shares
};

constexpr int kMaxRowExtensions = 6;

struct FormatRow {
    const wchar_t* label;        // the extensions in upper case, "JPG/JPEG/JFIF/JPE"
    const wchar_t* description;  // ends in " *" for formats read through a plug-in
    FormatExtension extensions[kMaxRowExtensions];  // unused entries are null
    IconKind iconKind;

    int ExtensionCount() const {
        int count = 0;
        while (count < kMaxRowExtensions && extensions[count].extension) ++count;
        return count;
    }
};

constexpr int kFormatRowCount = 65;
static_assert(kFormatRowCount + 1 == kAssociationSlotCount, "one selection slot more than rows");

extern const FormatRow kFormatCatalogue[kFormatRowCount];
