#include "modTrans.h"

namespace {
constexpr Integer kMostTranslucentLevel = 10;

// Alpha of each level, chosen by eye rather than computed: the steps are
// finer where the clock is still easy to read.
constexpr BYTE kAlphaOfLevel[kMostTranslucentLevel + 1] = {255, 230, 210, 190, 165, 135, 105, 75, 45, 15, 0};

LONG ExtendedStyle(HWND hwnd) { return GetWindowLongA(hwnd, GWL_EXSTYLE); }

void Redraw(HWND hwnd, UINT flags) {
    RECT nothing{0, 0, 0, 0};
    RedrawWindow(hwnd, &nothing, nullptr, flags);
}
}  // namespace

void SetTranslucence(HWND IlngHwnd, Integer IintLevel) {
    if (IintLevel >= 1 && IintLevel <= kMostTranslucentLevel)
        SetLayeredAlpha(IlngHwnd, kAlphaOfLevel[IintLevel]);
    else
        RemoveLayeredStyle(IlngHwnd);
}

void SetLayeredAlpha(HWND IlngHwnd, BYTE IbytAlpha) {
    const LONG style = ExtendedStyle(IlngHwnd);
    if ((style & WS_EX_LAYERED) == 0) SetWindowLongA(IlngHwnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
    SetLayeredWindowAttributes(IlngHwnd, 0, IbytAlpha, LWA_ALPHA);
    Redraw(IlngHwnd, RDW_ERASE);
}

void RemoveLayeredStyle(HWND IlngHwnd) {
    const LONG style = ExtendedStyle(IlngHwnd);
    if ((style & WS_EX_LAYERED) == 0) return;
    SetWindowLongA(IlngHwnd, GWL_EXSTYLE, style & ~WS_EX_LAYERED);
    Redraw(IlngHwnd, 0);
}
