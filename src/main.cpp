#include <windows.h>

#include "modules/modStart.h"
#include "runtime/Forms.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    Main();
    RunMessageLoop();
    return 0;
}
