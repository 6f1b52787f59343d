// The installation's record: what it created and replaced, kept across an
// update, and read back only as the user it names.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <string>

#include "TestSupport.h"
#include "assoc/AssociationWriter.h"
#include "install/InstallInventory.h"
#include "install/InstallRecord.h"
#include "install/RegistrationRows.h"
#include "platform/Folders.h"
#include "platform/Registry.h"

namespace {

const wchar_t kJpgKey[] = L"SOFTWARE\\Classes\\.jpg";
const wchar_t kTgaKey[] = L"SOFTWARE\\Classes\\.tga";
const wchar_t kExplorerJpgKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.jpg";
const wchar_t kExplorerTgaKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.tga";
const wchar_t kNoOpenWithClass[] = L"SOFTWARE\\Classes\\AppX43hnxtbyyps62jhe9sqpdzxn1790zetc";

class InstallRecord : public testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        for (const wchar_t* key : {kUninstallKey, kTgaKey, L"SOFTWARE\\Classes\\.jpg\\OpenWithProgids",
                                   L"SOFTWARE\\Classes\\Lumidor.jpg", L"SOFTWARE\\Classes\\Lumidor.tga"})
            SHDeleteKeyW(HKEY_LOCAL_MACHINE, key);
        for (const wchar_t* key : {kNoOpenWithClass, kExplorerJpgKey, kExplorerTgaKey})
            SHDeleteKeyW(HKEY_CURRENT_USER, key);
        SetDefaultValue(HKEY_LOCAL_MACHINE, kJpgKey, L"jpegfile");
    }
    // What an installation writes that matters here: .jpg and .tga chosen on
    // XP for all users, the writer telling the inventory.
    static void Install(CInstallInventory& inventory) {
        AssociationPassKeys pass;
        pass.changes = &inventory;
        WriteFileAssociation(L"jpg", L"jpg", L"cmd", L"icon", 1, 0, 1, 1, &pass);
        pass.classWritten = nullptr;
        WriteFileAssociation(L"tga", L"tga", L"cmd", L"icon", 1, 0, 1, 1, &pass);
        CScopedKey key;
        ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, kNoOpenWithClass, key), ERROR_SUCCESS);
        SetStringValue(key.get(), L"NoOpenWith", L"");
    }
    static std::wstring UserKey(const wchar_t* path) {
        wchar_t sid[192], name[520];
        EXPECT_TRUE(CurrentUserSid(sid, 192));
        EXPECT_TRUE(RecordedKeyName(HKEY_CURRENT_USER, path, sid, name, 520));
        return name;
    }
};

}  // namespace

TEST_F(InstallRecord, AnUpdateKeepsWhatTheFirstInstallationCreatedAndReplaced) {
    CTempFolder temp;
    std::wstring folder = temp / L"Neu\\Lumidor\\";
    for (int run = 0; run < 2; ++run) {
        CInstallInventory inventory;
        inventory.NoteFolderBefore((temp / L"Neu\\\\Lumidor\\").c_str());
        wchar_t made[260];
        wcscpy(made, (temp / L"Neu\\.\\Lumidor\\").c_str());
        EnsureFolder(made);
        inventory.NoteFolderMade(folder.c_str());
        inventory.NoteRegistryBefore();
        Install(inventory);
        inventory.WriteRecord(nullptr, false);

        CInstallRecord record;
        ASSERT_TRUE(record.Load()) << run;
        EXPECT_STREQ(record.Folder(), folder.c_str());
        EXPECT_EQ(record.CreatedFolders().Count(), 2) << run;
        EXPECT_TRUE(record.CreatedFolders().Contains(folder.c_str()));
        EXPECT_TRUE(record.CreatedFolders().Contains((temp / L"Neu\\").c_str()));
        EXPECT_TRUE(record.CreatedKeys().Contains(L"HKLM\\SOFTWARE\\Classes\\.tga")) << run;
        EXPECT_TRUE(record.CreatedKeys().Contains(L"HKLM\\SOFTWARE\\Classes\\.tga\\OpenWithProgids"));
        EXPECT_TRUE(record.CreatedKeys().Contains(UserKey(kExplorerTgaKey).c_str()));
        EXPECT_FALSE(record.CreatedKeys().Contains(L"HKLM\\SOFTWARE\\Classes\\.jpg"));
        EXPECT_TRUE(record.CreatedNoOpenWith().Contains(UserKey(kNoOpenWithClass).c_str())) << run;
        // The second run found Lumidor.jpg: the first run's record stands.
        wchar_t former[260];
        EXPECT_TRUE(record.FormerDefault(L"jpg", former, 260));
        EXPECT_STREQ(former, L"jpegfile");
        EXPECT_FALSE(record.FormerDefault(L"tga", former, 260));
        EXPECT_STREQ(record.SettingsFolder(), L"");
    }

    // The user chose another program meanwhile: that is the former default now.
    SetDefaultValue(HKEY_LOCAL_MACHINE, kJpgKey, L"Anderes.jpg");
    CInstallInventory inventory;
    inventory.NoteFolderMade(folder.c_str());
    inventory.NoteRegistryBefore();
    Install(inventory);
    inventory.WriteRecord(nullptr, false);
    CInstallRecord record;
    wchar_t former[260];
    ASSERT_TRUE(record.Load() && record.FormerDefault(L"jpg", former, 260));
    EXPECT_STREQ(former, L"Anderes.jpg");
    EXPECT_TRUE(record.CreatedKeys().Contains(L"HKLM\\SOFTWARE\\Classes\\.tga"));
}

TEST(InstallRecordNames, AUserKeyLiesUnderThatUsersHiveAndAnythingElseIsNoKeyOfOurs) {
    wchar_t name[520];
    HKEY root;
    const wchar_t* path;
    ASSERT_TRUE(RecordedKeyName(HKEY_CURRENT_USER, L"Software\\Classes", L"S-1-5-21-1", name, 520));
    EXPECT_STREQ(name, L"HKU\\S-1-5-21-1\\Software\\Classes");
    EXPECT_TRUE(ParseRecordedKey(name, root, path));
    EXPECT_EQ(root, HKEY_USERS);
    EXPECT_STREQ(path, L"S-1-5-21-1\\Software\\Classes");
    EXPECT_TRUE(ParseRecordedKey(L"HKLM\\SOFTWARE\\Classes\\.tga", root, path));
    EXPECT_EQ(root, HKEY_LOCAL_MACHINE);
    EXPECT_STREQ(path, L"SOFTWARE\\Classes\\.tga");
    for (const wchar_t* foreign : {L"HKCR\\x", L"HKU\\S-1-5-18", L"HKLM\\", L"HKU\\\\x"})
        EXPECT_FALSE(ParseRecordedKey(foreign, root, path)) << foreign;
}
