#include "Font.h"

#include <cmath>

GdiObject CreateGdiFont(const FontSpec& wanted) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTW font{};
    // A negative height asks for the character height, as point sizes mean.
    font.lfHeight = -static_cast<LONG>(std::lround(wanted.Size * static_cast<float>(dpi) / 72.0f));
    font.lfWeight = wanted.Bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = wanted.Charset;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    // A longer name is cut; the zeroed record keeps the closing zero.
    wanted.Name.copy(font.lfFaceName, LF_FACESIZE - 1);
    return GdiObject(CreateFontIndirectW(&font));
}
