// Unpacking archives: folders on the way, times, damage, hostile names,
// skipped and locked files.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "install/PayloadExtraction.h"

namespace {

// Archives made by the build for these tests.
std::wstring Archive(const wchar_t* variant) {
    const wchar_t* folder = _wgetenv(L"LUMIDOR_TEST_ARCHIVES");
    return std::wstring(folder ? folder : L"") + L"\\" + variant + L"\\lumipg_payload.zip";
}

class Unpacking : public testing::Test {
protected:
    CTempFolder temp;
    std::wstring target = temp.path() + L"Lumidor\\";
    std::wstring before = CurrentDirectory();
    void SetUp() override { CreateDirectoryW(target.c_str(), nullptr); }
    void TearDown() override { SetCurrentDirectoryW(before.c_str()); }
    int Unpack(const wchar_t* variant, int keep = 0) {
        return UnpackArchive(Archive(variant).c_str(), target.c_str(), keep);
    }
    bool Exists(const std::wstring& name) {
        return GetFileAttributesW((target + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

}  // namespace

TEST_F(Unpacking, MissingFolderEntriesAreMadeOnTheWay) {
    ASSERT_EQ(Unpack(L"missing_folders"), 0);
    EXPECT_TRUE(Exists(L"Toolbars\\Tessel_16.png"));
    EXPECT_TRUE(Exists(L"Plugins\\Icons.dll"));
    EXPECT_TRUE(Exists(L"lumi32.exe"));
    // The installation folder stays the current directory.
    EXPECT_EQ(CurrentDirectory() + L"\\", target);
}

TEST_F(Unpacking, EveryFileCarriesItsEntryTime) {
    ASSERT_EQ(Unpack(L"missing_folders"), 0);
    FILETIME local, expected;
    // 18.09.2026 12:00:00 as stored, read as local time.
    DosDateTimeToFileTime(((2026 - 1980) << 9) | (9 << 5) | 18, 12 << 11, &local);
    LocalFileTimeToFileTime(&local, &expected);
    for (const wchar_t* name : {L"lumi32.exe", L"Toolbars\\Corvane_24.png"}) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        ASSERT_TRUE(GetFileAttributesExW((target + name).c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &expected), 0) << name;
        EXPECT_EQ(CompareFileTime(&data.ftCreationTime, &expected), 0) << name;
    }
}

// The threads stop at the first failure; entries before it stay unpacked.
TEST_F(Unpacking, ACrcErrorOrAnEntryShorterThanDeclaredFails) {
    // The short entry's check sum matches what it holds: only the size tells.
    for (const wchar_t* variant : {L"crc_error", L"short_entry"}) {
        EXPECT_EQ(Unpack(variant), -1) << variant;
        EXPECT_TRUE(Exists(L"lumi32.exe")) << variant;
    }
}

TEST(UnpackingThreads, TwoPerCoreAtMostFourAndNoMoreThanFiles) {
    EXPECT_EQ(UnpackingThreads(1, 2000), 2);
    EXPECT_EQ(UnpackingThreads(2, 2000), 4);
    EXPECT_EQ(UnpackingThreads(3, 2000), 4);
    EXPECT_EQ(UnpackingThreads(16, 2000), 4);
    EXPECT_EQ(UnpackingThreads(16, 3), 3);
    EXPECT_EQ(UnpackingThreads(4, 0), 1);
}

TEST_F(Unpacking, ATruncatedArchiveFailsAndLeavesTheFolderAlone) {
    EXPECT_EQ(Unpack(L"truncated"), -1);
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_FALSE(Exists(L"lumi32.exe"));
}

TEST_F(Unpacking, AnArchiveWithoutFilesFails) {
    EXPECT_EQ(Unpack(L"folders_only"), -1);
    EXPECT_TRUE(Exists(L"Toolbars"));
}

TEST_F(Unpacking, NamesThatLeaveTheFolderAreSkipped) {
    ASSERT_EQ(Unpack(L"hostile_names"), 0);
    EXPECT_TRUE(Exists(L"ok.txt"));
    EXPECT_TRUE(Exists(L"Sub\\harmless..txt"));
    for (const wchar_t* escaped : {L"escaped_parent.txt", L"escaped_backslash.txt", L"escaped_nested.txt"}) {
        EXPECT_EQ(GetFileAttributesW((temp.path() + escaped).c_str()), INVALID_FILE_ATTRIBUTES) << escaped;
    }
    EXPECT_FALSE(Exists(L"escaped_root.txt"));
    EXPECT_EQ(GetFileAttributesW(L"C:\\escaped_root.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(L"C:\\escaped_root2.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(Exists(L"escaped_drive.txt"));
}

TEST(EntryNames, OnlyRelativeNamesBelowTheFolderAreSafe) {
    EXPECT_TRUE(IsSafeEntryName(L"lumi32.exe"));
    EXPECT_TRUE(IsSafeEntryName(L"Plugins/Icons.dll"));
    EXPECT_TRUE(IsSafeEntryName(L"a..b/c..d"));
    EXPECT_TRUE(IsSafeEntryName(L"Help/"));
    EXPECT_FALSE(IsSafeEntryName(L""));
    EXPECT_FALSE(IsSafeEntryName(L"../x"));
    EXPECT_FALSE(IsSafeEntryName(L"a\\..\\..\\x"));
    EXPECT_FALSE(IsSafeEntryName(L"a/.."));
    EXPECT_FALSE(IsSafeEntryName(L"/x"));
    EXPECT_FALSE(IsSafeEntryName(L"\\x"));
    EXPECT_FALSE(IsSafeEntryName(L"C:x"));
    EXPECT_FALSE(IsSafeEntryName(L"x.txt:stream"));
}

TEST_F(Unpacking, TheKeptIconLibraryIsNotTouched) {
    CreateDirectoryW((target + L"Plugins").c_str(), nullptr);
    WriteFileBytes(target + L"Plugins\\Icons.dll", "installed");
    ASSERT_EQ(Unpack(L"missing_folders", 1), 0);
    EXPECT_EQ(ReadFileBytes(target + L"Plugins\\Icons.dll"), "installed");

    // Any other value than 1 replaces it.
    ASSERT_EQ(Unpack(L"missing_folders", 2), 0);
    EXPECT_NE(ReadFileBytes(target + L"Plugins\\Icons.dll"), "installed");
}

TEST_F(Unpacking, ALockedFileIsSkippedAndTheRestArrives) {
    WriteFileBytes(target + L"lumi32.exe", "running");
    HANDLE locked = CreateFileW((target + L"lumi32.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    int result = Unpack(L"missing_folders");
    CloseHandle(locked);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFileBytes(target + L"lumi32.exe"), "running");
    EXPECT_TRUE(Exists(L"lu_uninstall.exe"));
}

TEST_F(Unpacking, AFolderThatCannotBeEnteredFails) {
    EXPECT_EQ(UnpackArchive(Archive(L"missing_folders").c_str(), L"R:\\nirgendwo\\", 0), -1);
    EXPECT_EQ(CurrentDirectory(), before);
}

TEST(PayloadResource, TheTestRunnerCarriesNone) {
    EXPECT_EQ(ExtractPayload(1974, L"ZIP", L"lumipg_x32.zip", L"C:\\", 0), -1);
    EXPECT_EQ(LongestPayloadEntryName(1974, L"ZIP"), 0u);
}

namespace {

// A suspended copy of the test runner: a process id that is in use.
struct CChildProcess {
    PROCESS_INFORMATION info{};
    CChildProcess() {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        CreateProcessW(self, nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup, &info);
    }
    ~CChildProcess() {
        TerminateProcess(info.hProcess, 0);
        WaitForSingleObject(info.hProcess, INFINITE);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
};

std::wstring RunFolder(const CTempFolder& temp, DWORD processId, int n) {
    return temp / (L"lumidor-setup-" + std::to_wstring(processId) + L"-" + std::to_wstring(n));
}

}  // namespace

TEST(AbandonedTempFolders, OnlyTheArchivesOfEndedRunsAreRemoved) {
    CTempFolder temp;
    CChildProcess running, ended;
    ASSERT_NE(running.info.hProcess, nullptr);
    ASSERT_NE(ended.info.hProcess, nullptr);
    TerminateProcess(ended.info.hProcess, 0);
    WaitForSingleObject(ended.info.hProcess, INFINITE);
    const DWORD gone = 0x7FFFFFF0;  // no such process

    auto plant = [&](const std::wstring& folder, bool other) {
        CreateDirectoryW(folder.c_str(), nullptr);
        WriteFileBytes(folder + L"\\lumipg_x32.zip", "PK");
        if (other) WriteFileBytes(folder + L"\\notiz.txt", "vom Benutzer");
    };
    std::wstring endedRun = RunFolder(temp, ended.info.dwProcessId, 1);
    std::wstring goneRun = RunFolder(temp, gone, 1);
    std::wstring runningRun = RunFolder(temp, running.info.dwProcessId, 1);
    std::wstring withOther = RunFolder(temp, gone, 2);
    std::wstring notOurs = temp / L"lumidor-setup-x-1";
    for (const auto& folder : {endedRun, goneRun, runningRun, notOurs}) plant(folder, false);
    plant(withOther, true);
    WriteFileBytes(RunFolder(temp, gone, 3), "a file, not a folder");

    RemoveAbandonedTempFolders(temp.path().c_str(), L"lumipg_x32.zip");

    EXPECT_FALSE(FolderExists(endedRun));
    EXPECT_FALSE(FolderExists(goneRun));
    EXPECT_EQ(ReadFileBytes(runningRun + L"\\lumipg_x32.zip"), "PK");
    EXPECT_EQ(ReadFileBytes(notOurs + L"\\lumipg_x32.zip"), "PK");
    EXPECT_EQ(GetFileAttributesW((withOther + L"\\lumipg_x32.zip").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFileBytes(withOther + L"\\notiz.txt"), "vom Benutzer");
    EXPECT_EQ(ReadFileBytes(RunFolder(temp, gone, 3)), "a file, not a folder");
}
