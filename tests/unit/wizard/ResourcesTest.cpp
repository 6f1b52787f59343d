// Resources of the built setup program: strings, manifest, version, pictures,
// release notes and payload.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "wizard/resource.h"

namespace {

class SetupResources : public testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = LoadLibraryExW(SetupProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(module_, nullptr) << "LUMIDOR_SETUP_EXE does not name the setup program"; }

    std::wstring String(UINT id) {
        wchar_t text[1024];
        int length = LoadStringW(module_, id, text, 1024);
        return std::wstring(text, length > 0 ? length : 0);
    }
    std::string Data(const wchar_t* type, UINT id) {
        HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
        if (!found) return "";
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(module_, found)));
        return std::string(bytes, SizeofResource(module_, found));
    }

    static HMODULE module_;
};

HMODULE SetupResources::module_ = nullptr;

}  // namespace

TEST_F(SetupResources, MessagesAreStoredWithTheirUmlauts) {
    EXPECT_EQ(String(IDS_INVALID_FOLDER), L"Ung\u00fcltiges Zielverzeichnis!");
    EXPECT_EQ(String(IDS_INSTALL_FAILED),
              L"Fehler beim Installieren!\n\n\u00dcberpr\u00fcfen Sie bitte ob Lumidor l\u00e4uft, das "
              L"Zielverzeichnis voll ist oder keine Schreibrechte vorhanden sind!\n\n(Der Installer sollte im "
              L"ADMIN-Modus gestartet werden, z.B. den Installer mit der rechten Maustaste anklicken)");
    EXPECT_EQ(String(IDS_ASSOCIATION_QUESTION),
              L"Sie m\u00f6chten die aktuellen Verkn\u00fcpfungen \u00e4ndern und einen oder mehrere Dateitypen "
              L"mit Lumidor verkn\u00fcpfen!\n\nSind Sie sicher!?");
    EXPECT_EQ(String(IDS_VIEWER_RUNNING),
              L"Warnung: Lumidor l\u00e4uft!\nBeenden Sie bitte Lumidor bevor Sie mit der Installation fortsetzen!");
    EXPECT_EQ(String(IDS_CANNOT_CREATE_FOLDER),
              L"Kann Zielverzeichnis nicht erstellen!\n\nBitte \u00fcberpr\u00fcfen Sie Ihre Schreibrechte und "
              L"System-Policies!\n\nVersuchen Sie das Zielverzeichnis zuerst h\u00e4ndisch zu erstellen.");
    EXPECT_EQ(String(IDS_CANCEL_CAPTION), L"&Beenden");
    EXPECT_EQ(String(IDS_FINISH_CAPTION), L"&Fertig stellen");
    EXPECT_EQ(String(IDS_CANCEL_QUESTION), L"Installation beenden?");
    EXPECT_EQ(String(IDS_FOLDER_LABEL), L"Zielverzeichnis");
    EXPECT_EQ(String(IDS_FOLDER_DIALOG_TITLE), L"Zielverzeichnis:");
}

// Wine accepts manifests that Windows XP refuses, so the text itself is checked.
TEST_F(SetupResources, TheManifestIsOneWindowsXpAccepts) {
    std::string manifest = Data(MAKEINTRESOURCEW(24), 1);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v2\">"), std::string::npos);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"highestAvailable\" uiAccess=\"false\"/>"),
              std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">True/PM"
                            "</dpiAware>"),
              std::string::npos);
    EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                            "PerMonitorV2, PerMonitor</dpiAwareness>"),
              std::string::npos);
    // XP's parser knows no namespace prefixes: each element names its own.
    EXPECT_EQ(manifest.find("xmlns:"), std::string::npos);
    EXPECT_EQ(manifest.find("asmv"), std::string::npos);
}

TEST_F(SetupResources, TheVersionNamesMakerProductAndRelease) {
    std::string version = Data(RT_VERSION, 1);
    ASSERT_GT(version.size(), sizeof(VS_FIXEDFILEINFO));
    auto contains = [&](const std::wstring& text) {
        return version.find(std::string(reinterpret_cast<const char*>(text.c_str()), text.size() * 2)) !=
               std::string::npos;
    };
    EXPECT_TRUE(contains(L"Orvendal"));
    EXPECT_TRUE(contains(L"Lumidor"));
    EXPECT_TRUE(contains(L"4.76"));
    const VS_FIXEDFILEINFO* fixed = nullptr;
    for (size_t i = 0; i + sizeof(VS_FIXEDFILEINFO) <= version.size(); i += 4) {
        auto candidate = reinterpret_cast<const VS_FIXEDFILEINFO*>(version.data() + i);
        if (candidate->dwSignature == VS_FFI_SIGNATURE) fixed = candidate;
    }
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwProductVersionMS, static_cast<DWORD>(MAKELONG(76, 4)));
}

TEST_F(SetupResources, IconAndLogoArePresent) {
    EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(IDI_SETUP), RT_GROUP_ICON), nullptr);
    std::string logo = Data(RT_BITMAP, IDB_LOGO);
    ASSERT_GE(logo.size(), sizeof(BITMAPINFOHEADER));
    auto header = reinterpret_cast<const BITMAPINFOHEADER*>(logo.data());
    EXPECT_EQ(header->biWidth, 88);
    EXPECT_EQ(header->biHeight, 31);
}

TEST_F(SetupResources, ReleaseNotesAreUtf16WithTheirVersionLine) {
    std::string bytes = Data(L"TXT", IDR_RELEASE_NOTES);
    ASSERT_GT(bytes.size(), 2u);
    ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    size_t firstLineEnd = text.find(L"\r\n");
    ASSERT_NE(firstLineEnd, std::wstring::npos);
    EXPECT_EQ(text.find_first_not_of(L'-'), firstLineEnd);
    EXPECT_EQ(text.compare(firstLineEnd + 2, 37, L"  Version 4.76\t\t(Datum: 18.09.2026)\r\n"), 0);
    EXPECT_NE(text.find(L"\r\n\r\n- "), std::wstring::npos);
    EXPECT_EQ(text.find(L"\n", 0), text.find(L"\r\n", 0) + 1);
    EXPECT_NE(text.find(L"f\u00fcr"), std::wstring::npos);
}

TEST_F(SetupResources, ThePayloadIsAZipArchive) {
    std::string payload = Data(L"ZIP", IDR_PAYLOAD);
    ASSERT_GT(payload.size(), 1000u);
    EXPECT_EQ(payload.substr(0, 4), std::string("PK\x03\x04", 4));
}
