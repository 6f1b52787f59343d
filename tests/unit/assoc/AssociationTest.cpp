// Which entries an extension gets on each Windows, what a pass runs, and the
// writer's registry entries.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <string>

#include "assoc/AssociationPass.h"
#include "assoc/AssociationWriter.h"
#include "platform/Registry.h"

namespace {

std::wstring Read(HKEY root, const std::wstring& path, const wchar_t* name = nullptr) {
    wchar_t out[1024];
    return ReadStringValue(root, path.c_str(), name, out, 1024) ? out : L"<none>";
}

bool KeyExists(HKEY root, const std::wstring& path) {
    CScopedKey key;
    return OpenKey(root, path.c_str(), KEY_QUERY_VALUE, key) == ERROR_SUCCESS;
}

// The type of a value, or -1 when it is absent.
long ValueType(HKEY root, const std::wstring& path, const wchar_t* name) {
    CScopedKey key;
    DWORD type = 0;
    if (OpenKey(root, path.c_str(), KEY_QUERY_VALUE, key) != ERROR_SUCCESS ||
        RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return -1;
    return static_cast<long>(type);
}

const std::wstring kFileExts = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.";
const std::wstring kCapabilities = L"SOFTWARE\\Lumidor\\Capabilities\\FileAssociations";

}  // namespace

TEST(AssociationPlan, XpWritesTheExplorerChoiceAndTheMachineClassOnlyForAllUsers) {
    AssociationPlan plan = PlanFileAssociation(L"gif", 1, 0, 0, 1, 7);
    EXPECT_TRUE(plan.explorerProgId);
    EXPECT_FALSE(plan.machineDefaultClass);
    EXPECT_FALSE(plan.capability);
    EXPECT_FALSE(plan.userChoice);
    EXPECT_TRUE(PlanFileAssociation(L"gif", 1, 0, 1, 1, 7).machineDefaultClass);
    // jpg is no exception on XP.
    EXPECT_FALSE(PlanFileAssociation(L"jpg", 1, 0, 0, 0, 7).machineDefaultClass);
}

TEST(AssociationPlan, VistaAndLaterAlwaysTakeJpgPngTifAndTheChosenRows) {
    for (const wchar_t* always : {L"jpg", L"png", L"tif", L"JPG"}) {
        AssociationPlan plan = PlanFileAssociation(always, 0, 1, 0, 0, 7);
        EXPECT_TRUE(plan.machineDefaultClass) << always;
        EXPECT_FALSE(plan.userChoice) << always;
        EXPECT_TRUE(plan.capability) << always;
    }
    for (const wchar_t* sharing : {L"jpeg", L"jpe", L"jfif", L"tiff"}) {
        EXPECT_FALSE(PlanFileAssociation(sharing, 0, 1, 0, 0, 7).machineDefaultClass) << sharing;
    }
    AssociationPlan chosen = PlanFileAssociation(L"swf", 0, 1, 0, 1, 7);
    EXPECT_TRUE(chosen.machineDefaultClass);
    EXPECT_TRUE(chosen.userChoice);
    EXPECT_FALSE(chosen.explorerProgId);
}

TEST(AssociationPlan, OlderSystemsGetMachineClassesOnly) {
    AssociationPlan plan = PlanFileAssociation(L"gif", 0, 0, 1, 1, 7);
    EXPECT_TRUE(plan.machineDefaultClass);
    EXPECT_FALSE(plan.explorerProgId || plan.capability || plan.userChoice);
    EXPECT_TRUE(PlanFileAssociation(L"png", 0, 0, 0, 0, 7).machineDefaultClass);
}

// Windows 8 and later reset a user's choice without the system's hash: the
// old choice goes, no new one is written; Vista and 7 take it as written.
TEST(AssociationPlan, AUserChoiceIsWrittenOnlyWhereTheSystemTakesItWithoutItsHash) {
    const struct {
        int code;
        bool vistaOrLater;
        bool written;
    } systems[] = {{0, false, false}, {1, false, false}, {5, false, false}, {6, true, true},
                   {7, true, true},   {8, true, false},  {10, true, false}, {11, true, false}};
    for (const auto& system : systems) {
        EXPECT_EQ(AcceptsUnhashedUserChoice(system.code), system.written) << system.code;
        AssociationPlan plan = PlanFileAssociation(L"jpg", 0, system.vistaOrLater, 0, 1, system.code);
        EXPECT_EQ(plan.removeUserChoice, system.vistaOrLater) << system.code;
        EXPECT_EQ(plan.userChoice, system.written) << system.code;
        EXPECT_FALSE(PlanFileAssociation(L"jpg", 0, system.vistaOrLater, 0, 0, system.code).removeUserChoice);
    }
}

TEST(PassPlan, RunsNotifiesAndHidesBuiltInAppsByVersion) {
    // Windows 10 with a request: everything, NoOpenWith included.
    PassPlan win10 = PlanAssociationPass(1, 1, 1, 10);
    EXPECT_TRUE(win10.runs && win10.useSelection && win10.allRows && win10.noOpenWith && win10.notifyShell);
    // Windows 11 and 7: no NoOpenWith.
    EXPECT_FALSE(PlanAssociationPass(1, 1, 1, 11).noOpenWith);
    EXPECT_TRUE(PlanAssociationPass(1, 1, 1, 11).notifyShell);
    EXPECT_FALSE(PlanAssociationPass(1, 1, 1, 7).noOpenWith);
    // Nothing requested: the rows still run on Vista and later, without notices.
    PassPlan quiet = PlanAssociationPass(1, 0, 1, 10);
    EXPECT_TRUE(quiet.runs && quiet.allRows);
    EXPECT_FALSE(quiet.noOpenWith || quiet.notifyShell);
    // XP: selected rows only.
    PassPlan xp = PlanAssociationPass(1, 1, 0, 5);
    EXPECT_TRUE(xp.runs && !xp.allRows && xp.notifyShell);
}

TEST(PassPlan, ARefusedQuestionRunsAsIfNothingWasRequested) {
    PassPlan vista = PlanAssociationPass(0, 1, 1, 10);
    EXPECT_TRUE(vista.runs && vista.allRows);
    EXPECT_FALSE(vista.useSelection || vista.noOpenWith || vista.notifyShell);
    PassPlan xp = PlanAssociationPass(0, 1, 0, 5);
    EXPECT_FALSE(xp.runs || xp.notifyShell);
}

TEST(PassPlan, IconTextsByKind) {
    wchar_t icon[264];
    ASSERT_TRUE(IconLocationFor(IconKind::Program, L"C:\\L\\lumi32.exe", icon, 264));
    EXPECT_STREQ(icon, L"C:\\L\\lumi32.exe,0");
    IconLocationFor(IconKind::Video, L"C:\\L\\lumi32.exe", icon, 264);
    EXPECT_STREQ(icon, L"C:\\L\\lumi32.exe,12");
    IconLocationFor(IconKind::Audio, L"C:\\L\\lumi32.exe", icon, 264);
    EXPECT_STREQ(icon, L"C:\\L\\lumi32.exe,11");
    IconLocationFor(IconKind::File, L"C:\\L\\lumi32.exe", icon, 264);
    EXPECT_STREQ(icon, L"%1");
}

// Extensions of our own, so that the prefix's real classes stay untouched.
class Writer : public testing::Test {
protected:
    void TearDown() override {
        for (const wchar_t* key : {L"SOFTWARE\\Classes\\.zzq", L"SOFTWARE\\Classes\\.zzr", L"SOFTWARE\\Classes\\Lumidor.zzq",
                                   L"SOFTWARE\\Lumidor"})
            SHDeleteKeyW(HKEY_LOCAL_MACHINE, key);
        SHDeleteKeyW(HKEY_CURRENT_USER, (kFileExts + L"zzq").c_str());
        SHDeleteKeyW(HKEY_CURRENT_USER, (kFileExts + L"zzr").c_str());
    }
};

TEST_F(Writer, ASelectedExtensionOnVistaGetsClassCapabilityAndAFreshUserChoice) {
    CScopedKey capabilities;
    ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, kCapabilities.c_str(), capabilities), ERROR_SUCCESS);
    capabilities.reset();
    CScopedKey old;
    ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, (kFileExts + L"zzr\\UserChoice").c_str(), old), ERROR_SUCCESS);
    SetStringValue(old.get(), L"Progid", L"Other.zzr");
    SetStringValue(old.get(), L"Hash", L"abc");
    old.reset();

    WriteFileAssociation(L"zzr", L"zzq", L"\"C:\\L\\lumi32.exe\" \"%1\"", L"C:\\L\\lumi32.exe,0", 0, 1, 0, 1);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.zzr"), L"Lumidor.zzq");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Lumidor.zzq"), L"Lumidor ZZQ File");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Lumidor.zzq\\shell\\open\\command"),
              L"\"C:\\L\\lumi32.exe\" \"%1\"");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Lumidor.zzq\\DefaultIcon"), L"C:\\L\\lumi32.exe,0");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, kCapabilities, L".zzr"), L"Lumidor.zzq");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, kFileExts + L"zzr\\UserChoice", L"Progid"), L"Lumidor.zzq");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, kFileExts + L"zzr\\UserChoice", L"Hash"), L"<none>");
}

TEST_F(Writer, WithoutTheCapabilityKeyEverythingElseIsStillWritten) {
    WriteFileAssociation(L"zzq", L"zzq", L"cmd", L"icon", 0, 1, 0, 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kCapabilities));
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Lumidor.zzq"), L"Lumidor ZZQ File");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.zzq"), L"<none>");  // not selected, not jpg/png/tif
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kFileExts + L"zzq\\UserChoice"));
    // Offered in "Open with" all the same: a value of no data named after the class.
    EXPECT_EQ(ValueType(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.zzq\\OpenWithProgids", L"Lumidor.zzq"), REG_NONE);
}

TEST_F(Writer, XpWritesTheExplorerProgIdAndLeavesTheMachineDefault) {
    WriteFileAssociation(L"zzq", L"zzq", L"cmd", L"icon", 1, 0, 0, 1);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, kFileExts + L"zzq"), L"");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, kFileExts + L"zzq", L"ProgID"), L"Lumidor.zzq");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.zzq"), L"<none>");
    WriteFileAssociation(L"zzq", L"zzq", L"cmd", L"icon", 1, 0, 1, 1);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.zzq"), L"Lumidor.zzq");
}

namespace {

// Writes down what the writer tells the installation's record.
struct ToldChanges : CRegistryChanges {
    std::wstring told;
    void KeyCreated(HKEY root, const wchar_t* path) override {
        told += (root == HKEY_CURRENT_USER ? L"made HKCU\\" : L"made HKLM\\") + std::wstring(path) + L"\n";
    }
    void DefaultReplaced(const wchar_t* extension, const wchar_t* former) override {
        told += L"replaced ." + std::wstring(extension) + L" " + former + L"\n";
    }
};

}  // namespace

TEST_F(Writer, TellsTheKeysItMadeAndTheForeignDefaultItReplacedOnlyTheFirstTime) {
    SetDefaultValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.zzr", L"zzrfile");
    ToldChanges changes;
    AssociationPassKeys pass;
    pass.changes = &changes;
    WriteFileAssociation(L"zzr", L"zzq", L"cmd", L"icon", 1, 0, 1, 1, &pass);
    EXPECT_EQ(changes.told, L"replaced .zzr zzrfile\n"
                            L"made HKLM\\SOFTWARE\\Classes\\.zzr\\OpenWithProgids\n"
                            L"made HKCU\\" + kFileExts + L"zzr\n");
    changes.told.clear();
    pass.classWritten = nullptr;
    WriteFileAssociation(L"zzr", L"zzq", L"cmd", L"icon", 1, 0, 1, 1, &pass);
    EXPECT_EQ(changes.told, L"");  // ours already: neither made nor replaced
}
