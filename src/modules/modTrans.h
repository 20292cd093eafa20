#pragma once
#include <windows.h>

#include "../runtime/VBTypes.h"

// See-through windows: one constant alpha for the whole window through the
// layered style, or the plain style again at level 0.

// Level 1 to 10 (10 % to 100 %) makes the window layered with the alpha of
// its step; any other level makes it plain.
void SetTranslucence(HWND IlngHwnd, Integer IintLevel);
void SetLayeredAlpha(HWND IlngHwnd, BYTE IbytAlpha);
void RemoveLayeredStyle(HWND IlngHwnd);
