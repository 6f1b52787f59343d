// The wizard's decisions: folder checks, the folder dialog's choice, the
// release notes' end, column widths, the title font, the defaults page.
#include <gtest/gtest.h>

#include <string>

#include "wizard/DefaultApps.h"
#include "wizard/WizardRules.h"

namespace {

std::wstring FromChoice(const std::wstring& chosen) {
    wchar_t path[260];
    wcscpy(path, chosen.c_str());
    return MakeInstallFolderFromChoice(path, 260) ? path : L"<unchanged:" + std::wstring(path) + L">";
}

std::wstring Stripped(std::wstring text) {
    text.push_back(L'\0');
    StripAfterLastAlphanumeric(&text[0]);
    return text.c_str();
}

}  // namespace

TEST(WelcomeFolderCheck, TakesOnlyFullDrivePaths) {
    EXPECT_TRUE(IsAcceptedTargetFolder(L"C:\\Lumidor"));
    EXPECT_TRUE(IsAcceptedTargetFolder(L"D:\\Programme\\Lumidor\\  "));
    EXPECT_TRUE(IsAcceptedTargetFolder(L"C:\\"));
    EXPECT_FALSE(IsAcceptedTargetFolder(L""));
    EXPECT_FALSE(IsAcceptedTargetFolder(L"Lumidor"));
    EXPECT_FALSE(IsAcceptedTargetFolder(L"\\\\server\\share\\Lumidor"));
    EXPECT_FALSE(IsAcceptedTargetFolder(L"C:Lumidor"));      // drive-relative
    EXPECT_FALSE(IsAcceptedTargetFolder(L"  C:\\Lumidor"));  // read without trimming
}

TEST(WelcomeFolderCheck, RefusesWhatThePathSplitterCannotTake) {
    EXPECT_FALSE(IsAcceptedTargetFolder((L"C:\\" + std::wstring(256, L'n')).c_str()));
    EXPECT_TRUE(IsAcceptedTargetFolder((L"C:\\" + std::wstring(255, L'n')).c_str()));
    EXPECT_TRUE(IsAcceptedTargetFolder((L"C:\\" + std::wstring(250, L'n') + L".12345").c_str()));
    // The folder part, from after the drive up to the last backslash.
    EXPECT_FALSE(IsAcceptedTargetFolder((L"C:\\" + std::wstring(254, L'f') + L"\\x").c_str()));
    EXPECT_TRUE(IsAcceptedTargetFolder((L"C:\\" + std::wstring(253, L'f') + L"\\x").c_str()));
}

TEST(FolderDialogChoice, AppendsTheProductFolderUnlessItIsThere) {
    EXPECT_EQ(FromChoice(L"C:\\"), L"C:\\Lumidor\\");
    EXPECT_EQ(FromChoice(L"D:\\Tools"), L"D:\\Tools\\Lumidor\\");
    EXPECT_EQ(FromChoice(L"D:\\Tools\\"), L"D:\\Tools\\Lumidor\\");
    EXPECT_EQ(FromChoice(L"D:\\Apps\\LUMIDOR"), L"D:\\Apps\\LUMIDOR\\");
    EXPECT_EQ(FromChoice(L"D:\\Apps\\Lumidor2"), L"D:\\Apps\\Lumidor2\\Lumidor\\");
}

TEST(FolderDialogChoice, NeverWritesACutPath) {
    std::wstring longest = L"D:\\" + std::wstring(248, L'a');  // 251 + "\" + "Lumidor\" = 260
    EXPECT_EQ(FromChoice(longest), L"<unchanged:" + longest + L">");
    std::wstring fits = L"D:\\" + std::wstring(247, L'a');
    EXPECT_EQ(FromChoice(fits), fits + L"\\Lumidor\\");
}

TEST(ReleaseNotes, EndAtTheirLastLetterOrDigit) {
    EXPECT_EQ(Stripped(L"- Fehlerbehebungen.\r\n\r\n  "), L"- Fehlerbehebungen");
    EXPECT_EQ(Stripped(L"Version 4.76"), L"Version 4.76");
    EXPECT_EQ(Stripped(L"Gr\u00f6\u00df\u00e4\r\n"), L"Gr\u00f6\u00df\u00e4");
    EXPECT_EQ(Stripped(L"...\r\n"), L"");
}

TEST(FormatListColumns, SplitTheListWidthByResolution) {
    int first = 0, second = 0;
    FormatListColumnWidths(600, 96, &first, &second);
    EXPECT_EQ(first, 200);
    EXPECT_EQ(second, 375);
    FormatListColumnWidths(600, 120, &first, &second);
    EXPECT_EQ(second, 369);
    FormatListColumnWidths(600, 144, &first, &second);
    EXPECT_EQ(second, 362);
    FormatListColumnWidths(600, 192, &first, &second);
    EXPECT_EQ(second, 350);
}

TEST(TitleFont, Is18PointsAtAnyResolution) {
    EXPECT_EQ(TitleFontHeight(96), 18);
    EXPECT_EQ(TitleFontHeight(120), 23);
    EXPECT_EQ(TitleFontHeight(144), 27);
    EXPECT_EQ(TitleFontHeight(192), 36);
}

namespace {

std::wstring openedDefaults;

HRESULT RecordAssociationDialog(const wchar_t* registeredName) {
    openedDefaults = std::wstring(L"dialog:") + registeredName;
    return S_OK;
}

bool RecordAddress(const wchar_t* address) {
    openedDefaults = std::wstring(L"address:") + address;
    return true;
}

}  // namespace

// Windows 8 and 8.1: the system's association dialog for the registered
// name; Windows 10: the settings page; elsewhere nothing.
TEST(DefaultsPage, EachSystemOpensItsOwnPlaceForDefaultApps) {
    const DefaultAppsOpeners recording = {RecordAssociationDialog, RecordAddress};
    const struct {
        int code;
        const wchar_t* opened;
    } systems[] = {{0, L""}, {1, L""}, {5, L""}, {6, L""}, {7, L""}, {8, L"dialog:Lumidor"},
                   {10, L"address:ms-settings:defaultapps"}, {11, L""}};
    for (const auto& system : systems) {
        openedDefaults.clear();
        OpenDefaultsPage(DefaultsPageFor(system.code), recording);
        EXPECT_EQ(openedDefaults, system.opened) << system.code;
    }
}
