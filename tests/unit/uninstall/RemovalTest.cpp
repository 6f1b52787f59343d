// The uninstaller's decisions: which files, links and commands belong to the
// installation being removed (by identity), what it leaves for the user, and
// that nothing is removed anywhere but where it was found.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/CommandLine.h"
#include "unzip.h"
#include "install/InstallRecord.h"
#include "platform/Registry.h"
#include "uninstall/FileRemoval.h"
#include "uninstall/Installation.h"
#include "uninstall/PayloadEntries.h"
#include "uninstall/RemovalArguments.h"
#include "uninstall/RemovalReport.h"

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
    CInstallation installation;
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
        ASSERT_TRUE(installation.Find(folder.c_str()));
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
    RemoveInstalledFiles(installation, report);

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
    RemoveInstalledFiles(installation, report);
    CloseHandle(held);
    EXPECT_EQ(report.Count(), 1);
    EXPECT_EQ(std::wstring(report.Items()), folder + L"Plugins\\Icons.dll");
    EXPECT_FALSE(Exists(folder + L"Toolbars"));
}

// The folder handed over as the root must still be the folder found: one put
// in its place is left alone, and so is an item of another kind.
TEST_F(InstalledFolder, AnItemIsRemovedOnlyWhereItWasFoundAndAsWhatItIs) {
    FileIdentity other;
    ASSERT_TRUE(IdentityOfPath(temp.path().c_str(), other));
    EXPECT_EQ(RemoveContainedFile({folder.c_str(), &other}, L"lm_about.txt"), ItemRemoval::Link);
    EXPECT_TRUE(Exists(folder + L"lm_about.txt"));
    EXPECT_EQ(RemoveContainedFile(InstallationRoot(installation), L"Plugins"), ItemRemoval::Absent);
    EXPECT_EQ(RemoveContainedFolder(InstallationRoot(installation), L"lm_about.txt"), ItemRemoval::Absent);
    EXPECT_EQ(RemoveContainedFolder(InstallationRoot(installation), L"Plugins"), ItemRemoval::NotEmpty);
    EXPECT_EQ(RemoveContainedFile(InstallationRoot(installation), L"Plugins\\Icons.dll"), ItemRemoval::Removed);
    EXPECT_EQ(RemoveContainedFile(InstallationRoot(installation), L"Plugins\\Icons.dll"), ItemRemoval::Absent);
    EXPECT_EQ(RemoveContainedFolder(InstallationRoot(installation), L"Plugins\\"), ItemRemoval::Removed);
}

TEST_F(InstalledFolder, SettingsInTheProgramFolderAreTheUsersUnlessPurgedWhateverTheSpellingOfItsFolder) {
    WritePrivateProfileStringW(L"Language", L"Lang", L"Deutsch", (folder + L"lumi32.ini").c_str());
    WriteFileBytes(folder + L"lumi32.ini_temp", "x");
    for (const std::wstring& spelling : {std::wstring(), folder + L"\\", folder + L".", temp.path() + L"x\\..\\Lumidor"}) {
        SetIniFolder(spelling);
        RemoveProgramSettings(installation, false, report);
        EXPECT_TRUE(Exists(folder + L"lumi32.ini")) << spelling;
        EXPECT_TRUE(Exists(folder + L"lumi32.ini_temp")) << spelling;
    }
    RemoveProgramSettings(installation, true, report);
    EXPECT_FALSE(Exists(folder + L"lumi32.ini"));
    EXPECT_FALSE(Exists(folder + L"lumi32.ini_temp"));
    EXPECT_TRUE(report.Clean());
}

// The record this installation's setup program would have left, naming the
// settings folder.
class RecordedInstallation : public InstalledFolder {
protected:
    std::wstring settings = temp.path() + L"Settings\\";
    void SetUp() override {
        CreateDirectoryW(settings.c_str(), nullptr);
        CScopedKey record;
        ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, kInstallRecordKey, record), ERROR_SUCCESS);
        SetStringValue(record.get(), kRecordFolderValue, folder.c_str());
        SetStringValue(record.get(), kRecordSettingsFolderValue, settings.c_str());
        InstalledFolder::SetUp();
    }
    void TearDown() override { SHDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey); }
};

TEST_F(RecordedInstallation, SettingsElsewhereStayUnlessPurgedAndAFolderNotRecordedAsCreatedStays) {
    WriteFileBytes(settings + L"lumi32.ini", "[Language]\r\nLang=Deutsch\r\n");
    SetIniFolder(settings);

    RemoveInstalledFiles(installation, report);
    RemoveProgramSettings(installation, false, report);
    EXPECT_FALSE(Exists(folder + L"lumi32.ini"));  // it only said where the settings are
    EXPECT_TRUE(Exists(settings + L"lumi32.ini"));

    SetIniFolder(settings);
    WriteFileBytes(settings + L"lumi32.ini_temp", "x");
    WriteFileBytes(settings + L"Favoriten.txt", "mine");
    RemoveUserSettings(installation, report);
    EXPECT_FALSE(Exists(settings + L"lumi32.ini"));
    EXPECT_FALSE(Exists(settings + L"lumi32.ini_temp"));
    EXPECT_TRUE(Exists(settings + L"Favoriten.txt"));
    DeleteFileW((settings + L"Favoriten.txt").c_str());
    EXPECT_TRUE(FolderExists(settings));  // not made by this installation
    EXPECT_TRUE(report.Clean()) << report.Items();

    // A settings folder that neither the record names nor is the user's own:
    // INI_Folder is only a hint, whoever wrote it.
    std::wstring elsewhere = temp.path() + L"Anderswo\\";
    CreateDirectoryW(elsewhere.c_str(), nullptr);
    WriteFileBytes(elsewhere + L"lumi32.ini", "[Fremd]\r\n");
    SetIniFolder(elsewhere);
    RemoveUserSettings(installation, report);
    EXPECT_TRUE(Exists(elsewhere + L"lumi32.ini"));
}

TEST_F(InstalledFolder, CommandsAndLinksAreOursByTheIdentityOfTheirFolderAndFile) {
    CreateDirectoryW((temp.path() + L"Lumidor2").c_str(), nullptr);
    CreateDirectoryW((folder + L"Nested").c_str(), nullptr);
    WriteFileBytes(folder + L"Nested\\lumi32.exe", "MZ");
    std::wstring upper = temp.path() + L"LUMIDOR\\";
    std::wstring forward = folder;
    for (wchar_t& c : forward) c = c == L'\\' ? L'/' : c;
    EXPECT_TRUE(installation.CommandIsOurs((L"\"" + folder + L"lumi32.exe\" \"%1\"").c_str()));
    EXPECT_TRUE(installation.CommandIsOurs((L"\"" + upper + L"lumi32.exe\" \"%1\" /thumbs").c_str()));
    EXPECT_TRUE(installation.CommandIsOurs((L"\"" + folder + L".\\lumi32.exe\"").c_str()));
    EXPECT_TRUE(installation.CommandIsOurs((L"\"" + forward + L"lumi32.exe\"").c_str()));
    EXPECT_FALSE(installation.CommandIsOurs((L"\"" + temp.path() + L"Lumidor2\\lumi32.exe\" \"%1\"").c_str()));
    EXPECT_FALSE(installation.CommandIsOurs((L"\"" + folder + L"Nested\\lumi32.exe\" \"%1\"").c_str()));
    EXPECT_FALSE(installation.CommandIsOurs((L"\"" + folder + L"other.exe\" \"%1\"").c_str()));
    EXPECT_FALSE(installation.CommandIsOurs(L""));

    EXPECT_TRUE(installation.PathIsOurs((upper + L"\\help\\lumi32_deutsch.chm").c_str(), L"\\help\\lumi32_deutsch.chm"));
    EXPECT_TRUE(installation.PathIsOurs((folder + L"lumi32.exe").c_str(), L"lumi32.exe"));
    EXPECT_FALSE(installation.PathIsOurs((folder + L"Nested\\lumi32.exe").c_str(), L"lumi32.exe"));
    EXPECT_FALSE(installation.PathIsOurs((temp.path() + L"Lumidor2\\lm_about.txt").c_str(), L"lm_about.txt"));
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
    const wchar_t* arguments = ArgumentsOf(L"\"C:\\Program Files\\Lumidor\\lu_uninstall.exe\" /SILENT  \"/purge\"");
    EXPECT_STREQ(arguments, L"/SILENT  \"/purge\"");
    EXPECT_TRUE(HasSwitch(arguments, L"/silent"));
    EXPECT_TRUE(HasSwitch(arguments, L"/purge"));
    // The program's own path never counts, nor a longer word.
    EXPECT_FALSE(HasSwitch(ArgumentsOf(L"\"C:\\x /silent\\lu_uninstall.exe\""), L"/silent"));
    EXPECT_FALSE(HasSwitch(ArgumentsOf(L"lu_uninstall.exe /silently"), L"/silent"));
    EXPECT_STREQ(ArgumentsOf(L"lu_uninstall.exe"), L"");
}
