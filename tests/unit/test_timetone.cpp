// The hourly time signal with the clock set here: when it comes, what it
// shows, and that it leaves the user alone.
#include <cstring>
#include <string>

#include "clock_fixture.h"
#include "forms/frmTimeTone.h"
#include "runtime/Forms.h"

namespace {
constexpr DWORD kTickDeadline = 3000;

class TimeToneTest : public ClockWindowTest {
protected:
    void SetUp() override {
        ClockWindowTest::SetUp();
        gblnTimeTone = vbTrue;
    }
    void TearDown() override {
        frmTimeTone.Unload();
        ClockWindowTest::TearDown();
    }
    // One tick of the one-second timer at this time: whether a pop-up came.
    static bool TickAt(WORD hour, WORD minute, WORD second) {
        SetFixedTime(hour, minute, second);
        frmMain.timTimeTone_Timer();
        const bool shown = frmTimeTone.IsLoaded();
        frmTimeTone.Unload();
        return shown;
    }
    static bool PopUpWithin(DWORD milliseconds) {
        const DWORD start = GetTickCount();
        while (!frmTimeTone.IsLoaded() && GetTickCount() - start < milliseconds) PumpMessages(50);
        return frmTimeTone.IsLoaded();
    }
};

// The face the system really draws with, which may stand in for the one asked.
std::wstring FaceIn(HDC dc) {
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(dc, LF_FACESIZE, face);
    return face;
}

void CALLBACK EndTheMessageLoop(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); }

// The outline of the text as the pop-up's font draws it at (0, 0).
HRGN OutlineOf(const char* text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontFor(26.25, true, kTimeToneFace);
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    BeginPath(dc);
    TextOutA(dc, 0, 0, text, static_cast<int>(std::strlen(text)));
    EndPath(dc);
    HRGN outline = PathToRegion(dc);
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    return outline;
}

TEST_F(TimeToneTest, AtTheFullHourThePopUpShowsHoursAndMinutes) {
    frmMain.Load();
    for (const int hour : {15, 0, 9}) {
        SetFixedTime(static_cast<WORD>(hour), 0, 0);
        frmMain.timTimeTone_Timer();
        ASSERT_TRUE(frmTimeTone.IsLoaded()) << hour;
        const std::string text = (hour < 10 ? "0" : "") + std::to_string(hour) + ":00";
        const SIZE extent = TextExtent(text.c_str(), 26.25, true, kTimeToneFace);
        const RECT frame = WindowRect(frmTimeTone.hWnd());
        EXPECT_EQ(frame.right - frame.left, extent.cx) << text;
        EXPECT_EQ(frame.bottom - frame.top, extent.cy) << text;
        HRGN shown = CreateRectRgn(0, 0, 0, 0);
        HRGN expected = OutlineOf(text.c_str());
        ASSERT_NE(GetWindowRgn(frmTimeTone.hWnd(), shown), ERROR);
        EXPECT_TRUE(EqualRgn(shown, expected)) << "the window is cut to " << text;
        DeleteObject(shown);
        DeleteObject(expected);
        frmTimeTone.Unload();
    }
}

TEST_F(TimeToneTest, EachHourIsSignalledOnceEvenWhenTheTimerSkipsItsFirstSecond) {
    frmMain.Load();
    EXPECT_FALSE(TickAt(14, 59, 59));
    EXPECT_TRUE(TickAt(15, 0, 1)) << "second 0 was skipped";
    EXPECT_FALSE(TickAt(15, 0, 2)) << "never twice";
    EXPECT_FALSE(TickAt(14, 59, 58));
    EXPECT_FALSE(TickAt(15, 0, 0)) << "the clock set back brings the hour back, not its signal";
    EXPECT_FALSE(TickAt(15, 1, 0));
    // Set forward over several hours: no signal for the hours in between.
    EXPECT_FALSE(TickAt(18, 30, 0));
    EXPECT_TRUE(TickAt(19, 0, 4)) << "a late first tick";
    EXPECT_FALSE(TickAt(20, 0, 5)) << "too late: the hour is long begun";
}

TEST_F(TimeToneTest, SwitchedOnAfterTheFirstSecondsTheHourPassesInSilence) {
    gblnTimeTone = vbFalse;
    frmMain.Load();
    SetFixedTime(15, 0, 30);
    frmMain.mnuTimeTone_Click();
    EXPECT_TRUE(frmMain.mnuTimeTone.Checked());
    EXPECT_EQ(gblnTimeTone, vbTrue);
    EXPECT_FALSE(TickAt(15, 0, 30));
    EXPECT_FALSE(TickAt(15, 0, 31));
    EXPECT_TRUE(TickAt(16, 0, 0));
}

TEST_F(TimeToneTest, TheSwitchDecidesWhetherTheRunningTimerSignals) {
    frmMain.Load();
    SetFixedTime(14, 59, 50);
    frmMain.mnuTimeTone_Click();
    EXPECT_FALSE(frmMain.mnuTimeTone.Checked());
    EXPECT_EQ(gblnTimeTone, vbFalse);
    SetFixedTime(15, 0, 0);
    EXPECT_FALSE(PopUpWithin(1500)) << "switched off";

    SetFixedTime(14, 59, 50);
    frmMain.mnuTimeTone_Click();
    SetFixedTime(15, 0, 0);
    EXPECT_TRUE(PopUpWithin(kTickDeadline)) << "switched on";
}

TEST_F(TimeToneTest, ThePopUpKeepsItsOwnLookAndLeavesTheUserAlone) {
    glngLeft = 3000;
    glngTop = 1500;
    gintFontSize = 1;
    gblnFontBold = vbFalse;
    gintFontColor = 2;
    gintTranslucence = 5;
    frmMain.Load();
    frmMain.SetLeft(9000);  // dragged away since start-up
    const HWND typing = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500, 200, 100, nullptr,
                                        nullptr, nullptr, nullptr);
    SetForegroundWindow(typing);
    SetFocus(typing);
    ASSERT_EQ(GetFocus(), typing);

    SetFixedTime(15, 0, 0);
    frmMain.timTimeTone_Timer();
    ASSERT_TRUE(frmTimeTone.IsLoaded());
    const HWND popUp = frmTimeTone.hWnd();
    EXPECT_EQ(GetForegroundWindow(), typing);
    EXPECT_EQ(GetFocus(), typing);
    EXPECT_TRUE(IsWindowVisible(popUp));
    EXPECT_TRUE(GetWindowLongW(popUp, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongW(popUp, GWL_EXSTYLE) & WS_EX_LAYERED) << "opaque beside a clock at 50%";
    const RECT frame = WindowRect(popUp);
    EXPECT_EQ(frame.left, 200);
    EXPECT_EQ(frame.top, 100);

    LOGFONTW font{};
    GetObjectW(GetCurrentObject(frmTimeTone.hDC(), OBJ_FONT), sizeof(font), &font);
    EXPECT_STREQ(font.lfFaceName, kTimeToneFace);
    EXPECT_NE(FaceIn(frmTimeTone.hDC()), FaceIn(frmMain.hDC())) << "a Mincho face, not the clock's Gothic";
    EXPECT_EQ(font.lfHeight, -35);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    POINT glyph{};
    ASSERT_TRUE(PointOnFace(popUp, glyph));
    EXPECT_EQ(GetPixel(frmTimeTone.hDC(), glyph.x, glyph.y), RGB(255, 255, 255)) << "the clock's colour";
    DestroyWindow(typing);

    // The clock quits while the pop-up is up: the program lives on until the
    // pop-up has closed itself, after about two seconds.
    const DWORD start = GetTickCount();
    frmMain.Unload();
    const UINT_PTR guard = SetTimer(nullptr, 0, 10000, EndTheMessageLoop);
    RunMessageLoop();
    KillTimer(nullptr, guard);
    EXPECT_FALSE(frmTimeTone.IsLoaded());
    EXPECT_GE(GetTickCount() - start, 1500u);
    EXPECT_LT(GetTickCount() - start, 10000u);
}
}  // namespace
