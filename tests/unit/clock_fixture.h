#pragma once
// Loads the real clock window with chosen settings and a fixed clock.
#include <gtest/gtest.h>

#include "forms/frmMain.h"
#include "modules/modGlobal.h"
#include "runtime/Clock.h"
#include "support.h"

inline SYSTEMTIME& FixedTime() {
    static SYSTEMTIME time{};
    return time;
}

inline void SetFixedTime(WORD hour, WORD minute, WORD second) {
    FixedTime() = SYSTEMTIME{2026, 12, 0, 6, hour, minute, second, 0};
}

class ClockWindowTest : public ::testing::Test {
protected:
    TempFolder folder;

    void SetUp() override {
        gstrIniPath = folder.File(L"Kalvory.ini");
        glngTop = 1500;
        glngLeft = 3000;
        gintFontSize = 16;
        gintFontColor = 1;
        gblnFontBold = vbTrue;
        gintTranslucence = 0;
        gblnDispClock = vbTrue;
        gblnTimeTone = vbFalse;
        SetFixedTime(8, 8, 8);
        SetNowForTest([] { return FixedTime(); });
    }
    void TearDown() override {
        frmMain.Unload();
        SetNowForTest(nullptr);
    }
    HWND Window() const { return frmMain.hWnd(); }
};
