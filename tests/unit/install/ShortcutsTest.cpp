// Shortcut folders and the start-menu group.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <set>
#include <string>

#include "TestSupport.h"
#include "install/Registration.h"
#include "install/Shortcuts.h"
#include "platform/Shell.h"

namespace {

std::set<std::wstring> LinksIn(const std::wstring& folder) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

class StartMenuGroup : public testing::Test {
protected:
    std::wstring group;
    void SetUp() override {
        wchar_t programs[260];
        GetSpecialFolderPath(CSIDL_PROGRAMS, programs, 260);
        group = std::wstring(programs) + L"Lumidor\\";
        Clear();
    }
    void TearDown() override { Clear(); }
    void Clear() {
        for (const std::wstring& name : LinksIn(group)) DeleteFileW((group + name).c_str());
        RemoveDirectoryW(group.c_str());
    }
};

}  // namespace

TEST(ShortcutFolders, FollowTheAllUsersChoice) {
    EXPECT_EQ(DesktopFolderCsidl(0), CSIDL_DESKTOP);
    EXPECT_EQ(DesktopFolderCsidl(1), CSIDL_COMMON_DESKTOPDIRECTORY);
    EXPECT_EQ(ProgramsFolderCsidl(0), CSIDL_PROGRAMS);
    EXPECT_EQ(ProgramsFolderCsidl(2), CSIDL_COMMON_PROGRAMS);
}

TEST(ShortcutFolders, OnlyWindows8And81LeaveOutTheUninstaller) {
    for (int code : {0, 1, 5, 6, 7, 10, 11}) EXPECT_TRUE(GroupHasUninstallEntry(code)) << code;
    EXPECT_FALSE(GroupHasUninstallEntry(8));
}

TEST(SystemFlags, ComeFromThePlainVersionCall) {
    SystemFlags xp = SystemFlagsFrom(VER_PLATFORM_WIN32_NT, 5, 1);
    EXPECT_EQ(xp.isXpFamily, 1);
    EXPECT_EQ(xp.isVistaOrLater, 0);
    EXPECT_EQ(SystemFlagsFrom(VER_PLATFORM_WIN32_NT, 5, 2).isXpFamily, 1);
    SystemFlags w2000 = SystemFlagsFrom(VER_PLATFORM_WIN32_NT, 5, 0);
    EXPECT_EQ(w2000.isXpFamily + w2000.isVistaOrLater, 0);
    // Windows 8.1 to 11 report 6.2 to a program without supportedOS entries.
    SystemFlags later = SystemFlagsFrom(VER_PLATFORM_WIN32_NT, 6, 2);
    EXPECT_EQ(later.isVistaOrLater, 1);
    EXPECT_EQ(later.isXpFamily, 0);
    EXPECT_EQ(SystemFlagsFrom(VER_PLATFORM_WIN32_NT, 10, 0).isVistaOrLater, 1);
    SystemFlags nine = SystemFlagsFrom(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
    EXPECT_EQ(nine.isXpFamily + nine.isVistaOrLater, 0);
}

TEST_F(StartMenuGroup, HasNineEntriesAndReplacesTheEarlierVersions) {
    CreateDirectoryW(group.c_str(), nullptr);
    for (const wchar_t* name : {L"Lumidor 4.75.lnk", L"Lumidor 4.73.lnk", L"Eigene Notiz.txt"})
        WriteFileBytes(group + name, "alt");
    CreateStartMenuGroup(L"C:\\Lumidor\\", 0, 10);
    std::set<std::wstring> expected = {L"Lumidor 4.76.lnk", L"Lumidor - Thumbnails.lnk",
                                       L"Lumidor deinstallieren.lnk", L"\u00dcber Lumidor.lnk",
                                       L"Was ist neu.lnk", L"Kommandozeilen-Optionen.lnk",
                                       L"Verf\u00fcgbare PlugIns.lnk", L"Verf\u00fcgbare Sprachen.lnk",
                                       L"Lumidor Hilfe.lnk", L"Eigene Notiz.txt"};
    EXPECT_EQ(LinksIn(group), expected);
}

TEST_F(StartMenuGroup, HasNoUninstallEntryOnWindows8) {
    CreateStartMenuGroup(L"C:\\Lumidor\\", 0, 8);
    std::set<std::wstring> links = LinksIn(group);
    EXPECT_EQ(links.size(), 8u);
    EXPECT_EQ(links.count(L"Lumidor deinstallieren.lnk"), 0u);
}
