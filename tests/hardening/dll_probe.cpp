// Loads planted.dll by its bare name, as a system DLL loads its helpers.
// With --restricted it first runs the program's own start-up restriction.
// Exit code: 0 when the DLL loaded, 1 when it did not.
#include <windows.h>

#include <cwchar>

#include "runtime/DllSearch.h"

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wcscmp(argv[1], L"--restricted") == 0) RestrictDllSearchToSystem();
    return LoadLibraryW(L"planted.dll") ? 0 : 1;
}
