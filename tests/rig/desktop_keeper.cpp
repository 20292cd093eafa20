// Holds the Wine desktop for a test run: Wine ends it soon after the last program with a window, and the next one
// would get a new desktop with an empty notification area. Ended with the wineserver. Started with "full-screen", it
// is a program in full screen instead: its window covers the screen, in front.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command, int) {
    const bool full = !lstrcmpA(command, "full-screen");
    const int w = full ? GetSystemMetrics(SM_CXSCREEN) : 1, h = full ? GetSystemMetrics(SM_CYSCREEN) : 1;
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, w, h, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    if (full) ShowWindow(window, SW_SHOW), SetForegroundWindow(window);
    if (!full) CloseHandle(CreateFileW(L"desktop-keeper.ready", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (MSG message; GetMessageW(&message, nullptr, 0, 0) > 0;) DispatchMessageW(&message);
    return 0;
}
