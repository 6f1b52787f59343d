// The benchmark's floor: a process that makes only the system calls an
// installation cannot avoid (common controls, the running-viewer test, one
// shell-link object, the icon reload and the association notice), or, with
// "noop", none at all.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    if (wcsstr(commandLine, L"noop")) return 0;
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
