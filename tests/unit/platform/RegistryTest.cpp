// Registry service: created paths, value sizes, bounded reads.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <string>

#include "platform/Registry.h"

namespace {

const wchar_t kTestKey[] = L"Software\\LumidorUnitTests";

class Registry : public testing::Test {
protected:
    void TearDown() override { SHDeleteKeyW(HKEY_CURRENT_USER, kTestKey); }

    std::wstring Path(const wchar_t* below) { return std::wstring(kTestKey) + L"\\" + below; }

    DWORD SizeOf(const std::wstring& path, const wchar_t* name, DWORD* type) {
        HKEY key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 0;
        DWORD size = 0;
        RegQueryValueExW(key, name, nullptr, type, nullptr, &size);
        RegCloseKey(key);
        return size;
    }
};

}  // namespace

TEST_F(Registry, DefaultValuesCreateEveryMissingKey) {
    EXPECT_EQ(SetDefaultValue(HKEY_CURRENT_USER, Path(L"a\\b\\c").c_str(), L"\"C:\\x\\lumi32.exe\" \"%1\""),
              ERROR_SUCCESS);
    wchar_t out[260];
    EXPECT_EQ(ReadStringValue(HKEY_CURRENT_USER, Path(L"a\\b\\c").c_str(), nullptr, out, 260), 1);
    EXPECT_STREQ(out, L"\"C:\\x\\lumi32.exe\" \"%1\"");
}

TEST_F(Registry, NamedValuesHaveTheirExactSizes) {
    CScopedKey key;
    ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, Path(L"values").c_str(), key), ERROR_SUCCESS);
    SetStringValue(key.get(), L"DisplayName", L"Lumidor");
    SetStringValue(key.get(), L"Empty", L"");
    SetDwordValue(key.get(), L"NoModify", 1);
    key.reset();

    DWORD type = 0;
    EXPECT_EQ(SizeOf(Path(L"values"), L"DisplayName", &type), 16u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(SizeOf(Path(L"values"), L"Empty", &type), 2u);
    EXPECT_EQ(SizeOf(Path(L"values"), L"NoModify", &type), 4u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
}

TEST_F(Registry, ReadsAreBoundedByTheirBuffer) {
    CScopedKey key;
    ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, Path(L"long").c_str(), key), ERROR_SUCCESS);
    SetStringValue(key.get(), L"fits", std::wstring(259, L'f').c_str());
    SetStringValue(key.get(), L"toolong", std::wstring(260, L't').c_str());
    SetDwordValue(key.get(), L"number", 7);
    key.reset();

    wchar_t out[260];
    EXPECT_EQ(ReadStringValue(HKEY_CURRENT_USER, Path(L"long").c_str(), L"fits", out, 260), 1);
    EXPECT_EQ(wcslen(out), 259u);
    EXPECT_EQ(ReadStringValue(HKEY_CURRENT_USER, Path(L"long").c_str(), L"toolong", out, 260), 0);
    EXPECT_STREQ(out, L"");
    EXPECT_EQ(ReadStringValue(HKEY_CURRENT_USER, Path(L"long").c_str(), L"number", out, 260), 0);
    EXPECT_EQ(ReadStringValue(HKEY_CURRENT_USER, Path(L"absent").c_str(), L"x", out, 260), 0);
}

TEST_F(Registry, DeletingAMissingKeyIsNoError) {
    EXPECT_EQ(DeleteKey(HKEY_CURRENT_USER, Path(L"never").c_str()), ERROR_SUCCESS);
    SetDefaultValue(HKEY_CURRENT_USER, Path(L"gone").c_str(), L"x");
    EXPECT_EQ(DeleteKey(HKEY_CURRENT_USER, Path(L"gone").c_str()), ERROR_SUCCESS);
    CScopedKey key;
    EXPECT_TRUE(IsMissingKey(OpenKey(HKEY_CURRENT_USER, Path(L"gone").c_str(), KEY_QUERY_VALUE, key)));
}

TEST_F(Registry, TreesGoWithEverythingBelowThemAndMissingOnesAreNoError) {
    SetDefaultValue(HKEY_CURRENT_USER, Path(L"tree\\shell\\open\\command").c_str(), L"x");
    SetDefaultValue(HKEY_CURRENT_USER, Path(L"tree\\DefaultIcon").c_str(), L"y");
    SetDefaultValue(HKEY_CURRENT_USER, Path(L"treeSibling").c_str(), L"z");
    EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, Path(L"tree").c_str()), ERROR_SUCCESS);
    CScopedKey key;
    EXPECT_NE(OpenKey(HKEY_CURRENT_USER, Path(L"tree").c_str(), KEY_READ, key), ERROR_SUCCESS);
    EXPECT_EQ(OpenKey(HKEY_CURRENT_USER, Path(L"treeSibling").c_str(), KEY_READ, key), ERROR_SUCCESS);
    EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, Path(L"tree").c_str()), ERROR_SUCCESS);
    EXPECT_EQ(DeleteValue(HKEY_CURRENT_USER, Path(L"tree").c_str(), L"gone"), ERROR_SUCCESS);
}

TEST_F(Registry, AKeyIsEmptyWithNothingButAnEmptyDefaultValue) {
    auto empty = [&](const wchar_t* below) { return IsKeyEmpty(HKEY_CURRENT_USER, Path(below).c_str()); };
    CScopedKey key;
    CreateKey(HKEY_CURRENT_USER, Path(L"bare").c_str(), key);
    SetDefaultValue(HKEY_CURRENT_USER, Path(L"emptyDefault").c_str(), L"");
    SetDefaultValue(HKEY_CURRENT_USER, Path(L"default").c_str(), L"jpegfile");
    CreateKey(HKEY_CURRENT_USER, Path(L"named").c_str(), key);
    SetStringValue(key.get(), L"Content Type", L"image/jpeg");
    CreateKey(HKEY_CURRENT_USER, Path(L"parent\\child").c_str(), key);
    key.reset();
    EXPECT_TRUE(empty(L"bare"));
    EXPECT_TRUE(empty(L"emptyDefault"));
    EXPECT_FALSE(empty(L"default"));
    EXPECT_FALSE(empty(L"named"));
    EXPECT_FALSE(empty(L"parent"));
    EXPECT_FALSE(empty(L"missing"));
}
