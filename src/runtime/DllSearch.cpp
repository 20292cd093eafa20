#include "DllSearch.h"

#include <windows.h>

namespace {
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// Looked up at run time: a static import of it would keep the program from
// starting at all on a system that lacks it.
SetDefaultDllDirectoriesFunction FindSetDefaultDllDirectories() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return nullptr;
    const FARPROC found = GetProcAddress(kernel, "SetDefaultDllDirectories");
    // Through the generic function type, which GCC lets any function cast to.
    return reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(found));
}
}  // namespace

bool RestrictDllSearchToSystem() {
    const SetDefaultDllDirectoriesFunction setDefault = FindSetDefaultDllDirectories();
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
    SetDllDirectoryW(L"");
    return false;
}
