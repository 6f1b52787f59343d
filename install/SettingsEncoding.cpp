// The encodings a settings file may arrive in.
#include "install/SettingsEncoding.h"

#include <windows.h>

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The bytes the mark of that encoding takes.
size_t MarkBytes(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be: return 2;
    case TextEncoding::Utf8WithMark: return 3;
    default: return 0;
    }
}

}  // namespace

bool IsValidUtf8(const unsigned char* bytes, size_t size) {
    for (size_t i = 0; i < size;) {
        unsigned char lead = bytes[i];
        size_t length;
        unsigned long lowest;
        unsigned long code;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, lowest = 0x80, code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, lowest = 0x800, code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, lowest = 0x10000, code = lead & 0x07;
        } else {
            return false;
        }
        if (size - i < length) return false;
        for (size_t k = 1; k < length; ++k) {
            if (!IsContinuation(bytes[i + k])) return false;
            code = (code << 6) | (bytes[i + k] & 0x3F);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

TextEncoding DetectTextEncoding(const unsigned char* bytes, size_t size) {
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return TextEncoding::Utf16Le;
    if (size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return TextEncoding::Utf16Be;
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) return TextEncoding::Utf8WithMark;
    bool nonAscii = false;
    for (size_t i = 0; i < size && !nonAscii; ++i) nonAscii = bytes[i] > 0x7F;
    return nonAscii && IsValidUtf8(bytes, size) ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

size_t DecodeText(const unsigned char* bytes, size_t size, TextEncoding encoding, wchar_t* out, size_t cchOut) {
    size_t mark = MarkBytes(encoding);
    if (size <= mark) return 0;
    bytes += mark;
    size -= mark;
    if (encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be) {
        size_t units = size / 2;  // an odd last byte is no character
        if (!out) return units;
        if (units > cchOut) return 0;
        bool bigEndian = encoding == TextEncoding::Utf16Be;
        for (size_t i = 0; i < units; ++i) {
            unsigned char first = bytes[2 * i], second = bytes[2 * i + 1];
            out[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
        }
        return units;
    }
    if (size > 0x7FFFFFFF || cchOut > 0x7FFFFFFF) return 0;
    UINT codePage = encoding == TextEncoding::Ansi ? CP_ACP : CP_UTF8;
    // The whole text in one conversion, so that no character is split and a
    // stray NUL byte does not cut what follows.
    int units = MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(size), out,
                                    out ? static_cast<int>(cchOut) : 0);
    return units > 0 ? static_cast<size_t>(units) : 0;
}
