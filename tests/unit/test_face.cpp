// The clock window and its text-shaped face, checked on the real window
// through what Windows reports back.
#include "clock_fixture.h"
#include "res/resource.h"

namespace {
// How many separate stretches of the window's region one pixel column crosses.
int RunsInColumn(HRGN region, int x, int height) {
    int runs = 0;
    bool inside = false;
    for (int y = 0; y < height; ++y) {
        const bool now = PtInRegion(region, x, y) != FALSE;
        if (now && !inside) ++runs;
        inside = now;
    }
    return runs;
}

using ClockFaceTest = ClockWindowTest;

TEST_F(ClockFaceTest, IsABorderlessTopmostToolWindowAtTheSavedPlace) {
    frmMain.Load();
    const LONG style = GetWindowLongW(Window(), GWL_STYLE);
    const LONG exStyle = GetWindowLongW(Window(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_BORDER));
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(GetMenu(Window()), nullptr);
    EXPECT_TRUE(IsWindowVisible(Window()));
    const RECT r = WindowRect(Window());
    EXPECT_EQ(r.left, 200);  // 3000 twips at 15 twips a pixel
    EXPECT_EQ(r.top, 100);
}

TEST_F(ClockFaceTest, StaysHiddenWhenTheClockIsNotToBeShown) {
    gblnDispClock = vbFalse;
    frmMain.Load();
    EXPECT_FALSE(IsWindowVisible(Window()));
    EXPECT_TRUE(frmMain.IsLoaded());
}

TEST_F(ClockFaceTest, TheWindowIsExactlyTheExtentOfTheTimeText) {
    frmMain.Load();
    const SIZE extent = TextExtent("08:08:08", 72, true);
    const RECT r = WindowRect(Window());
    EXPECT_EQ(r.right - r.left, extent.cx);
    EXPECT_EQ(r.bottom - r.top, extent.cy);
    EXPECT_EQ(frmMain.lblTemplate.Caption(), L"08:08:08");
}

TEST_F(ClockFaceTest, TheRegionHoldsOnlyTheGlyphs) {
    frmMain.Load();
    const RECT r = WindowRect(Window());
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(Window(), region), COMPLEXREGION);
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_GE(box.left, 0);
    EXPECT_GE(box.top, 0);
    EXPECT_LE(box.right, width);
    EXPECT_LE(box.bottom, height);

    const int cell = width / 8;  // "08:08:08", one cell a character
    EXPECT_EQ(RunsInColumn(region, cell + cell / 2, height), 3) << "an 8 has two holes";
    EXPECT_GE(RunsInColumn(region, cell / 2, height), 2) << "a 0 is closed (some fonts dot it)";
    EXPECT_EQ(RunsInColumn(region, 2 * cell + cell / 2, height), 2) << "a colon is two dots";
    EXPECT_EQ(RunsInColumn(region, cell, height), 0) << "nothing between two digits";
    DeleteObject(region);
}

TEST_F(ClockFaceTest, TheTimerRebuildsTheFaceFromTheCurrentTime) {
    frmMain.Load();
    SetFixedTime(23, 59, 59);
    PumpMessages(600);
    EXPECT_EQ(frmMain.lblTemplate.Caption(), L"23:59:59");
    const RECT before = WindowRect(Window());
    SetFixedTime(0, 0, 0);
    frmMain.timClock_Timer();
    EXPECT_EQ(frmMain.lblTemplate.Caption(), L"00:00:00");
    const RECT after = WindowRect(Window());
    EXPECT_EQ(after.right - after.left, before.right - before.left);
}

TEST_F(ClockFaceTest, AThousandRebuildsLeaveTheGdiTableAsTheyFoundIt) {
    gblnDispClock = vbFalse;  // a hidden window rebuilds three times faster
    frmMain.Load();
    for (int i = 0; i < 20; ++i) frmMain.timClock_Timer();
    const size_t before = GdiFreeCapacity();
    for (int i = 0; i < 1000; ++i) {
        SetFixedTime(static_cast<WORD>(i / 3600 % 24), static_cast<WORD>(i / 60 % 60), static_cast<WORD>(i % 60));
        frmMain.timClock_Timer();
    }
    const size_t after = GdiFreeCapacity();
    EXPECT_GT(before, 1000u);
    EXPECT_EQ(after, before);
}

TEST_F(ClockFaceTest, QuitUnloadsTheWindowAndSavesTheSettings) {
    frmMain.Load();
    SendMessageW(Window(), WM_COMMAND, IDM_QUIT, 0);
    EXPECT_FALSE(frmMain.IsLoaded());
    const std::string saved = ReadBytes(gstrIniPath);
    EXPECT_NE(saved.find("Top=1500"), std::string::npos);
    EXPECT_NE(saved.find("Left=3000"), std::string::npos);
    EXPECT_NE(saved.find("Disp Clock=True"), std::string::npos);
}
}  // namespace
