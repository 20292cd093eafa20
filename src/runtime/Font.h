#pragma once
#include <windows.h>

#include <string>

#include "Handle.h"

// A font as a form or label describes it: face, points, weight, character set.
struct FontSpec {
    std::wstring Name;
    float Size = 9.0f;
    bool Bold = false;
    BYTE Charset = DEFAULT_CHARSET;
};

GdiObject CreateGdiFont(const FontSpec& wanted);
