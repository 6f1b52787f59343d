// The two custom statics in-process (fonts, colours and rectangles cannot be
// read from another process), and the font faces Wine gives the dialogs.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "wizard/ColorStatic.h"
#include "wizard/HyperLink.h"
#include "wizard/resource.h"

namespace {

LOGFONTW FontOf(HFONT font) {
    LOGFONTW logFont = {};
    GetObjectW(font, sizeof(logFont), &logFont);
    return logFont;
}

std::wstring FaceOf(HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return face;
}

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A parent window with one static child.
class StaticFixture : public testing::Test {
protected:
    void SetUp() override {
        parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 400, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }
    HWND AddStatic(const wchar_t* text, LONG style) {
        return CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 200, 20, parent, nullptr,
                               nullptr, nullptr);
    }
    HWND parent = nullptr;
};

}  // namespace

TEST_F(StaticFixture, TheInstallingNoticeIsBoldArialAtAnyResolution) {
    CXColorStatic notice;
    ASSERT_TRUE(notice.SubclassWindow(AddStatic(L"Installiere ... bitte warten ...", SS_CENTER | SS_CENTERIMAGE)));
    notice.SetForegroundColour(RGB(255, 0, 0), false);
    notice.SetBoldFlag(true, true);
    for (int dpi : {96, 144}) {
        notice.SetFaceAndHeight(L"Arial", MulDiv(18, dpi, 96), true);
        LOGFONTW font = FontOf(notice.DrawFont());
        EXPECT_EQ(font.lfWeight, FW_BOLD) << dpi;  // the weight follows the bold flag
        EXPECT_EQ(font.lfHeight, dpi == 96 ? 18 : 27);
        EXPECT_STREQ(font.lfFaceName, L"Arial");
        EXPECT_EQ(font.lfQuality, ANTIALIASED_QUALITY);
    }
    EXPECT_EQ(notice.TextColour(), RGB(255, 0, 0));
    EXPECT_EQ(notice.BackgroundColour(), GetSysColor(COLOR_BTNFACE));
    printf("installing notice face under Wine: %ls\n", FaceOf(notice.DrawFont()).c_str());
    notice.SetBoldFlag(false, false);
    EXPECT_EQ(FontOf(notice.DrawFont()).lfWeight, FW_NORMAL);
}

TEST(ColorStatic, DrawsOneCentredLineOrWrapsByStyle) {
    EXPECT_EQ(ColorStaticDrawFlags(SS_CENTER | SS_CENTERIMAGE), static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
    EXPECT_EQ(ColorStaticDrawFlags(SS_RIGHT), static_cast<UINT>(DT_RIGHT | DT_WORDBREAK));
    EXPECT_EQ(ColorStaticDrawFlags(SS_LEFT), static_cast<UINT>(DT_LEFT | DT_WORDBREAK));
}

TEST_F(StaticFixture, ALinkWithoutTextShowsItsTargetAndFitsIt) {
    CHyperLink link;
    link.SetLinkTarget(L"https://www.orvendal.example/eula.htm");
    HWND window = AddStatic(L"", SS_LEFT);
    ASSERT_TRUE(link.SubclassWindow(window));
    wchar_t text[128];
    GetWindowTextW(window, text, 128);
    EXPECT_STREQ(text, L"https://www.orvendal.example/eula.htm");
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & SS_NOTIFY);
    EXPECT_TRUE(FontOf(link.UnderlinedFont()).lfUnderline);
    EXPECT_FALSE(FontOf(link.PlainFont()).lfUnderline);
    EXPECT_EQ(link.CurrentColour(), RGB(0, 0, 238));
    EXPECT_FALSE(link.Visited());

    // As wide as the text in the underlined font.
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, link.UnderlinedFont());
    SIZE extent;
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &extent);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, extent.cx);
}

TEST(HyperLinkRules, FittingFollowsTheAlignment) {
    RECT window = {10, 10, 110, 30};
    RECT client = {11, 11, 109, 29};  // a one-pixel border
    SIZE text = {50, 14};
    RECT left = FitLinkRectangle(window, client, text, SS_LEFT);
    EXPECT_EQ(left.left, 10);
    EXPECT_EQ(left.right, 62);
    EXPECT_EQ(left.bottom, 26);
    RECT right = FitLinkRectangle(window, client, text, SS_RIGHT);
    EXPECT_EQ(right.right, 110);
    EXPECT_EQ(right.left, 58);
    RECT centred = FitLinkRectangle(window, client, text, SS_CENTER | SS_CENTERIMAGE);
    EXPECT_EQ(centred.left, 34);
    EXPECT_EQ(centred.right, 86);
    EXPECT_EQ(centred.top, 12);
    EXPECT_EQ(centred.bottom, 28);
}

TEST(HyperLinkRules, TheHandlerCommandIsCutBeforeItsPlaceholder) {
    wchar_t out[256];
    ASSERT_TRUE(BuildHandlerCommand(L"\"C:\\Browser\\b.exe\" -nohome \"%1\" -x", L"https://a.example/", out, 256));
    EXPECT_STREQ(out, L"\"C:\\Browser\\b.exe\" -nohome  https://a.example/");
    BuildHandlerCommand(L"C:\\b.exe %1", L"https://a.example/", out, 256);
    EXPECT_STREQ(out, L"C:\\b.exe  https://a.example/");
    BuildHandlerCommand(L"C:\\b.exe", L"https://a.example/", out, 256);
    EXPECT_STREQ(out, L"C:\\b.exe https://a.example/");
    EXPECT_FALSE(BuildHandlerCommand(L"C:\\b.exe", L"https://a.example/", out, 12));
}

// Which faces Wine gives the page dialogs' "Microsoft Sans Serif" and the title font.
TEST_F(StaticFixture, DialogFontFacesUnderWine) {
    HMODULE setup = LoadLibraryExW(SetupProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(setup, nullptr);
    HRSRC found = FindResourceW(setup, MAKEINTRESOURCEW(IDD_NOTES), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    auto page = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(setup, found)));
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), page, parent, &IgnoreMessages, 0);
    ASSERT_NE(dialog, nullptr);
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(dialogFont, nullptr);
    LOGFONTW requested = FontOf(dialogFont);
    EXPECT_STREQ(requested.lfFaceName, L"Microsoft Sans Serif");
    printf("dialog font \"%ls\" is drawn with: %ls\n", requested.lfFaceName, FaceOf(dialogFont).c_str());
    DestroyWindow(dialog);
    FreeLibrary(setup);

    LOGFONTW title = {};
    title.lfHeight = 18;
    title.lfWeight = FW_BOLD;
    title.lfQuality = ANTIALIASED_QUALITY;
    wcscpy(title.lfFaceName, L"Arial");
    HFONT titleFont = CreateFontIndirectW(&title);
    printf("title font \"Arial\" is drawn with: %ls\n", FaceOf(titleFont).c_str());
    DeleteObject(titleFont);
}
