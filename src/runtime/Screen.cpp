#include "Screen.h"

#include <windows.h>

ScreenObject Screen;

namespace {
int ScreenDpi(int axis) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, axis);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}
}  // namespace

float ScreenObject::TwipsPerPixelX() const { return kTwipsPerInch / static_cast<float>(ScreenDpi(LOGPIXELSX)); }
float ScreenObject::TwipsPerPixelY() const { return kTwipsPerInch / static_cast<float>(ScreenDpi(LOGPIXELSY)); }
float ScreenObject::Width() const { return static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) * TwipsPerPixelX(); }
float ScreenObject::Height() const { return static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) * TwipsPerPixelY(); }
