// Install log of silent runs: "Lumidor_Install.log" in the current directory.
#pragma once

// Appends one entry (date, time, text, then the separator line). The text is
// written one byte per character in ISO 8859-1, "?" for anything else, with
// CR LF for every line feed. Any failure loses the entry silently.
// The log lies in folder when one is given, else in the current directory.
void WriteInstallLog(const wchar_t* text, const wchar_t* folder = nullptr);

// The same entry in another log file of that folder ("Lumidor_Uninstall.log").
void WriteLogEntry(const wchar_t* logFileName, const wchar_t* text, const wchar_t* folder = nullptr);

// The same entry in the file of that full path.
void WriteLogFile(const wchar_t* path, const wchar_t* text);

// The entry of a log named with "/log=", for every silent run, success
// included: the program and its version, the whole command line, the
// installation folder, the Windows version code, the run's message (null
// when it went as it should: it names each file not replaced or item left)
// and the exit status. A log that cannot be written changes nothing.
void WriteRunLog(const wchar_t* path, const wchar_t* folder, const wchar_t* message, int status);
