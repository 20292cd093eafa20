#include "Screen.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cmath>

ScreenObject Screen;

namespace {
// A DPI-aware process keeps the system DPI it started with (a new one takes
// effect at the next sign-in), and every conversion between twips and pixels
// asks for it, several times a tick of the clock: asked once per axis.
int gDpiX = 0;
int gDpiY = 0;

int ScreenDpi(int axis, int& known) {
    if (known > 0) return known;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, axis);
    ReleaseDC(nullptr, screen);
    known = dpi > 0 ? dpi : 96;
    return known;
}
}  // namespace

float ScreenObject::TwipsPerPixelX() const { return kTwipsPerInch / static_cast<float>(ScreenDpi(LOGPIXELSX, gDpiX)); }
float ScreenObject::TwipsPerPixelY() const { return kTwipsPerInch / static_cast<float>(ScreenDpi(LOGPIXELSY, gDpiY)); }
int TwipsToPixelsX(float twips) { return static_cast<int>(std::lrint(twips / Screen.TwipsPerPixelX())); }
int TwipsToPixelsY(float twips) { return static_cast<int>(std::lrint(twips / Screen.TwipsPerPixelY())); }
float PixelsToTwipsX(int pixels) { return static_cast<float>(pixels) * Screen.TwipsPerPixelX(); }
float PixelsToTwipsY(int pixels) { return static_cast<float>(pixels) * Screen.TwipsPerPixelY(); }

float ScreenObject::Width() const { return static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) * TwipsPerPixelX(); }
float ScreenObject::Height() const { return static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) * TwipsPerPixelY(); }

namespace {
struct Sighting {
    RECT window;
    LONG width, height;  // the least part that must be shown
    bool enough;
};

BOOL CALLBACK LookOnMonitor(HMONITOR, HDC, LPRECT monitor, LPARAM data) {
    auto& sighting = *reinterpret_cast<Sighting*>(data);
    RECT shown;
    sighting.enough = IntersectRect(&shown, monitor, &sighting.window) && shown.right - shown.left >= sighting.width &&
                      shown.bottom - shown.top >= sighting.height;
    return !sighting.enough;
}
}  // namespace

void BringIntoView(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const LONG width = r.right - r.left, height = r.bottom - r.top;
    Sighting sighting{r, width / 4, height / 2, false};
    EnumDisplayMonitors(nullptr, nullptr, LookOnMonitor, reinterpret_cast<LPARAM>(&sighting));
    if (sighting.enough) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    // The least move that takes it in; one larger than the work area keeps its top left corner there.
    const LONG x = std::max(work.left, std::min(r.left, work.right - width));
    const LONG y = std::max(work.top, std::min(r.top, work.bottom - height));
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {
// Clicked, the desktop comes to the front as one of these, as large as the
// monitor; the shell's own window and the desktop window are the others.
bool IsDesktop(HWND window) {
    wchar_t name[8] = L"";
    return window == GetShellWindow() || window == GetDesktopWindow() ||
           (GetClassNameW(window, name, 8) && (!lstrcmpW(name, L"WorkerW") || !lstrcmpW(name, L"Progman")));
}

// A program that draws its own caption (a browser, an editor, a terminal)
// has a client area as large as its window, which covers a monitor with no
// task bar when it is maximised; tool windows are overlays (the screen snip,
// task view); and a window may say that it is not in full screen.
bool MayBeFullScreen(HWND window) {
    return !(GetWindowLongW(window, GWL_STYLE) & WS_DLGFRAME) &&
           !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) && !GetPropW(window, L"NonRudeHWND");
}

// Only the shell knows of a game's exclusive Direct3D screen, which need not
// be a window covering the monitor, and of presentation mode.
bool ShellReportsFullScreen() {
    QUERY_USER_NOTIFICATION_STATE state{};
    return SUCCEEDED(SHQueryUserNotificationState(&state)) &&
           (state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE);
}
}  // namespace

// Asked five times a second: the cheap tests first, the class name last.
HWND FullScreenInFront(HWND window) {
    const HWND front = GetForegroundWindow();
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (!front || front == window || !IsWindowVisible(front) ||
        MonitorFromWindow(front, MONITOR_DEFAULTTONULL) != monitor)
        return nullptr;
    // The client area: a maximised window's caption and the task bar keep it short of the monitor's edges.
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    RECT client{};
    const bool covers = MayBeFullScreen(front) && GetMonitorInfoW(monitor, &info) && GetClientRect(front, &client) &&
                        ClientToScreen(front, reinterpret_cast<POINT*>(&client.left)) &&
                        ClientToScreen(front, reinterpret_cast<POINT*>(&client.right)) &&
                        client.left <= info.rcMonitor.left && client.top <= info.rcMonitor.top &&
                        client.right >= info.rcMonitor.right && client.bottom >= info.rcMonitor.bottom;
    return (covers || ShellReportsFullScreen()) && !IsDesktop(front) ? front : nullptr;
}
