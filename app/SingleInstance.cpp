// One setup program or removal at a time on the machine.
#include "app/SingleInstance.h"

namespace {

// "Global\": every session of the machine sees the same object. Where that
// namespace cannot be had, the session's own is the best there is.
const wchar_t* const kLockNames[] = {L"Global\\Lumidor.SetupOrRemoval", L"Lumidor.SetupOrRemoval"};

}  // namespace

bool CSetupInstanceLock::Acquire() {
    for (const wchar_t* name : kLockNames) {
        // The object lives while any holder runs, and the system closes the
        // handle of a process that ends in any way, so its mere existence
        // says that another run is going on; nobody waits on it.
        mutex_.reset(CreateMutexW(nullptr, FALSE, name));
        DWORD error = GetLastError();
        if (mutex_ && error == ERROR_ALREADY_EXISTS) mutex_.reset();  // the other run's, not ours to keep
        if (mutex_) return true;
        if (error == ERROR_ALREADY_EXISTS) return false;
        // Another account's run: its object exists but may not be opened.
        if (error == ERROR_ACCESS_DENIED) return false;
    }
    return true;
}
