#include <windows.h>

#include "modules/modStart.h"
#include "runtime/DllSearch.h"
#include "runtime/Forms.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RestrictDllSearchToSystem();
    Main();
    RunMessageLoop();
    return 0;
}
