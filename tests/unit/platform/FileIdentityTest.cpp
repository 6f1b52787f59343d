// Which file or folder a path names: one identity for every spelling, the
// canonical form an installation records, and the names of items gone.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "platform/FileIdentity.h"
#include "platform/Folders.h"
#include "platform/Processes.h"

TEST(FileIdentity, EverySpellingOfAFolderIsTheSameFolderAndItsCanonicalFormIsOne) {
    CTempFolder temp;
    std::wstring folder = temp / L"Programme mit langem Namen\\Lumidor\\";
    ASSERT_TRUE(CreateDirectoryW((temp / L"Programme mit langem Namen").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    wchar_t shortForm[MAX_PATH];
    ASSERT_GT(GetShortPathNameW(folder.c_str(), shortForm, MAX_PATH), 0u);
    ASSERT_EQ(std::wstring(shortForm).find(L"Programme mit"), std::wstring::npos);

    const std::wstring spellings[] = {
        temp / L"Programme mit langem Namen\\\\Lumidor",      temp / L"Programme mit langem Namen\\.\\Lumidor\\",
        temp / L"x\\..\\Programme mit langem Namen\\Lumidor", temp / L"PROGRAMME MIT LANGEM NAMEN\\lumidor",
        shortForm,
    };
    for (const std::wstring& spelling : spellings) {
        EXPECT_TRUE(SameItem(spelling.c_str(), folder.c_str())) << spelling;
        wchar_t canonical[520];
        wcscpy(canonical, spelling.c_str());
        ASSERT_TRUE(CanonicalFolder(canonical, 520));
        EXPECT_EQ(_wcsicmp(canonical, folder.c_str()), 0) << spelling << L" -> " << canonical;
    }
    EXPECT_FALSE(SameItem((temp / L"Programme mit langem Namen").c_str(), folder.c_str()));
    EXPECT_FALSE(SameItem((temp / L"nicht da").c_str(), (temp / L"nicht da").c_str()));
}

TEST(FileIdentity, AnItemAlreadyRemovedIsNamedByItsFolderAndNameAndAPathLiesWithinByIdentity) {
    CTempFolder temp;
    CreateDirectoryW((temp / L"Lumidor").c_str(), nullptr);
    CreateDirectoryW((temp / L"Lumidor\\Help").c_str(), nullptr);
    CreateDirectoryW((temp / L"Lumidor\\Nested").c_str(), nullptr);
    WriteFileBytes(temp / L"Lumidor\\lumi32.exe", "MZ");
    WriteFileBytes(temp / L"Lumidor\\Nested\\lumi32.exe", "MZ");
    std::wstring ours = temp / L"Lumidor\\lumi32.exe";

    EXPECT_TRUE(PathNamesItem((temp / L"lumidor\\\\LUMI32.EXE").c_str(), ours.c_str()));
    EXPECT_FALSE(PathNamesItem((temp / L"Lumidor\\Nested\\lumi32.exe").c_str(), ours.c_str()));
    // Gone already (a rerun): the same name in the same folder, also a level deeper.
    EXPECT_TRUE(PathNamesItem((temp / L"Lumidor\\\\help\\lumi32_deutsch.chm").c_str(),
                              (temp / L"Lumidor\\Help\\lumi32_deutsch.chm").c_str()));
    EXPECT_TRUE(PathNamesItem((temp / L"Lumidor\\Weg\\lm_about.txt").c_str(),
                              (temp / L"Lumidor\\weg\\lm_about.txt").c_str()));
    EXPECT_FALSE(PathNamesItem((temp / L"Lumidor\\Nested\\lm_about.txt").c_str(),
                               (temp / L"Lumidor\\lm_about.txt").c_str()));
    EXPECT_FALSE(PathNamesItem((temp / L"Lumidor\\lm_about.txt").c_str(), (temp / L"Lumidor\\lm_other.txt").c_str()));

    FileIdentity folder;
    ASSERT_TRUE(IdentityOfPath((temp / L"Lumidor").c_str(), folder));
    EXPECT_TRUE(PathIsWithin((temp / L"Lumidor\\Nested\\.\\").c_str(), folder));
    EXPECT_TRUE(PathIsWithin((temp / L"Lumidor").c_str(), folder));
    EXPECT_FALSE(PathIsWithin(temp.path().c_str(), folder));
}

TEST(FileIdentity, DevicePathsOfWindowsXpBecomeDrivePaths) {
    const wchar_t* devices[26] = {};
    for (auto& device : devices) device = L"";
    devices[2] = L"\\Device\\HarddiskVolume1";
    devices[3] = L"\\Device\\HarddiskVolume12";
    wchar_t out[260];
    EXPECT_TRUE(DrivePathFromDevicePath(L"\\Device\\HarddiskVolume12\\Apps\\lumi32.exe", devices, out, 260));
    EXPECT_STREQ(out, L"D:\\Apps\\lumi32.exe");
    EXPECT_TRUE(DrivePathFromDevicePath(L"\\Device\\HarddiskVolume1\\Lumidor\\lumi32.exe", devices, out, 260));
    EXPECT_STREQ(out, L"C:\\Lumidor\\lumi32.exe");
    EXPECT_FALSE(DrivePathFromDevicePath(L"\\Device\\HarddiskVolume2\\x.exe", devices, out, 260));
}
