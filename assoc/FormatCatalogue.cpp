// The format catalogue: 65 rows, 94 extensions, 76 classes.
#include "assoc/FormatCatalogue.h"

namespace {

// The catalogue as it is written, one line a row (tools/catalogue.py reads
// these lines). None of it is kept in this form: Pack() below turns it at
// compile time into small rows, one flat table of extensions and two blocks
// of text, a third of the room that 65 rows of pointers took, with no
// relocations. The label is checked here, not stored: the program builds it
// from the extensions.
struct ExtensionSource {
    const wchar_t* extension;
    const wchar_t* progIdBase;
};

struct RowSource {
    const wchar_t* label;
    const wchar_t* description;
    ExtensionSource extensions[kMaxRowExtensions];  // unused entries are null
    IconKind iconKind;
};

// Rows 0..50 are the image formats in the order of their labels, 51 and 52
// two others, 53..57 video and 58..64 audio formats.
constexpr RowSource kRows[kFormatRowCount] = {
    {L"ANI", L"Animated Windows Cursors *", {{L"ani", L"ani"}}, IconKind::File},  // 0
    {L"ARW/DNG/ERF/NEF/NRW/RWL", L"Digital Camera RAW Formats *", {{L"arw", L"arw"}, {L"dng", L"dng"}, {L"erf", L"erf"}, {L"nef", L"nef"}, {L"nrw", L"nrw"}, {L"rwl", L"rwl"}}, IconKind::Program},  // 1
    {L"AVIF", L"AV1 image file format *", {{L"avif", L"avif"}}, IconKind::Program},  // 2
    {L"B3D", L"BodyPaint 3D Format *", {{L"b3d", L"b3d"}}, IconKind::Program},  // 3
    {L"BMP/DIB", L"Windows Bitmap", {{L"bmp", L"bmp"}, {L"dib", L"bmp"}}, IconKind::Program},  // 4
    {L"CLP", L"Windows Clipboard *", {{L"clp", L"clp"}}, IconKind::Program},  // 5
    {L"CRW/CR2/CR3", L"Canon RAW Format *", {{L"crw", L"crw"}, {L"cr2", L"cr2"}, {L"cr3", L"cr3"}}, IconKind::Program},  // 6
    {L"CUR", L"Windows Cursor", {{L"cur", L"cur"}}, IconKind::File},  // 7
    {L"DCM/ACR/IMA", L"DICOM Format *", {{L"dcm", L"dcm"}, {L"acr", L"dcm"}, {L"ima", L"dcm"}}, IconKind::Program},  // 8
    {L"DCX", L"Multipage Zsoft Paintbrush", {{L"dcx", L"dcx"}}, IconKind::Program},  // 9
    {L"DDS", L"Direct Draw Surface *", {{L"dds", L"dds"}}, IconKind::Program},  // 10
    {L"DJVU/IW44", L"DjVu Format *", {{L"djvu", L"djvu"}, {L"iw44", L"djvu"}}, IconKind::Program},  // 11
    {L"DXF", L"Drawing Interchange Format *", {{L"dxf", L"dxf"}}, IconKind::Program},  // 12
    {L"ECW", L"Enhanced Compressed Wavelet *", {{L"ecw", L"ecw"}}, IconKind::Program},  // 13
    {L"EMF", L"Enhanced Windows Metafile", {{L"emf", L"emf"}}, IconKind::Program},  // 14
    {L"EPS/PS", L"PostScript Format *", {{L"eps", L"eps"}, {L"ps", L"eps"}}, IconKind::Program},  // 15
    {L"EXR", L"EXR Format *", {{L"exr", L"exr"}}, IconKind::Program},  // 16
    {L"G3", L"G3 FAX Format *", {{L"g3", L"g3"}}, IconKind::Program},  // 17
    {L"GIF", L"Compuserve GIF", {{L"gif", L"gif"}}, IconKind::Program},  // 18
    {L"HDP/JXR/WDP", L"JPEG-XR/HD-Photo Format *", {{L"hdp", L"hdp"}, {L"jxr", L"hdp"}, {L"wdp", L"hdp"}}, IconKind::Program},  // 19
    {L"HEIC", L"High Efficiency Image File Format *", {{L"heic", L"heic"}}, IconKind::Program},  // 20
    {L"ICO", L"Windows Icon", {{L"ico", L"ico"}}, IconKind::File},  // 21
    {L"IFF/LBM", L"Amiga Interchange File Format *", {{L"iff", L"iff"}, {L"lbm", L"iff"}}, IconKind::Program},  // 22
    {L"JLS", L"JPEG-LS Format *", {{L"jls", L"jls"}}, IconKind::Program},  // 23
    {L"JP2/JPC/J2K", L"JPEG2000 Format *", {{L"jp2", L"jp2"}, {L"jpc", L"jp2"}, {L"j2k", L"jp2"}}, IconKind::Program},  // 24
    {L"JPG/JPEG/JFIF/JPE", L"JPEG Format", {{L"jpg", L"jpg"}, {L"jpeg", L"jpg"}, {L"jfif", L"jpg"}, {L"jpe", L"jpg"}}, IconKind::Program},  // 25
    {L"JPM", L"JPM Format *", {{L"jpm", L"jpm"}}, IconKind::Program},  // 26
    {L"JXL", L"JPEG XL Format *", {{L"jxl", L"jxl"}}, IconKind::Program},  // 27
    {L"MNG/JNG", L"Multiple Network Graphics *", {{L"mng", L"mng"}, {L"jng", L"jng"}}, IconKind::Program},  // 28
    {L"PBM", L"Portable Bitmap", {{L"pbm", L"pbm"}}, IconKind::Program},  // 29
    {L"PCD", L"Kodak Photo CD", {{L"pcd", L"pcd"}}, IconKind::Program},  // 30
    {L"PCX", L"Zsoft Paintbrush", {{L"pcx", L"pcx"}}, IconKind::Program},  // 31
    {L"PGM", L"Portable Greymap", {{L"pgm", L"pgm"}}, IconKind::Program},  // 32
    {L"PNG", L"Portable Network Graphics", {{L"png", L"png"}}, IconKind::Program},  // 33
    {L"PPM", L"Portable Pixelmap", {{L"ppm", L"ppm"}}, IconKind::Program},  // 34
    {L"PSD", L"Adobe Photoshop Image", {{L"psd", L"psd"}}, IconKind::Program},  // 35
    {L"PSP", L"Paint Shop Pro Image *", {{L"psp", L"psp"}}, IconKind::Program},  // 36
    {L"QOI", L"Quite OK Image *", {{L"qoi", L"qoi"}}, IconKind::Program},  // 37
    {L"RAS/SUN", L"Sun Raster Format *", {{L"ras", L"ras"}, {L"sun", L"ras"}}, IconKind::Program},  // 38
    {L"RAW", L"RAW Image Data *", {{L"raw", L"raw"}}, IconKind::Program},  // 39
    {L"RLE", L"Utah RLE Format *", {{L"rle", L"rle"}}, IconKind::Program},  // 40
    {L"SFF", L"Structured Fax Format *", {{L"sff", L"sff"}}, IconKind::Program},  // 41
    {L"SGI/RGB", L"Silicon Graphics Image *", {{L"sgi", L"sgi"}, {L"rgb", L"sgi"}}, IconKind::Program},  // 42
    {L"SID", L"LizardTech MrSID Format *", {{L"sid", L"sid"}}, IconKind::Program},  // 43
    {L"TGA", L"Truevision Targa", {{L"tga", L"tga"}}, IconKind::Program},  // 44
    {L"TIF/TIFF", L"Tagged Image File Format", {{L"tif", L"tif"}, {L"tiff", L"tif"}}, IconKind::Program},  // 45
    {L"WBMP", L"WAP Bitmap *", {{L"wbmp", L"wbmp"}}, IconKind::Program},  // 46
    {L"WEBP", L"Weppy Format *", {{L"webp", L"webp"}}, IconKind::Program},  // 47
    {L"WMF", L"Windows Metafile", {{L"wmf", L"wmf"}}, IconKind::Program},  // 48
    {L"XBM", L"X-Bitmap *", {{L"xbm", L"xbm"}}, IconKind::Program},  // 49
    {L"XPM", L"X-Pixmap *", {{L"xpm", L"xpm"}}, IconKind::Program},  // 50
    {L"SWF/FLV", L"Macromedia Flash Format *", {{L"swf", L"swf"}, {L"flv", L"flv"}}, IconKind::Program},  // 51
    {L"TTF", L"True Type Font Format *", {{L"ttf", L"ttf"}}, IconKind::Program},  // 52
    {L"ASF", L"Advanced Systems Format *", {{L"asf", L"asf"}}, IconKind::Video},  // 53
    {L"AVI", L"Video for Windows *", {{L"avi", L"avi"}}, IconKind::Video},  // 54
    {L"MPG/MPE/MPEG", L"MPEG Movie *", {{L"mpg", L"mpg"}, {L"mpe", L"mpe"}, {L"mpeg", L"mpg"}}, IconKind::Video},  // 55
    {L"MOV", L"Apple QuickTime Movie *", {{L"mov", L"mov"}}, IconKind::Video},  // 56
    {L"WMV", L"Windows Media Video File *", {{L"wmv", L"wmv"}}, IconKind::Video},  // 57
    {L"AIF", L"Audio Interchange Format *", {{L"aif", L"aif"}}, IconKind::Audio},  // 58
    {L"MID/RMI", L"MIDI Sound Format *", {{L"mid", L"mid"}, {L"rmi", L"rmi"}}, IconKind::Audio},  // 59
    {L"MP3", L"MPEG Audio Format *", {{L"mp3", L"mp3"}}, IconKind::Audio},  // 60
    {L"OGG", L"Ogg Vorbis Audio Format *", {{L"ogg", L"ogg"}}, IconKind::Audio},  // 61
    {L"AU/SND", L"SUN Audio Format *", {{L"au", L"au"}, {L"snd", L"au"}}, IconKind::Audio},  // 62
    {L"WAV", L"Windows Audio Format *", {{L"wav", L"wav"}}, IconKind::Audio},  // 63
    {L"WMA", L"Windows Media Audio File *", {{L"wma", L"wma"}}, IconKind::Audio},  // 64
};

constexpr int Length(const wchar_t* text) {
    int length = 0;
    while (text[length]) ++length;
    return length;
}

constexpr bool SameText(const wchar_t* a, const wchar_t* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

constexpr int ExtensionCountOf(const RowSource& row) {
    int count = 0;
    while (count < kMaxRowExtensions && row.extensions[count].extension) ++count;
    return count;
}

struct Totals {
    int extensions = 0;
    int extensionChars = 0;    // each extension once, with its terminator
    int descriptionChars = 0;  // likewise
};

constexpr Totals CountTotals() {
    Totals totals;
    for (const RowSource& row : kRows) {
        for (int i = 0; i < ExtensionCountOf(row); ++i) {
            ++totals.extensions;
            totals.extensionChars += Length(row.extensions[i].extension) + 1;
        }
        totals.descriptionChars += Length(row.description) + 1;
    }
    return totals;
}

constexpr Totals kTotals = CountTotals();

// An extension and the extension whose class it shares, as offsets into the
// extension text.
struct ExtensionEntry {
    unsigned short extension;
    unsigned short progIdBase;
};

struct ExtensionTable {
    ExtensionEntry entries[kTotals.extensions] = {};
    wchar_t text[kTotals.extensionChars] = {};  // "ani\0arw\0dng\0..."
};

// The descriptions are plain ASCII, kept narrow and widened when read.
struct DescriptionText {
    char text[kTotals.descriptionChars] = {};
};

struct Packed {
    FormatCatalogue catalogue = {};
    ExtensionTable extensions;
    DescriptionText descriptions;
    // What the packed form relies on: each label is the row's extensions in
    // upper case joined by "/", each class base is an extension of its row,
    // extensions are lower-case letters and digits, descriptions ASCII, and
    // every text fits the buffers of FormatRow::Label and Description.
    bool consistent = true;
};

constexpr Packed Pack() {
    Packed packed;
    int entry = 0, extensionChar = 0, descriptionChar = 0;
    for (int r = 0; r < kFormatRowCount; ++r) {
        const RowSource& source = kRows[r];
        FormatRow& row = packed.catalogue.rows[r];
        row.firstExtension = static_cast<unsigned short>(entry);
        row.extensionCount = static_cast<unsigned char>(ExtensionCountOf(source));
        row.description = static_cast<unsigned short>(descriptionChar);
        row.iconKind = source.iconKind;

        const wchar_t* label = source.label;
        for (int i = 0; i < row.extensionCount; ++i) {
            packed.extensions.entries[entry + i].extension = static_cast<unsigned short>(extensionChar);
            if (i > 0 && *label++ != L'/') packed.consistent = false;
            for (const wchar_t* c = source.extensions[i].extension; *c; ++c) {
                bool lower = *c >= L'a' && *c <= L'z';
                if (!lower && !(*c >= L'0' && *c <= L'9')) packed.consistent = false;
                if (*label++ != (lower ? *c - L'a' + L'A' : *c)) packed.consistent = false;
                packed.extensions.text[extensionChar++] = *c;
            }
            ++extensionChar;
        }
        if (*label || Length(source.label) >= static_cast<int>(kFormatLabelChars)) packed.consistent = false;

        for (int i = 0; i < row.extensionCount; ++i) {
            int base = 0;
            while (base < row.extensionCount &&
                   !SameText(source.extensions[base].extension, source.extensions[i].progIdBase))
                ++base;
            if (base == row.extensionCount) packed.consistent = false;
            else packed.extensions.entries[entry + i].progIdBase = packed.extensions.entries[entry + base].extension;
        }
        entry += row.extensionCount;

        if (Length(source.description) >= static_cast<int>(kFormatDescriptionChars)) packed.consistent = false;
        for (const wchar_t* c = source.description; *c; ++c) {
            if (*c < 0x20 || *c > 0x7E) packed.consistent = false;
            packed.descriptions.text[descriptionChar++] = static_cast<char>(*c);
        }
        ++descriptionChar;
    }
    return packed;
}

constexpr Packed kPacked = Pack();
static_assert(kPacked.consistent, "a catalogue row breaks what the packed form relies on");

constexpr ExtensionTable kExtensions = kPacked.extensions;
constexpr DescriptionText kDescriptions = kPacked.descriptions;

}  // namespace

const FormatCatalogue kFormatCatalogue = kPacked.catalogue;

const wchar_t* FormatRow::Extension(int i) const {
    return kExtensions.text + kExtensions.entries[firstExtension + i].extension;
}

const wchar_t* FormatRow::ProgIdBase(int i) const {
    return kExtensions.text + kExtensions.entries[firstExtension + i].progIdBase;
}

void FormatRow::Label(wchar_t (&out)[kFormatLabelChars]) const {
    wchar_t* end = out;
    for (int i = 0; i < extensionCount; ++i) {
        if (i > 0) *end++ = L'/';
        for (const wchar_t* c = Extension(i); *c; ++c) *end++ = *c >= L'a' ? *c - L'a' + L'A' : *c;
    }
    *end = L'\0';
}

void FormatRow::Description(wchar_t (&out)[kFormatDescriptionChars]) const {
    const char* text = kDescriptions.text + description;
    int i = 0;
    do out[i] = static_cast<unsigned char>(text[i]);
    while (text[i++]);
}
