// The encodings a settings file may arrive in, and their decoding into
// UTF-16. The viewer reads UTF-16LE with a byte-order mark, or ANSI.
#pragma once

#include <stddef.h>

enum class TextEncoding { Utf16Le, Utf16Be, Utf8WithMark, Utf8, Ansi };

// A byte-order mark decides (FF FE, FE FF, EF BB BF). Without one, text that
// is valid UTF-8 and holds a byte above 0x7F is UTF-8; anything else is ANSI.
TextEncoding DetectTextEncoding(const unsigned char* bytes, size_t size);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const unsigned char* bytes, size_t size);

// Decodes the text after its mark into out (cchOut units); with out null,
// only counts. Returns the units, 0 for no text or a failed conversion.
size_t DecodeText(const unsigned char* bytes, size_t size, TextEncoding encoding, wchar_t* out, size_t cchOut);
