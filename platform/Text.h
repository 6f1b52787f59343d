// Bounded wide-text helpers: every buffer travels with its capacity, and
// truncation is reported, never silent overrun.
#pragma once

#include <stddef.h>
#include <wchar.h>

// Paths, registry strings and command texts: 259 characters and the terminator.
constexpr size_t kPathChars = 260;
// Working copies that must hold a path and more (a long final path, a log path).
constexpr size_t kLongPathChars = 520;

// Copies as much of source as fits and always terminates; false when cut.
bool CopyText(wchar_t* out, size_t cchOut, const wchar_t* source);

// Appends as much as fits; false when cut.
bool AppendText(wchar_t* out, size_t cchOut, const wchar_t* source);

// printf-style formatting into a fixed buffer; always terminates, false when cut.
bool FormatText(wchar_t* out, size_t cchOut, const wchar_t* format, ...);

bool EndsWithBackslash(const wchar_t* text);

// The length of text, counting no further than cchMax: wcsnlen, which XP's
// msvcrt.dll lacks and MinGW's library would bring with its unwind tables.
size_t TextLength(const wchar_t* text, size_t cchMax);

template <size_t N>
inline bool CopyText(wchar_t (&out)[N], const wchar_t* source) { return CopyText(out, N, source); }
template <size_t N>
inline bool AppendText(wchar_t (&out)[N], const wchar_t* source) { return AppendText(out, N, source); }
