// Install log: appended entries, ISO 8859-1 bytes, CR LF, the separator.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "TestSupport.h"
#include "app/InstallLog.h"

namespace {

const std::string kSeparator = std::string(48, '-') + "\r\n";

// The date as the log writes it: the user's short date format.
std::string Today() {
    wchar_t date[256];
    GetDateFormatW(0x400, DATE_SHORTDATE, nullptr, nullptr, date, 256);
    std::string bytes;
    for (const wchar_t* p = date; *p; ++p) bytes += *p <= 0xFF ? static_cast<char>(*p) : '?';
    return bytes;
}

class InstallLog : public testing::Test {
protected:
    CTempFolder folder;
    CCurrentDirectory inFolder{folder.path()};
    std::string Log() { return ReadFileBytes(folder / L"Lumidor_Install.log"); }
};

}  // namespace

TEST_F(InstallLog, TheRunningViewerEntrySpansTwoLines) {
    WriteInstallLog(L"Warnung: Lumidor l\u00e4uft!\nBeenden Sie bitte Lumidor bevor Sie mit der Installation fortsetzen!");
    std::string log = Log();
    std::string prefix = Today() + " - ";
    ASSERT_EQ(log.compare(0, prefix.size(), prefix), 0) << log;
    std::string rest = log.substr(prefix.size());
    EXPECT_TRUE(std::regex_match(rest.substr(0, 10), std::regex("[0-2][0-9]:[0-5][0-9]:[0-5][0-9]: "))) << rest;
    EXPECT_EQ(rest.substr(10),
              "Warnung: Lumidor l\xe4uft!\r\nBeenden Sie bitte Lumidor bevor Sie mit der Installation fortsetzen!\r\n" +
                  kSeparator);
}

TEST_F(InstallLog, EntriesAccumulateOldestFirst) {
    WriteInstallLog(L"erste");
    WriteInstallLog(L"zweite");
    std::string log = Log();
    size_t first = log.find(": erste\r\n" + kSeparator);
    size_t second = log.find(": zweite\r\n" + kSeparator);
    ASSERT_NE(first, std::string::npos) << log;
    ASSERT_NE(second, std::string::npos) << log;
    EXPECT_LT(first, second);
    EXPECT_EQ(log.size(), second + std::string(": zweite\r\n").size() + kSeparator.size());
}

TEST_F(InstallLog, CharactersOutsideLatin1BecomeOneQuestionMarkEach) {
    WriteInstallLog(L"C:\\\u65e5\u672c\\\U0001F600\\\xD800\\\u00fc\u00df");
    std::string log = Log();
    EXPECT_NE(log.find(": C:\\??\\?\\?\\\xfc\xdf\r\n"), std::string::npos) << log;
}

TEST_F(InstallLog, AnEmptyFolderLeavesNothingAfterTheColon) {
    WriteInstallLog(L"Ung\u00fcltiges Zielverzeichnis!: ");
    EXPECT_NE(Log().find(": Ung\xfcltiges Zielverzeichnis!: \r\n" + kSeparator), std::string::npos);
}

TEST_F(InstallLog, ALockedLogLosesTheEntryQuietly) {
    HANDLE locked = CreateFileW((folder / L"Lumidor_Install.log").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    WriteInstallLog(L"verloren");
    CloseHandle(locked);
    EXPECT_EQ(Log(), "");
}

TEST_F(InstallLog, AConcurrentAppenderDoesNotMakeTheEntryVanish) {
    // Another appender as a C runtime opens the file: shared for both.
    HANDLE other = CreateFileW((folder / L"Lumidor_Install.log").c_str(), FILE_APPEND_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(other, "fremd\r\n", 7, &written, nullptr);
    WriteInstallLog(L"bleibt");
    WriteFile(other, "noch\r\n", 6, &written, nullptr);
    CloseHandle(other);
    std::string log = Log();
    EXPECT_EQ(log.find("fremd\r\n"), 0u) << log;
    EXPECT_NE(log.find(": bleibt\r\n" + kSeparator + "noch\r\n"), std::string::npos) << log;
}

TEST(InstallLogFolder, AFolderWhosePathPassesTheLimitStillGetsTheEntry) {
    CTempFolder temp;
    // Folder and log name together pass 259 characters; the folder itself fits.
    std::wstring deep = temp.path();
    while (deep.size() < 250) {
        deep += std::wstring(deep.size() < 200 ? 40 : 250 - deep.size(), L'd') + L"\\";
        CreateDirectoryW(deep.c_str(), nullptr);
    }
    ASSERT_LT(deep.size(), 260u);
    ASSERT_GT(deep.size() + wcslen(L"Lumidor_Install.log"), 259u);
    WriteInstallLog(L"tief", deep.c_str());
    EXPECT_NE(ReadFileBytes(L"\\\\?\\" + deep + L"Lumidor_Install.log").find(": tief\r\n"), std::string::npos);
    DeleteFileW((L"\\\\?\\" + deep + L"Lumidor_Install.log").c_str());
}
