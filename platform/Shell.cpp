// Shell services: shortcuts, special folders and the association notice.
#include "platform/Shell.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/Scoped.h"
#include "platform/Text.h"
#include "platform/SystemDlls.h"

namespace {

// A shell link object and its file interface; false when COM has none.
bool MakeShellLink(CComRef<IShellLinkW>& link, CComRef<IPersistFile>& file) {
    return SUCCEEDED(CoCreateInstance(__uuidof(ShellLink), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW),
                                      link.put_void())) &&
           SUCCEEDED(link->QueryInterface(__uuidof(IPersistFile), file.put_void()));
}

}  // namespace

int CreateShellLink(const wchar_t* linkPath, const ShellLinkFields& fields) {
    CComScope com;
    CComRef<IShellLinkW> link;
    CComRef<IPersistFile> file;
    if (!MakeShellLink(link, file)) return 0;
    // Working folder, show command and hot key keep the shell's defaults.
    if (fields.iconFile) link->SetIconLocation(fields.iconFile, fields.iconIndex);
    link->SetPath(fields.target);
    if (fields.arguments) link->SetArguments(fields.arguments);
    if (fields.description) link->SetDescription(fields.description);
    return SUCCEEDED(file->Save(linkPath, TRUE)) ? 1 : 0;
}

int ReadShellLinkTarget(const wchar_t* linkPath, wchar_t* out, size_t cchOut) {
    if (cchOut == 0) return 0;
    out[0] = L'\0';
    CComScope com;
    CComRef<IShellLinkW> link;
    CComRef<IPersistFile> file;
    if (!MakeShellLink(link, file) || FAILED(file->Load(linkPath, STGM_READ))) return 0;
    wchar_t target[MAX_PATH] = L"";
    if (link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK) return 0;
    return CopyText(out, cchOut, target) ? 1 : 0;
}

void GetSpecialFolderPath(int csidl, wchar_t* out, size_t cchOut) {
    if (cchOut == 0) return;
    out[0] = L'\0';
    wchar_t path[MAX_PATH] = L"";
    LPITEMIDLIST items = nullptr;
    bool found = false;
    if (SUCCEEDED(sys::SHGetSpecialFolderLocation(GetActiveWindow(), csidl, &items)) && items) {
        found = sys::SHGetPathFromIDListW(items, path) && path[0] != L'\0';
        CoTaskMemFree(items);
    }
    if (!found && !GetWindowsDirectoryW(path, MAX_PATH)) path[0] = L'\0';
    if (!EndsWithBackslash(path)) AppendText(path, L"\\");
    CopyText(out, cchOut, path);
}

void NotifyAssociationsChanged(UINT flags) {
    sys::SHChangeNotify(SHCNE_ASSOCCHANGED, flags, nullptr, nullptr);
}
