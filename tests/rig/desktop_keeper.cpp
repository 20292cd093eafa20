// Holds the Wine desktop open for a whole test run. Wine ends its desktop
// process a few seconds after the last program with a window has ended, and
// the next program starts a new one that inherits that program's output; a
// test run would otherwise go through dozens of desktops, each with an empty
// notification area. Started once by the test script, ended with the
// wineserver.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // A window of its own is what makes this process a user of the desktop.
    HWND window = CreateWindowExW(0, L"STATIC", L"Kalvory desktop keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) return 1;
    // Tells the script that the desktop is held.
    HANDLE ready = CreateFileW(L"desktop-keeper.ready", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
