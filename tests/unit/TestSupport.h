// Helpers shared by the unit tests: scratch folders, the current directory,
// file contents, and the built setup program.
#pragma once

#include <windows.h>

#include <string>

// A fresh folder under the temporary folder, removed with everything in it.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    // Ends in a backslash.
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// Makes a folder the current directory and restores the previous one.
class CCurrentDirectory {
public:
    explicit CCurrentDirectory(const std::wstring& folder);
    ~CCurrentDirectory();

private:
    wchar_t previous_[MAX_PATH];
};

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FolderExists(const std::wstring& path);
std::wstring CurrentDirectory();

// A key of a settings file through the profile functions; "<none>" when absent.
std::wstring ProfileValue(const std::wstring& file, const wchar_t* section, const wchar_t* key);

// The built setup program (environment LUMIDOR_SETUP_EXE, a Windows path).
std::wstring SetupProgramPath();
