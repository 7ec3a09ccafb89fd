// shell32's functions, bound on first use. Importing shell32 makes every start
// load it and the DLLs it imports (under Wine about 8 ms of a 200 ms start),
// while only a drop and opening a program or page call into it. shell32 is
// one of Windows' known DLLs, so loading it by name cannot pick up a planted
// copy.
#pragma once

#include <windows.h>

namespace tarvex {

inline HMODULE shellLibrary() {
    static const HMODULE shell = ::LoadLibraryW(L"shell32.dll");
    return shell;
}

// Nothing when shell32 or the function is missing.
template <typename Function> Function* shellFunction(const char* name) {
    const HMODULE shell = shellLibrary();
    const FARPROC address = shell ? ::GetProcAddress(shell, name) : nullptr;
    // GCC accepts a cast between unrelated function types only through this one.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(address));
}

} // namespace tarvex
