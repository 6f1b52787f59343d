// System probes: the version code, the earlier installation, the default folder.
#include <gtest/gtest.h>

#include <string>

#include "app/CommandLine.h"
#include "app/SystemProbes.h"

namespace {

const wchar_t kOpenCommandKey[] = L"SOFTWARE\\Classes\\Lumidor\\shell\\open\\command";
const wchar_t kCurrentVersionKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion";

std::wstring FolderFromCommand(const wchar_t* command) {
    wchar_t out[260] = L"x";
    return InstallFolderFromOpenCommand(command, out, 260) ? out : L"<none:" + std::wstring(out) + L">";
}

// Registers (or removes) the viewer's open command for one test.
class RegisteredViewer : public testing::Test {
protected:
    void TearDown() override {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kOpenCommandKey);
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Lumidor\\shell\\open");
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Lumidor\\shell");
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Lumidor");
    }
    void Register(const std::wstring& command, DWORD type = REG_SZ) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyW(HKEY_LOCAL_MACHINE, kOpenCommandKey, &key), ERROR_SUCCESS);
        RegSetValueExW(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * 2));
        RegCloseKey(key);
    }
    std::wstring Previous() {
        wchar_t out[260] = L"x";
        return FindPreviousInstallFolder(out, 260) ? out : L"<none:" + std::wstring(out) + L">";
    }
};

// Changes ProgramFilesDir for one test and puts it back.
class ProgramFilesDir : public testing::Test {
protected:
    void SetUp() override {
        HKEY key;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
        DWORD size = sizeof(saved_);
        had_ = RegQueryValueExW(key, L"ProgramFilesDir", nullptr, nullptr, reinterpret_cast<BYTE*>(saved_), &size) ==
               ERROR_SUCCESS;
        RegCloseKey(key);
    }
    void TearDown() override {
        if (had_) Set(saved_);
    }
    void Set(const std::wstring& value) {
        HKEY key;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
        RegSetValueExW(key, L"ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * 2));
        RegCloseKey(key);
    }
    std::wstring Default() {
        wchar_t out[260];
        EXPECT_EQ(GetDefaultInstallFolder(out, 260), 1);
        return out;
    }
    wchar_t saved_[1024] = L"";
    bool had_ = false;
};

}  // namespace

TEST(VersionCode, MapsEveryWindowsFromXpTo11) {
    EXPECT_EQ(VersionCodeFrom(10, 0, 22000, L""), 11);
    EXPECT_EQ(VersionCodeFrom(10, 0, 26100, L""), 11);
    EXPECT_EQ(VersionCodeFrom(10, 0, 21999, L""), 10);
    EXPECT_EQ(VersionCodeFrom(10, 0, 19045, L""), 10);
    EXPECT_EQ(VersionCodeFrom(6, 3, 9600, L""), 8);
    EXPECT_EQ(VersionCodeFrom(6, 2, 9200, L""), 8);
    EXPECT_EQ(VersionCodeFrom(6, 1, 7601, L"Service Pack 1"), 7);
    EXPECT_EQ(VersionCodeFrom(6, 0, 6002, L"Service Pack 2"), 6);
    EXPECT_EQ(VersionCodeFrom(9, 1, 0, L""), 7);
    EXPECT_EQ(VersionCodeFrom(5, 1, 2600, L"Service Pack 3"), 5);
    EXPECT_EQ(VersionCodeFrom(5, 1, 2600, L"Service Pack 2"), 1);
    EXPECT_EQ(VersionCodeFrom(5, 1, 2600, L"service pack 3"), 1);
    EXPECT_EQ(VersionCodeFrom(5, 2, 3790, L"Service Pack 2"), 1);
    EXPECT_EQ(VersionCodeFrom(5, 0, 2195, L"Service Pack 4"), 0);
    EXPECT_EQ(VersionCodeFrom(4, 0, 1381, L"Service Pack 6"), 0);
}

TEST(VersionCode, VistaOrLaterNeedsTheNtFamily) {
    EXPECT_EQ(IsVistaOrLaterFrom(VER_PLATFORM_WIN32_NT, 6), 1);
    EXPECT_EQ(IsVistaOrLaterFrom(VER_PLATFORM_WIN32_NT, 10), 1);
    EXPECT_EQ(IsVistaOrLaterFrom(VER_PLATFORM_WIN32_NT, 5), 0);
    EXPECT_EQ(IsVistaOrLaterFrom(VER_PLATFORM_WIN32_WINDOWS, 6), 0);
}

TEST(OpenCommand, GivesTheExecutablesFolder) {
    EXPECT_EQ(FolderFromCommand(L"\"D:\\Apps\\Lumidor\\lumi32.exe\" \"%1\""), L"D:\\Apps\\Lumidor\\");
    // Written without quotes by another tool: the drive letter is kept.
    EXPECT_EQ(FolderFromCommand(L"D:\\Apps\\Lumidor\\lumi32.exe \"%1\""), L"D:\\Apps\\Lumidor\\");
    EXPECT_EQ(FolderFromCommand(L"\"C:lumi32.exe\""), L"C:\\");
}

TEST(OpenCommand, ForwardSlashesNameTheSameFolder) {
    EXPECT_EQ(FolderFromCommand(L"\"C:/Old/lumi32.exe\" \"%1\""), L"C:\\Old\\");
    EXPECT_EQ(FolderFromCommand(L"C:/Old\\Sub/lumi32.exe"), L"C:\\Old\\Sub\\");
}

TEST(OpenCommand, AnotherProgramIsNoEarlierInstallation) {
    EXPECT_EQ(FolderFromCommand(L"\"C:\\Tools\\viewer.exe\" \"%1\""), L"<none:>");
    EXPECT_EQ(FolderFromCommand(L"\"C:\\Tools\\LUMI32.EXE\" \"%1\""), L"<none:>");
    EXPECT_EQ(FolderFromCommand(L""), L"<none:>");
}

TEST_F(RegisteredViewer, IsFoundThroughItsOpenCommand) {
    Register(L"\"D:\\Apps\\Lumidor\\lumi32.exe\" \"%1\"");
    EXPECT_EQ(Previous(), L"D:\\Apps\\Lumidor\\");
}

TEST_F(RegisteredViewer, EmptyForeignOrUnreadableCommandsAreNone) {
    EXPECT_EQ(Previous(), L"<none:>");
    Register(L"");
    EXPECT_EQ(Previous(), L"<none:>");
    Register(L"\"C:\\Tools\\viewer.exe\" \"%1\"");
    EXPECT_EQ(Previous(), L"<none:>");
    Register(L"\"C:\\" + std::wstring(280, L'a') + L"\\lumi32.exe\" \"%1\"");  // longer than 259
    EXPECT_EQ(Previous(), L"<none:>");
    Register(L"lumi32.exe", REG_BINARY);
    EXPECT_EQ(Previous(), L"<none:>");
}

TEST_F(RegisteredViewer, SilentDefaultsFollowTheEarlierInstallation) {
    InstallOptions fresh{};
    FillSilentOptions(L"setup.exe /silent", fresh);
    EXPECT_STREQ(fresh.iniFolder, L"%APPDATA%\\Lumidor");
    wchar_t defaultFolder[260];
    GetDefaultInstallFolder(defaultFolder, 260);
    EXPECT_STREQ(fresh.targetFolder, defaultFolder);

    Register(L"\"D:\\Apps\\Lumidor\\lumi32.exe\" \"%1\"");
    InstallOptions again{};
    FillSilentOptions(L"setup.exe /silent", again);
    EXPECT_STREQ(again.targetFolder, L"D:\\Apps\\Lumidor\\");
    EXPECT_STREQ(again.iniFolder, L"");

    InstallOptions chosen{};
    FillSilentOptions(L"setup.exe /silent /folder=E:\\Bilder /ini=", chosen);
    EXPECT_STREQ(chosen.targetFolder, L"E:\\Bilder");
}

TEST_F(ProgramFilesDir, GivesItsLumidorFolderWithoutBackslash) {
    Set(L"C:\\Program Files (x86)");
    EXPECT_EQ(Default(), L"C:\\Program Files (x86)\\Lumidor");
    Set(L"D:\\Programme\\");
    EXPECT_EQ(Default(), L"D:\\Programme\\Lumidor");
}

TEST_F(ProgramFilesDir, ThatCannotTakeTheFolderNameFallsBack) {
    Set(L"C:\\" + std::wstring(252, L'p'));
    EXPECT_EQ(Default(), L"C:\\Lumidor\\");
}
