// The benchmark's floor: a process that makes only the system calls an
// installation cannot avoid (common controls, the running-viewer test, one
// shell-link object, the icon reload and the association notice).
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    FindWindowW(L"Lumidor", nullptr);
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))))
        link->Release();
    CoUninitialize();
    SystemParametersInfoW(0x58, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    SHChangeNotify(SHCNE_ASSOCCHANGED, 0x3000, nullptr, nullptr);
    return 0;
}
