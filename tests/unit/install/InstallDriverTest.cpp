// The install driver's checks and failure reports (the test runner carries no
// payload, so an installation that gets past the folder checks fails to unpack).
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "app/CommandLine.h"
#include "install/InstallDriver.h"
#include "wizard/resource.h"

namespace {

const std::string kSeparator = std::string(48, '-') + "\r\n";

class SilentFailure : public testing::Test {
protected:
    CTempFolder start;
    CCurrentDirectory inStart{start.path()};

    int Install(const std::wstring& folder, int* messageId) {
        InstallOptions options{};
        ResetInstallOptions(options);
        wcsncpy(options.targetFolder, folder.c_str(), kTargetFolderChars - 1);
        InstallOutcome outcome;
        int installed = PerformInstallation(options, &outcome);
        *messageId = outcome.failureMessageId;
        return installed;
    }
    // The one log line's text, after date and time.
    std::string LogText() {
        std::string log = ReadFileBytes(start / L"Lumidor_Install.log");
        size_t text = log.find(": ", log.find(" - ") + 3);
        if (text == std::string::npos || log.size() < kSeparator.size()) return "<no entry: " + log + ">";
        EXPECT_EQ(log.substr(log.size() - kSeparator.size()), kSeparator);
        return log.substr(text + 2, log.size() - kSeparator.size() - text - 4);
    }
};

}  // namespace

TEST(TargetFolder, MustBeFullyQualified) {
    EXPECT_TRUE(IsFullyQualifiedFolder(L"C:\\Lumidor"));
    EXPECT_TRUE(IsFullyQualifiedFolder(L"d:\\"));
    EXPECT_TRUE(IsFullyQualifiedFolder(L"\\\\server\\share"));
    EXPECT_TRUE(IsFullyQualifiedFolder(L"\\\\server\\share\\Lumidor"));
    EXPECT_FALSE(IsFullyQualifiedFolder(L"C:Lumidor"));
    EXPECT_FALSE(IsFullyQualifiedFolder(L"Lumidor"));
    EXPECT_FALSE(IsFullyQualifiedFolder(L"\\Lumidor"));
    EXPECT_FALSE(IsFullyQualifiedFolder(L"\\\\server"));
    EXPECT_FALSE(IsFullyQualifiedFolder(L"\\\\server\\"));
    EXPECT_FALSE(IsFullyQualifiedFolder(L"\\\\?\\C:\\Lumidor"));
    EXPECT_FALSE(IsFullyQualifiedFolder(L"\\\\.\\C:\\Lumidor"));
    EXPECT_FALSE(IsFullyQualifiedFolder(L"1:\\Lumidor"));
}

TEST(TargetFolder, EveryInstalledPathMustStayWithin259Characters) {
    // "Plugins\Icons.dll" is the longest name the installation appends itself.
    std::wstring fits = L"C:\\" + std::wstring(238, L'a');    // 241 + "\" + 17 = 259
    std::wstring tooLong = L"C:\\" + std::wstring(239, L'a');  // 260
    EXPECT_TRUE(FolderFitsInstallation(fits.c_str(), 0));
    EXPECT_FALSE(FolderFitsInstallation(tooLong.c_str(), 0));
    EXPECT_TRUE(FolderFitsInstallation((fits + L"\\").c_str(), 0));
    // A longer archive entry sets the limit.
    EXPECT_FALSE(FolderFitsInstallation(fits.c_str(), 18));
    EXPECT_TRUE(FolderFitsInstallation(L"C:\\Lumidor", 248));
    EXPECT_FALSE(FolderFitsInstallation(L"C:\\Lumidor", 249));
}

TEST_F(SilentFailure, AnEmptyFolderLogsMessage5AndNothingAfterIt) {
    int messageId = -1;
    EXPECT_EQ(Install(L"", &messageId), 0);
    EXPECT_EQ(messageId, IDS_INVALID_FOLDER);
    EXPECT_EQ(LogText(), "Ung\xfcltiges Zielverzeichnis!: ");
}

TEST_F(SilentFailure, ARelativeFolderIsInvalidToo) {
    int messageId = -1;
    EXPECT_EQ(Install(L"  Lumidor\\Programm ", &messageId), 0);
    EXPECT_EQ(messageId, IDS_INVALID_FOLDER);
    EXPECT_EQ(LogText(), "Ung\xfcltiges Zielverzeichnis!: Lumidor\\Programm");
    EXPECT_FALSE(FolderExists(start / L"Lumidor"));
}

TEST_F(SilentFailure, AMissingDriveLogsMessage11WithTheNormalisedFolder) {
    int messageId = -1;
    EXPECT_EQ(Install(L"R:\\Lumidor ", &messageId), 0);
    EXPECT_EQ(messageId, IDS_CANNOT_CREATE_FOLDER);
    std::string text = LogText();
    EXPECT_EQ(text.substr(0, 37), "Kann Zielverzeichnis nicht erstellen!");
    EXPECT_NE(text.find(".: R:\\Lumidor\\"), std::string::npos) << text;
}

TEST_F(SilentFailure, AFolderTooLongForItsFilesIsRefusedBeforeAnythingIsMade) {
    int messageId = -1;
    std::wstring folder = start.path() + std::wstring(250 - start.path().size(), L'x');
    EXPECT_EQ(Install(folder, &messageId), 0);
    EXPECT_EQ(messageId, IDS_CANNOT_CREATE_FOLDER);
    EXPECT_FALSE(FolderExists(folder));
}

TEST_F(SilentFailure, AFailedUnpackingLogsTheFolderFirstInTheStartFolder) {
    int messageId = -1;
    std::wstring folder = start.path() + L"Ziel";
    EXPECT_EQ(Install(folder, &messageId), 0);
    EXPECT_EQ(messageId, IDS_INSTALL_FAILED);
    std::string text = LogText();
    std::string expectedStart;
    for (wchar_t c : folder + L"\\: Fehler beim Installieren!\r\n") expectedStart += static_cast<char>(c);
    EXPECT_EQ(text.substr(0, expectedStart.size()), expectedStart);
    EXPECT_TRUE(FolderExists(folder + L"\\Plugins"));
}
