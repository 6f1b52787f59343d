// Shell services: shortcuts, special folders and the association notice.
#include "platform/Shell.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/Scoped.h"
#include "platform/Text.h"

int CreateShellLink(const wchar_t* linkPath, const ShellLinkFields& fields) {
    CComScope com;
    CComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return 0;
    link->SetPath(fields.target);
    if (fields.arguments) link->SetArguments(fields.arguments);
    if (fields.workingDirectory) link->SetWorkingDirectory(fields.workingDirectory);
    if (fields.iconFile) link->SetIconLocation(fields.iconFile, fields.iconIndex);
    if (fields.description) link->SetDescription(fields.description);

    CComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return 0;
    return SUCCEEDED(file->Save(linkPath, TRUE)) ? 1 : 0;
}

void GetSpecialFolderPath(int csidl, wchar_t* out, size_t cchOut) {
    if (cchOut == 0) return;
    out[0] = L'\0';
    wchar_t path[MAX_PATH] = L"";
    LPITEMIDLIST items = nullptr;
    bool found = false;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) && items) {
        found = SHGetPathFromIDListW(items, path) && path[0] != L'\0';
        CoTaskMemFree(items);
    }
    if (!found && !GetWindowsDirectoryW(path, MAX_PATH)) path[0] = L'\0';
    CopyText(out, cchOut, path);
}

void NotifyAssociationsChanged(UINT flags) {
    SHChangeNotify(SHCNE_ASSOCCHANGED, flags, nullptr, nullptr);
}
