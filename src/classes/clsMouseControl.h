#pragma once
#include <windows.h>

#include <string>

#include "../runtime/VBTypes.h"

// The mouse cursor and the window under it, read from the system at each
// call; and the drag of a window by the mouse, title bar or not.
class clsMouseControl {
public:
    // Each moves the cursor along one axis only; the other stays as it is.
    void SetNowX(Long Ix) const;
    void SetNowY(Long Iy) const;
    void SetVisible(Boolean Ivisible) const;
    Long NowX() const;
    Long NowY() const;

    // The window under the cursor and what it tells about itself; 0 or ""
    // when there is none.
    HWND HwndUnderMouse() const;
    std::wstring ClassUnderMouse() const;
    std::wstring CaptionUnderMouse() const;  // at most 255 bytes of it
    std::wstring TextUnderMouse() const;     // all of it

    // Lets the user drag the window as by its title bar; returns when the
    // left button is released. Call it while the left button is down.
    LRESULT CatchWindowAndMove(HWND IhWnd) const;

    // The cursor is shown (or hidden) afterwards, whatever other code has
    // done to the system's display counter before.
    void Show() const;
    void Hide() const;
};
