#include "TextRegion.h"

#include <windows.h>

#include "../runtime/Forms.h"
#include "../runtime/Text.h"

void CutWindowToText(const Form& form, const std::wstring& text) {
    // The window's own DC, asked for anew: Wine brings it up to date only
    // then, and a hidden window moved off every screen would otherwise draw
    // through a surface it has already freed.
    HDC dc = GetDC(form.hWnd());
    const std::string bytes = ToAnsi(text);
    BeginPath(dc);
    // Its length in bytes, as the code page spells it: a kanji separator takes two.
    // cppcheck-suppress lstrlenACalled ; c_str() is always readable and ends in a zero
    TextOutA(dc, 0, 0, bytes.c_str(), lstrlenA(bytes.c_str()));
    EndPath(dc);
    HRGN region = PathToRegion(dc);
    // Once set, the region belongs to the window, which frees the one before.
    if (region && !SetWindowRgn(form.hWnd(), region, TRUE)) DeleteObject(region);
    ReleaseDC(form.hWnd(), dc);
    form.Refresh();
}
