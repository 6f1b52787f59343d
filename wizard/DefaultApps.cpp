// Opening the system's own place for choosing default apps.
#include "wizard/DefaultApps.h"

#include <objbase.h>

#include "install/RegistrationRows.h"
#include "platform/Scoped.h"
#include "platform/SystemDlls.h"

namespace {

const wchar_t kDefaultAppsSettings[] = L"ms-settings:defaultapps";

// The interface as Windows 8 has it (declared here: the headers offer it
// only to programs built for Vista and later, which this one is not).
struct IApplicationAssociationRegistrationUI : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE LaunchAdvancedAssociationUI(LPCWSTR appRegistryName) = 0;
};
const CLSID kAssociationUiClass = {0x1968106d, 0xf3b5, 0x44cf, {0x89, 0x0e, 0x11, 0x6f, 0xcb, 0x9e, 0xce, 0xf1}};
const IID kAssociationUiInterface = {0x1f76a169, 0xf994, 0x40ac, {0x8f, 0xc8, 0x09, 0x59, 0xe8, 0x87, 0x47, 0x10}};

HRESULT LaunchAssociationDialog(const wchar_t* registeredName) {
    CComScope com;
    CComRef<IApplicationAssociationRegistrationUI> dialog;
    HRESULT result = CoCreateInstance(kAssociationUiClass, nullptr, CLSCTX_INPROC_SERVER, kAssociationUiInterface,
                                      dialog.put_void());
    return SUCCEEDED(result) ? dialog->LaunchAdvancedAssociationUI(registeredName) : result;
}

bool OpenAddress(const wchar_t* address) {
    return reinterpret_cast<INT_PTR>(sys::ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOW)) > 32;
}

}  // namespace

const DefaultAppsOpeners kSystemDefaultAppsOpeners = {LaunchAssociationDialog, OpenAddress};

void OpenDefaultsPage(DefaultsPage page, const DefaultAppsOpeners& openers) {
    switch (page) {
    case DefaultsPage::AssociationDialog: openers.launchAssociationDialog(kRegisteredApplicationName); break;
    case DefaultsPage::DefaultAppsSettings: openers.openAddress(kDefaultAppsSettings); break;
    case DefaultsPage::None: break;
    }
}
