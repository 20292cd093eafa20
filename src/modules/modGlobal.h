#pragma once
#include <windows.h>

#include <string>

#include "../runtime/VBTypes.h"

// The program's global state: set at start-up, changed by the menu commands,
// written to the settings file at exit.
extern std::wstring gstrAppTitle;
extern std::wstring gstrAppPath;
extern std::wstring gstrIniPath;

extern Long glngTop;           // twips
extern Long glngLeft;          // twips
extern Integer gintFontSize;   // index of the font-size item, 1..16
extern Integer gintFontColor;  // index of the font-colour item, 1..6
extern Boolean gblnFontBold;
extern Integer gintTranslucence;  // index of the translucency item, 0..10
extern Boolean gblnDispClock;
extern Boolean gblnTimeTone;
// No settings file was found at start: the tray icon tells the user once
// where the clock lives.
extern Boolean gblnFirstRun;
// The clock steps aside for a program in full screen. Only the user writes
// the key, by hand; saving keeps its line as any other.
extern Boolean gblnHideInFullScreen;

// Colour of each font-colour item (COLORREF), indexed 1 to 16.
constexpr int kColorTableSize = 16;
extern Long glngColor[kColorTableSize + 1];
