// Files and folders scheduled for deletion at the next restart.
#include "platform/RestartRemovals.h"

#include <wchar.h>

#include "platform/Registry.h"
#include "platform/Scoped.h"
#include "platform/Text.h"

namespace {

const wchar_t kSessionManagerKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingValue[] = L"PendingFileRenameOperations";

// A scheduled path ("\??\C:\..."; "!\??\..." marks one that may be replaced)
// as a path the file functions take.
const wchar_t* PlainPath(const wchar_t* scheduled) {
    if (scheduled[0] == L'!') ++scheduled;
    return wcsncmp(scheduled, L"\\??\\", 4) == 0 ? scheduled + 4 : scheduled;
}

}  // namespace

void CancelRestartRemovalsWithin(const FileIdentity& folder) {
    CScopedKey key;
    if (OpenKey(HKEY_LOCAL_MACHINE, kSessionManagerKey, KEY_QUERY_VALUE | KEY_SET_VALUE, key) != ERROR_SUCCESS) return;
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key.get(), kPendingValue, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ || bytes == 0)
        return;
    // Room for terminators the stored data may lack.
    CHeapBlock pairs(bytes + 4 * sizeof(wchar_t), true);
    CHeapBlock kept(bytes + 4 * sizeof(wchar_t), true);
    if (!pairs || !kept ||
        RegQueryValueExW(key.get(), kPendingValue, nullptr, &type, pairs.as<BYTE>(), &bytes) != ERROR_SUCCESS)
        return;

    // Source and target after each other; an empty target is a deletion.
    const wchar_t* from = pairs.as<wchar_t>();
    const wchar_t* end = from + bytes / sizeof(wchar_t);
    wchar_t* to = kept.as<wchar_t>();
    bool cancelled = false;
    while (from < end && *from != L'\0') {
        const wchar_t* target = from + wcslen(from) + 1;
        if (target >= end) break;
        const wchar_t* next = target + wcslen(target) + 1;
        if (target[0] == L'\0' && PathIsWithin(PlainPath(from), folder)) {
            cancelled = true;
        } else {
            size_t chars = static_cast<size_t>(next - from);
            wmemcpy(to, from, chars);
            to += chars;
        }
        from = next;
    }
    if (!cancelled) return;
    *to++ = L'\0';
    size_t keptBytes = static_cast<size_t>(to - kept.as<wchar_t>()) * sizeof(wchar_t);
    if (keptBytes <= sizeof(wchar_t)) {
        RegDeleteValueW(key.get(), kPendingValue);
    } else {
        RegSetValueExW(key.get(), kPendingValue, 0, REG_MULTI_SZ, kept.as<BYTE>(), static_cast<DWORD>(keptBytes));
    }
}
