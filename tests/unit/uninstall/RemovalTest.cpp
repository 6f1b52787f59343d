// The uninstaller's decisions: which files, links and commands belong to the
// installation being removed, and what it leaves for the user.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/CommandLine.h"
#include "unzip.h"
#include "uninstall/FileRemoval.h"
#include "uninstall/PayloadEntries.h"
#include "uninstall/RegistryRemoval.h"
#include "uninstall/RemovalArguments.h"
#include "uninstall/RemovalReport.h"
#include "uninstall/ShortcutRemoval.h"

namespace {

std::vector<std::wstring> ArchiveEntries(const std::string& path) {
    std::vector<std::wstring> names;
    unzFile archive = unzOpen64(path.c_str());
    if (!archive) return names;
    for (int status = unzGoToFirstFile(archive); status == UNZ_OK; status = unzGoToNextFile(archive)) {
        char name[512];
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(archive, &info, name, sizeof(name), nullptr, 0, nullptr, 0) != UNZ_OK) break;
        names.emplace_back(name, name + strlen(name));
    }
    unzClose(archive);
    return names;
}

// An installation in a scratch folder: every payload entry, with a few
// files of the user's among them.
class InstalledFolder : public testing::Test {
protected:
    CTempFolder temp;
    std::wstring folder = temp.path() + L"Lumidor\\";
    CRemovalReport report;

    void SetUp() override {
        CreateDirectoryW(folder.c_str(), nullptr);
        for (int i = 0; i < kPayloadEntryCount; ++i) {
            std::wstring name = Local(kPayloadEntries[i]);
            if (name.back() == L'\\') {
                CreateDirectoryW((folder + name).c_str(), nullptr);
            } else {
                WriteFileBytes(folder + name, "payload");
            }
        }
    }
    static std::wstring Local(std::wstring name) {
        for (wchar_t& c : name) c = c == L'/' ? L'\\' : c;
        return name;
    }
    bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    void SetIniFolder(const std::wstring& iniFolder) {
        WritePrivateProfileStringW(L"Others", L"INI_Folder", iniFolder.c_str(), (folder + L"lumi32.ini").c_str());
    }
};

}  // namespace

TEST(PayloadEntries, AreTheEntriesOfTheArchiveTheSetupProgramCarries) {
    const char* zip = getenv("LUMIDOR_PAYLOAD_ZIP");
    ASSERT_NE(zip, nullptr);
    std::vector<std::wstring> compiled(kPayloadEntries, kPayloadEntries + kPayloadEntryCount);
    EXPECT_EQ(ArchiveEntries(zip), compiled);
}

TEST_F(InstalledFolder, OnlyThePayloadGoesAndTheUsersFilesKeepTheirFolders) {
    WriteFileBytes(folder + L"Plugins\\Eigenes.dll", "MZ");
    WriteFileBytes(folder + L"Notizen.txt", "mine");
    SetFileAttributesW((folder + L"Html\\lumidor.htm").c_str(), FILE_ATTRIBUTE_READONLY);
    RemoveInstalledFiles(folder.c_str(), false, report);

    EXPECT_TRUE(report.Clean()) << report.Items();
    EXPECT_TRUE(Exists(folder + L"Plugins\\Eigenes.dll"));
    EXPECT_TRUE(Exists(folder + L"Notizen.txt"));
    EXPECT_FALSE(Exists(folder + L"Plugins\\Icons.dll"));
    EXPECT_FALSE(Exists(folder + L"Html"));  // read-only files are ours too
    EXPECT_FALSE(Exists(folder + L"Toolbars"));
    // The last to go, with the uninstall entry.
    EXPECT_TRUE(Exists(folder + L"lumi32.exe"));
    EXPECT_TRUE(Exists(folder + L"lu_uninstall.exe"));
}

TEST_F(InstalledFolder, AFileInUseIsReportedAndEverythingElseGoes) {
    HANDLE held = CreateFileW((folder + L"Plugins\\Icons.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RemoveInstalledFiles(folder.c_str(), false, report);
    CloseHandle(held);
    EXPECT_EQ(report.Count(), 1);
    EXPECT_EQ(std::wstring(report.Items()), folder + L"Plugins\\Icons.dll");
    EXPECT_FALSE(Exists(folder + L"Toolbars"));
}

TEST_F(InstalledFolder, SettingsInTheProgramFolderAreTheUsersUnlessPurged) {
    WritePrivateProfileStringW(L"Language", L"Lang", L"Deutsch", (folder + L"lumi32.ini").c_str());
    WriteFileBytes(folder + L"lumi32.ini_temp", "x");
    RemoveProgramSettings(folder.c_str(), false, report);
    EXPECT_TRUE(Exists(folder + L"lumi32.ini"));
    EXPECT_TRUE(Exists(folder + L"lumi32.ini_temp"));
    RemoveProgramSettings(folder.c_str(), true, report);
    EXPECT_FALSE(Exists(folder + L"lumi32.ini"));
    EXPECT_FALSE(Exists(folder + L"lumi32.ini_temp"));
    EXPECT_TRUE(report.Clean());
}

TEST_F(InstalledFolder, SettingsElsewhereStayUnlessPurgedAndTheirFolderOnlyWhenEmpty) {
    std::wstring settings = temp.path() + L"Settings\\";
    CreateDirectoryW(settings.c_str(), nullptr);
    WriteFileBytes(settings + L"lumi32.ini", "[Language]\r\nLang=Deutsch\r\n");
    SetIniFolder(settings);

    RemoveInstalledFiles(folder.c_str(), false, report);
    RemoveProgramSettings(folder.c_str(), false, report);
    EXPECT_FALSE(Exists(folder + L"lumi32.ini"));  // it only said where the settings are
    EXPECT_TRUE(Exists(settings + L"lumi32.ini"));

    SetIniFolder(settings);
    WriteFileBytes(settings + L"lumi32.ini_temp", "x");
    WriteFileBytes(settings + L"Favoriten.txt", "mine");
    RemoveInstalledFiles(folder.c_str(), true, report);
    EXPECT_FALSE(Exists(settings + L"lumi32.ini"));
    EXPECT_FALSE(Exists(settings + L"lumi32.ini_temp"));
    EXPECT_TRUE(Exists(settings + L"Favoriten.txt"));

    DeleteFileW((settings + L"Favoriten.txt").c_str());
    WriteFileBytes(settings + L"lumi32.ini", "[Language]\r\n");
    RemoveInstalledFiles(folder.c_str(), true, report);
    EXPECT_FALSE(FolderExists(settings));
    EXPECT_TRUE(report.Clean()) << report.Items();
}

TEST(Ownership, AnOpenCommandBelongsToExactlyItsOwnFolder) {
    const wchar_t folder[] = L"C:\\Program Files\\Lumidor\\";
    EXPECT_TRUE(CommandNamesFolder(L"\"C:\\Program Files\\Lumidor\\lumi32.exe\" \"%1\"", folder));
    EXPECT_TRUE(CommandNamesFolder(L"\"c:\\program files\\LUMIDOR\\lumi32.exe\" \"%1\" /thumbs", folder));
    EXPECT_TRUE(CommandNamesFolder(L"\"C:/Program Files/Lumidor/lumi32.exe\"", folder));
    EXPECT_FALSE(CommandNamesFolder(L"\"C:\\Program Files\\Lumidor2\\lumi32.exe\" \"%1\"", folder));
    EXPECT_FALSE(CommandNamesFolder(L"\"C:\\Program Files\\Lumidor\\Sub\\lumi32.exe\" \"%1\"", folder));
    EXPECT_FALSE(CommandNamesFolder(L"\"C:\\Program Files\\Lumidor\\other.exe\" \"%1\"", folder));
    EXPECT_FALSE(CommandNamesFolder(L"", folder));
}

TEST(Ownership, ALinkTargetLiesInTheFolderWhateverItsCaseOrDoubledSeparators) {
    const wchar_t folder[] = L"C:\\Lumidor\\";
    EXPECT_TRUE(PathIsInFolder(L"C:\\Lumidor\\lumi32.exe", folder));
    EXPECT_TRUE(PathIsInFolder(L"c:\\LUMIDOR\\\\help\\lumi32_deutsch.chm", folder));
    EXPECT_TRUE(PathIsInFolder(L"C:/Lumidor/lm_about.txt", folder));
    EXPECT_FALSE(PathIsInFolder(L"C:\\Lumidor2\\lumi32.exe", folder));
    EXPECT_FALSE(PathIsInFolder(L"C:\\Lumidor\\", folder));
    EXPECT_FALSE(PathIsInFolder(L"D:\\Lumidor\\lumi32.exe", folder));
}

TEST(RemovalReport, ListsEveryItemOnItsOwnLineAndGrowsAsNeeded) {
    CRemovalReport report;
    EXPECT_TRUE(report.Clean());
    EXPECT_STREQ(report.Items(), L"");
    std::wstring expected;
    for (int i = 0; i < 40; ++i) {
        std::wstring item = L"C:\\Lumidor\\" + std::wstring(60, static_cast<wchar_t>(L'a' + i % 26));
        report.Failed(item.c_str());
        expected += (i ? L"\n" : L"") + item;
    }
    report.FailedKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.jpg", L"");
    report.FailedKey(HKEY_CURRENT_USER, L"Software\\Classes\\AppX1", L"NoOpenWith");
    report.FailedKey(HKEY_CLASSES_ROOT, L"Applications\\lumi32.exe");
    expected += L"\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.jpg [(Standard)]"
                L"\nHKEY_CURRENT_USER\\Software\\Classes\\AppX1 [NoOpenWith]"
                L"\nHKEY_CLASSES_ROOT\\Applications\\lumi32.exe";
    EXPECT_EQ(report.Count(), 43);
    EXPECT_EQ(std::wstring(report.Items()), expected);
}

TEST(RemovalArguments, SwitchesAreWordsAfterTheProgramsName) {
    const wchar_t* arguments = ArgumentsOf(L"\"C:\\Program Files\\Lumidor\\lu_uninstall.exe\" /SILENT  /purge");
    EXPECT_STREQ(arguments, L"/SILENT  /purge");
    EXPECT_TRUE(HasSwitch(arguments, L"/silent"));
    EXPECT_TRUE(HasSwitch(arguments, L"/purge"));
    // The program's own path never counts, nor a longer word.
    EXPECT_FALSE(HasSwitch(ArgumentsOf(L"\"C:\\x /silent\\lu_uninstall.exe\""), L"/silent"));
    EXPECT_FALSE(HasSwitch(ArgumentsOf(L"lu_uninstall.exe /silently"), L"/silent"));
    EXPECT_STREQ(ArgumentsOf(L"lu_uninstall.exe"), L"");
}
