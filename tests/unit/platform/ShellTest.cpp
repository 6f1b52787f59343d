// Shell services: a shortcut read back through the shell, special folders.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "TestSupport.h"
#include "platform/Shell.h"

TEST(ShellLink, IsWrittenWithEveryField) {
    CTempFolder temp;
    std::wstring link = temp / L"Lumidor Thumbnails.lnk";
    ShellLinkFields fields = {L"C:\\Lumidor\\lumi32.exe", L"/thumbs", L"C:\\Lumidor\\lumi32.exe", 7,
                              L"Lumidor Thumbnails"};
    ASSERT_EQ(CreateShellLink(link.c_str(), fields), 1);

    CoInitialize(nullptr);
    IShellLinkW* shellLink = nullptr;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                              reinterpret_cast<void**>(&shellLink)));
    IPersistFile* file = nullptr;
    shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    ASSERT_HRESULT_SUCCEEDED(file->Load(link.c_str(), STGM_READ));
    wchar_t text[MAX_PATH];
    int index = -1;
    shellLink->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    EXPECT_STREQ(text, L"C:\\Lumidor\\lumi32.exe");
    shellLink->GetArguments(text, MAX_PATH);
    EXPECT_STREQ(text, L"/thumbs");
    shellLink->GetIconLocation(text, MAX_PATH, &index);
    EXPECT_STREQ(text, L"C:\\Lumidor\\lumi32.exe");
    EXPECT_EQ(index, 7);
    shellLink->GetDescription(text, MAX_PATH);
    EXPECT_STREQ(text, L"Lumidor Thumbnails");
    file->Release();
    shellLink->Release();
    CoUninitialize();
}

TEST(ShellLink, FailsQuietlyWhereNoFileCanBeWritten) {
    ShellLinkFields fields = {L"C:\\x.exe", nullptr, nullptr, 0, nullptr};
    EXPECT_EQ(CreateShellLink(L"R:\\nirgendwo\\x.lnk", fields), 0);
}

TEST(SpecialFolder, FallsBackToTheWindowsFolder) {
    wchar_t desktop[260];
    GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY, desktop, 260);
    EXPECT_NE(desktop[0], L'\0');
    EXPECT_TRUE(FolderExists(desktop));
    EXPECT_EQ(desktop[wcslen(desktop) - 1], L'\\');

    wchar_t windows[260];
    GetWindowsDirectoryW(windows, 260);
    wchar_t unknown[260];
    GetSpecialFolderPath(0x7F, unknown, 260);
    EXPECT_EQ(std::wstring(unknown), std::wstring(windows) + L"\\");

    wchar_t tiny[4];
    GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY, tiny, 4);
    EXPECT_EQ(wcslen(tiny), 3u);
}
