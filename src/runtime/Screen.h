#pragma once

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
