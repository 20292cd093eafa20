// The tray icon's mouse messages, delivered to the clock as the shell does.
#include "clock_fixture.h"

namespace {
HMENU gMenuSeen = nullptr;

// A pop-up menu is modal: this closes it and notes which menu it was.
void CALLBACK CloseAnyMenu(HWND, UINT, UINT_PTR, DWORD) {
    const HWND popup = FindWindowW(L"#32768", nullptr);
    if (!popup || !IsWindowVisible(popup)) return;
    gMenuSeen = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    EndMenu();
}

class TrayInputTest : public ClockWindowTest {
protected:
    void SetUp() override {
        ClockWindowTest::SetUp();
        gMenuSeen = nullptr;
        menuCloser_ = SetTimer(nullptr, 0, 100, CloseAnyMenu);
    }
    void TearDown() override {
        KillTimer(nullptr, menuCloser_);
        ClockWindowTest::TearDown();
    }
    // With the first version of the record the shell puts the mouse message
    // into the callback's lParam.
    static void Notify(UINT mouseMessage) {
        SendMessageW(frmMain.pctTaskTray.hWnd(), WM_MOUSEMOVE, 0, static_cast<LPARAM>(mouseMessage));
    }

    UINT_PTR menuCloser_ = 0;
};

TEST_F(TrayInputTest, OnlyTheRightButtonsReleaseOpensTheMenu) {
    frmMain.Load();
    for (const UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK,
                               WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK}) {
        Notify(message);
        EXPECT_EQ(gMenuSeen, nullptr) << std::hex << message;
        EXPECT_TRUE(IsWindowVisible(Window())) << std::hex << message;
        EXPECT_EQ(gblnDispClock, vbTrue) << std::hex << message;
    }
    Notify(WM_RBUTTONUP);
    EXPECT_EQ(gMenuSeen, frmMain.mnuTaskTray());
    EXPECT_EQ(GetForegroundWindow(), Window()) << "so that a click elsewhere closes the menu";
}

TEST_F(TrayInputTest, ALeftDoubleClickTogglesTheClockAndPutsItOnTop) {
    gblnDispClock = vbFalse;
    frmMain.Load();
    for (const Boolean shown : {vbTrue, vbFalse, vbTrue}) {
        SetWindowPos(Window(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        Notify(WM_LBUTTONDBLCLK);
        EXPECT_EQ(gblnDispClock, shown);
        EXPECT_EQ(IsWindowVisible(Window()) != FALSE, shown == vbTrue);
        EXPECT_TRUE(GetWindowLongW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    }
}
}  // namespace
