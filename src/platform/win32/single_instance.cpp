#include "platform/win32/single_instance.h"

#include <windows.h>

namespace tarvex {

// The handle is deliberately kept open: process exit releases the lock.
bool takeSingleInstanceLock() {
    ::SetLastError(ERROR_SUCCESS);
    const HANDLE lock = ::CreateMutexW(nullptr, TRUE, L"Tarvex");
    return lock != nullptr && ::GetLastError() == ERROR_SUCCESS;
}

} // namespace tarvex
