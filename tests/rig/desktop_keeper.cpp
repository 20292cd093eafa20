// Holds the Wine desktop for a test run: Wine ends it soon after the last program with a window, and the next one
// would get a new desktop with an empty notification area. Ended with the wineserver.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr)) return 1;
    CloseHandle(CreateFileW(L"desktop-keeper.ready", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
