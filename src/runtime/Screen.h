#pragma once
#include <windows.h>

// The screen object: the primary screen's size and the twips per pixel.
class ScreenObject {
public:
    float Width() const;
    float Height() const;
    float TwipsPerPixelX() const;
    float TwipsPerPixelY() const;
};

extern ScreenObject Screen;

constexpr float kTwipsPerInch = 1440.0f;

// Twips and pixels on the primary screen, rounded to the nearest pixel.
int TwipsToPixelsX(float twips);
int TwipsToPixelsY(float twips);
float PixelsToTwipsX(int pixels);
float PixelsToTwipsY(int pixels);

// A window that no monitor shows enough of to be grabbed is moved wholly
// into the work area of the nearest monitor, without activating it. Enough
// is a quarter of its width and half of its height on one monitor: two of
// the clock's eight characters, through the middle of the digits.
void BringIntoView(HWND window);

// The program in full screen in front of the user on the monitor where this
// window stands, or nullptr: the foreground window when its client area
// covers that whole monitor and it has no caption, is no tool window and has
// not marked itself "NonRudeHWND"; or when the shell reports a full-screen
// Direct3D program or presentation mode. Never the desktop or the window.
HWND FullScreenInFront(HWND window);
