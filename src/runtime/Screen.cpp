#include "Screen.h"

#include <windows.h>

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

bool BringIntoView(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const LONG width = r.right - r.left, height = r.bottom - r.top;
    Sighting sighting{r, width / 4, height / 2, false};
    EnumDisplayMonitors(nullptr, nullptr, LookOnMonitor, reinterpret_cast<LPARAM>(&sighting));
    if (sighting.enough) return false;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor)) return false;
    const RECT& work = monitor.rcWork;
    // The least move that takes it in; one larger than the work area keeps its top left corner there.
    const LONG x = std::max(work.left, std::min(r.left, work.right - width));
    const LONG y = std::max(work.top, std::min(r.top, work.bottom - height));
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}
