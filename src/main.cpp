#include <windows.h>

#include <cstdlib>
#include <exception>

#include "modules/modStart.h"
#include "runtime/DllSearch.h"
#include "runtime/Forms.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RestrictDllSearchToSystem();
    Main();
    RunMessageLoop();
    return 0;
}

// The library's own answer to an exception nothing caught writes the
// exception's demangled type to stderr, which a GUI program does not have,
// and then aborts; its demangler and printf were a fifth of the exe.
// Only the abort is left. The tests keep the library's answer.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
