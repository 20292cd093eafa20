// The hourly time signal with the clock set here: when it comes, what it
// shows, and that it leaves the user alone.
#include "forms/frmTimeTone.h"
#include "runtime/Forms.h"
#include "support.h"

namespace {
class TimeToneTest : public ClockWindowTest {
protected:
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
};

TEST_F(TimeToneTest, EachHourIsSignalledOnceByTheFirstTickOfItsFirstSeconds) {
    frmMain.Load();
    const struct {
        WORD hour, minute, second;
        bool signal;
    } ticks[] = {{14, 59, 59, false}, {15, 0, 1, true},    // second 0 was skipped
                 {15, 0, 2, false},                        // never twice
                 {14, 59, 58, false}, {15, 0, 0, false},   // set back: the hour comes back, not its signal
                 {15, 1, 0, false},   {18, 30, 0, false},  // set forward: no signal for the hours between
                 {19, 0, 4, true},    {20, 0, 5, false}};  // a late first tick; too late
    for (const auto& t : ticks)
        EXPECT_EQ(TickAt(t.hour, t.minute, t.second), t.signal) << t.hour << ":" << t.minute << ":" << t.second;
    size_t before = 0;  // after the first pop-up has filled the font caches
    for (const WORD hour : {WORD(0), WORD(9), WORD(23)}) {
        SetFixedTime(hour, 0, 0);
        frmMain.timTimeTone_Timer();
        const std::string text = std::to_string(hour / 10) + std::to_string(hour % 10) + ":00";
        EXPECT_EQ(SizeOf(frmTimeTone.hWnd()), TextExtent(text, 26.25, true, kTimeToneFace)) << text;
        frmTimeTone.Unload();
        before = before ? before : GdiFreeCapacity();
    }
    EXPECT_EQ(GdiFreeCapacity(), before) << "each pop-up gives its region and font back";
}

TEST_F(TimeToneTest, TheSwitchDecidesWhetherTheRunningTimerSignals) {
    frmMain.Load();
    for (const bool on : {true, false, true}) {
        SetFixedTime(14, 59, 50);
        frmMain.mnuTimeTone_Click();
        EXPECT_EQ(frmMain.mnuTimeTone.Checked(), on);
        EXPECT_EQ(gblnTimeTone, on ? vbTrue : vbFalse);
        SetFixedTime(15, 0, 0);
        for (const DWORD start = GetTickCount(); !frmTimeTone.IsLoaded() && GetTickCount() - start < 1500;)
            PumpMessages(50);
        EXPECT_EQ(frmTimeTone.IsLoaded(), on);
        frmTimeTone.Unload();
        frmMain.Unload(), frmMain.Load();  // a new run signals 15:00 again
    }
}

void CALLBACK EndTheMessageLoop(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); }

TEST_F(TimeToneTest, ThePopUpKeepsItsOwnLookAndPlaceAndLeavesTheUserAlone) {
    gintFontSize = 1, gblnFontBold = vbFalse, gintFontColor = 2, gintTranslucence = 5;
    frmMain.Load();
    frmMain.SetLeft(9000);  // dragged away since start-up
    const HWND typing = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500, 200, 100, nullptr,
                                        nullptr, nullptr, nullptr);
    SetForegroundWindow(typing);
    SetFocus(typing);
    ASSERT_EQ(GetFocus(), typing);
    SetFixedTime(15, 0, 0);
    frmMain.timTimeTone_Timer();
    const HWND popUp = frmTimeTone.hWnd();
    ASSERT_TRUE(popUp && IsWindowVisible(popUp));
    EXPECT_EQ(GetForegroundWindow(), typing);
    EXPECT_EQ(GetFocus(), typing);
    EXPECT_EQ(GetWindowLongW(popUp, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_LAYERED), WS_EX_TOPMOST) << "opaque";
    EXPECT_EQ(WindowRect(popUp).left, 200) << "where the clock stood at start-up";
    EXPECT_EQ(WindowRect(popUp).top, 100);
    LOGFONTW font{};
    GetObjectW(GetCurrentObject(frmTimeTone.hDC(), OBJ_FONT), sizeof(font), &font);
    EXPECT_EQ(
        std::wstring(font.lfFaceName) + L" " + std::to_wstring(font.lfHeight) + L" " + std::to_wstring(font.lfWeight),
        std::wstring(kTimeToneFace) + L" -35 700");
    wchar_t drawn[2][LF_FACESIZE] = {};  // the faces the system really draws with
    GetTextFaceW(frmTimeTone.hDC(), LF_FACESIZE, drawn[0]);
    GetTextFaceW(frmMain.hDC(), LF_FACESIZE, drawn[1]);
    EXPECT_STRNE(drawn[0], drawn[1]) << "a Mincho face, not the clock's Gothic";
    POINT glyph{};
    ASSERT_TRUE(PointOnFace(popUp, glyph)) << "cut to its text";
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
