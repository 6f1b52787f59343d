// Silent-mode option parser: fills InstallOptions from the process command line.
#pragma once

#include "app/InstallOptions.h"

// Only this much of the command line is looked at for options.
constexpr size_t kCommandLineWorkChars = 520;
// A value ends at the latest this many characters after its option's start.
constexpr int kOptionValueLimit = 260;

// Copies the value that follows an option (at optionStart, optionLength
// characters long) into value[kOptionValueLimit]: up to the first "/", the end
// of the text, or index kOptionValueLimit counted from the option's start.
// Returns the index at which copying stopped.
int CutOptionValue(const wchar_t* optionStart, int optionLength, int limit,
                   wchar_t (&value)[kOptionValueLimit]);

// Removes trailing blanks, one closing and one opening quote, then trailing
// blanks again, in place.
void NormaliseFolderValue(wchar_t* value);

// Reads a signed decimal integer the way the C library does, saturating at
// the 32-bit limits instead of wrapping.
int ReadOptionNumber(const wchar_t* value);

// Step 1 of the parse: everything off, caption set, both folders empty.
void ResetInstallOptions(InstallOptions& options);

// Applies the options found in the command line to a record whose defaults
// are already in place (no system access).
void ApplyCommandLineOptions(const wchar_t* commandLine, InstallOptions& options);

// The whole silent parse: defaults, the earlier installation's or the default
// folder, then the options. Leaves silent = 1.
void FillSilentOptions(const wchar_t* commandLine, InstallOptions& options);

// The log an administrator names with "/log=PATH" (either program): found and
// ended as "/folder=" is, quotes and trailing blanks removed, environment
// variables expanded, in path[kPathChars]. False when there is none.
bool FindLogOption(const wchar_t* commandLine, wchar_t* path);

// The arguments after the program's own name, quoted or not, as WinMain gets them.
const wchar_t* ArgumentsOf(const wchar_t* commandLine);
