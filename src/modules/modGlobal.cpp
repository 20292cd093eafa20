#include "modGlobal.h"

std::wstring gstrAppTitle;
std::wstring gstrAppPath;
std::wstring gstrIniPath;

Long glngTop = 0;
Long glngLeft = 0;
Integer gintFontSize = 0;
Integer gintFontColor = 0;
Boolean gblnFontBold = vbFalse;
Integer gintTranslucence = 0;
Boolean gblnDispClock = vbFalse;
Boolean gblnTimeTone = vbFalse;
Boolean gblnFirstRun = vbFalse;
Boolean gblnHideInFullScreen = vbFalse;

Long glngColor[kColorTableSize + 1] = {};
