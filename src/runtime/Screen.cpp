#include "Screen.h"

#include <windows.h>

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
float ScreenObject::Width() const { return static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) * TwipsPerPixelX(); }
float ScreenObject::Height() const { return static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) * TwipsPerPixelY(); }
