// One setup program or removal at a time; the loader's guards where the
// search flags are unknown.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include "app/SingleInstance.h"
#include "platform/SystemDlls.h"

TEST(SetupInstanceLock, OnlyTheFirstHolderRunsUntilItEnds) {
    CSetupInstanceLock* first = new CSetupInstanceLock;
    ASSERT_TRUE(first->Acquire());
    CSetupInstanceLock second;
    EXPECT_FALSE(second.Acquire());
    delete first;  // the holder ends
    CSetupInstanceLock third;
    EXPECT_TRUE(third.Acquire());
}

namespace {

DWORD MajorVersion(HMODULE module) {
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")));
    DLLVERSIONINFO info = {sizeof(info)};
    return getVersion && SUCCEEDED(getVersion(&info)) ? info.dwMajorVersion : 0;
}

}  // namespace

TEST(CommonControls, WithoutSearchFlagsTheManifestsVersion6IsLoadedFromTheStore) {
    const wchar_t* manifest = _wgetenv(L"LUMIDOR_SETUP_MANIFEST");
    ASSERT_NE(manifest, nullptr);
    ACTCTXW context = {sizeof(context)};
    context.lpSource = manifest;
    HANDLE activation = CreateActCtxW(&context);
    ASSERT_NE(activation, INVALID_HANDLE_VALUE);
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(activation, &cookie));

    HMODULE uxTheme = nullptr;
    HMODULE comctl32 = sys::LoadComctl32WithoutSearchFlags(uxTheme);
    ASSERT_NE(comctl32, nullptr);
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(comctl32, path, MAX_PATH);
    // Wine's builtin comctl32 answers DllGetVersion with 5.81 in both places;
    // Windows answers 6 from the side-by-side store. Where it came from
    // tells on both.
    EXPECT_NE(StrStrIW(path, L"\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0."), nullptr)
        << path << " reports version " << MajorVersion(comctl32);
    EXPECT_NE(uxTheme, nullptr);  // loaded from the system folder ahead of it

    FreeLibrary(comctl32);
    if (uxTheme) FreeLibrary(uxTheme);
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(activation);
}
