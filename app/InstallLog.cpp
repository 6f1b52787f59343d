// Install log of silent runs.
#include "app/InstallLog.h"

#include <windows.h>

#include "app/Message.h"
#include "app/ResourceIds.h"
#include "app/SystemProbes.h"
#include "platform/Folders.h"
#include "platform/Scoped.h"
#include "platform/Text.h"

namespace {

const wchar_t kLogFileName[] = L"Lumidor_Install.log";
const wchar_t kVersionText[] = L"4.76";
const wchar_t kSeparator[] = L"------------------------------------------------\n";

// Collects the bytes of one entry and writes them in a few calls.
class CLatin1Writer {
public:
    explicit CLatin1Writer(HANDLE file) : file_(file) {}
    ~CLatin1Writer() { Flush(); }

    void Put(const wchar_t* text) {
        for (const wchar_t* p = text; *p != L'\0'; ++p) {
            wchar_t c = *p;
            if (c == L'\n') {
                PutByte('\r');
                PutByte('\n');
            } else if (c <= 0xFF) {
                PutByte(static_cast<char>(c));
            } else {
                // A surrogate pair is one character, so one question mark.
                if (IS_HIGH_SURROGATE(c) && IS_LOW_SURROGATE(p[1])) ++p;
                PutByte('?');
            }
        }
    }

private:
    void PutByte(char byte) {
        if (used_ == sizeof(buffer_)) Flush();
        buffer_[used_++] = byte;
    }
    void Flush() {
        DWORD written = 0;
        if (used_ > 0) WriteFile(file_, buffer_, used_, &written, nullptr);
        used_ = 0;
    }

    HANDLE file_;
    char buffer_[4096];  // an entry is one write, so that appenders never interleave
    DWORD used_ = 0;
};

// The log's full path. One that passes 259 characters takes the "\\?\" form,
// which has no such limit: a deep start folder must not lose the entry.
bool LogPath(const wchar_t* logFileName, const wchar_t* folder, wchar_t* path, size_t cchPath) {
    wchar_t current[kLongPathChars];
    if (!folder || folder[0] == L'\0') {
        DWORD length = GetCurrentDirectoryW(kLongPathChars, current);
        if (length == 0 || length >= kLongPathChars) return false;
        folder = current;
    }
    const wchar_t* separator = EndsWithBackslash(folder) ? L"" : L"\\";
    if (!FormatText(path, cchPath, L"%s%s%s", folder, separator, logFileName)) return false;
    if (wcslen(path) < kPathChars) return true;
    if (folder[0] != L'\\' || folder[1] != L'\\')
        return FormatText(path, cchPath, L"\\\\?\\%s%s%s", folder, separator, logFileName);
    if (folder[2] == L'?' || folder[2] == L'.') return true;  // a device path already
    return FormatText(path, cchPath, L"\\\\?\\UNC\\%s%s%s", folder + 2, separator, logFileName);
}

}  // namespace

void WriteInstallLog(const wchar_t* text, const wchar_t* folder) { WriteLogEntry(kLogFileName, text, folder); }

void WriteLogEntry(const wchar_t* logFileName, const wchar_t* text, const wchar_t* folder) {
    wchar_t path[kLongPathChars + 32];
    if (LogPath(logFileName, folder, path, ARRAYSIZE(path))) WriteLogFile(path, text);
}

void WriteLogFile(const wchar_t* path, const wchar_t* text) {
    // Shared for reading and writing, as an appending C runtime opens it: a
    // concurrent appender must not make the entry vanish.
    CScopedFile file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;

    // Date and time are taken from the same moment.
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t date[256];
    if (!GetDateFormatW(0x400, DATE_SHORTDATE, &now, nullptr, date, 256)) date[0] = L'\0';
    wchar_t time[16];
    FormatText(time, 16, L"%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);

    CLatin1Writer writer(file.get());
    writer.Put(date);
    writer.Put(L" - ");
    writer.Put(time);
    writer.Put(L": ");
    writer.Put(text);
    writer.Put(L"\n");
    writer.Put(kSeparator);
}

void WriteRunLog(const wchar_t* path, const wchar_t* folder, const wchar_t* message, int status) {
    wchar_t program[kPathChars];
    DWORD length = GetModuleFileNameW(nullptr, program, kPathChars);
    const wchar_t* name = length > 0 && length < kPathChars ? wcsrchr(program, L'\\') : nullptr;
    // The message as a line of its own, or nothing.
    size_t messageChars = message ? wcslen(message) : 0;
    CHeapBlock messageLine((messageChars + 2) * sizeof(wchar_t));
    const wchar_t* line = L"";
    if (messageChars && messageLine && FormatText(messageLine.as<wchar_t>(), messageChars + 2, L"%s\n", message))
        line = messageLine.as<wchar_t>();
    CMessage entry(IDS_RUN_LOG_ENTRY);
    const wchar_t* commandLine = GetCommandLineW();
    size_t chars = wcslen(entry.Text()) + wcslen(commandLine) + wcslen(line) + kPathChars * 2 + 64;
    CHeapBlock text(chars * sizeof(wchar_t));
    if (!text || !FormatText(text.as<wchar_t>(), chars, entry.Text(), name ? name + 1 : L"", kVersionText, commandLine,
                             folder ? folder : L"", CachedSystemVersionCode(), line, status))
        return;
    // A deployment names a log folder that need not exist yet.
    wchar_t parent[kPathChars];
    if (CopyText(parent, path) && CutLastLevel(parent)) EnsureFolder(parent);
    WriteLogFile(path, text.as<wchar_t>());
}
