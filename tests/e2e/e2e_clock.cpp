// The running clock driven as a user (and Windows) would drive it: the saved
// look, dragging and double-clicking the digits, the tray icon's life.
#include <gtest/gtest.h>

#include <string>

#include "e2e/fixture.h"

using namespace e2e;

namespace {
constexpr DWORD kMoveDeadline = 5000;

TEST_F(RunningClockTest, TheSavedLookIsWhatStartsAtTheSavedPlace) {
    const HWND window = Start(
        "[Window Design]\r\nTop=3000\r\nLeft=4500\r\nFont Size=11\r\nFont Color=2\r\nFont Bold=True\r\n"
        "Translucence=3\r\n[Config]\r\nDisp Clock=True\r\n",
        true);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(TrayIconShown(TrayOwnerOf(window)));

    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, 300);
    EXPECT_EQ(frame.top, 200);
    const SIZE bold = TextExtent("00:00:00", 24, true);  // every digit is as wide as any other
    ASSERT_NE(bold.cx, TextExtent("00:00:00", 24, false).cx) << "the width tells bold from regular";
    EXPECT_EQ(frame.bottom - frame.top, bold.cy);
    EXPECT_EQ(frame.right - frame.left, bold.cx);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 190);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

    POINT digit{};
    ASSERT_TRUE(ScreenPointOnFace(window, digit));
    HDC screen = GetDC(nullptr);
    const COLORREF seen = GetPixel(screen, digit.x, digit.y);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(seen, RGB(255, 255, 255)) << "white digits (Wine shows a layered window unblended)";
}

TEST_F(RunningClockTest, ALeftDragMovesTheClockAndItsNewPlaceIsSaved) {
    const HWND window = Start("[Window Design]\r\nTop=3000\r\nLeft=4500\r\n[Config]\r\nDisp Clock=True\r\n", true);
    ASSERT_NE(window, nullptr);
    POINT digit{};
    ASSERT_TRUE(ScreenPointOnFace(window, digit));
    ASSERT_TRUE(Xdotool("mousemove " + At(digit) + " click 2 click 3 mousedown 1 sleep 0.2 mousemove " +
                        At(digit, 40, 30) + " sleep 0.2 mousemove " + At(digit, 120, 90) + " sleep 0.2 mouseup 1"));
    RECT frame{};
    EXPECT_TRUE(WaitUntil(kMoveDeadline,
                          [&] {
                              GetWindowRect(window, &frame);
                              return frame.left == 420 && frame.top == 290;
                          }))
        << "the clock is at " << frame.left << "," << frame.top;
    EXPECT_TRUE(IsWindowVisible(window)) << "the right and middle clicks before did nothing";

    const std::vector<std::string> saved = QuitAndReadSettings(window);
    EXPECT_TRUE(Contains(saved, "Left=6300"));
    EXPECT_TRUE(Contains(saved, "Top=4350"));
}

TEST_F(RunningClockTest, ADoubleClickOnADigitHidesTheClockForGood) {
    const HWND window = Start("[Config]\r\nDisp Clock=True\r\n", true);
    ASSERT_NE(window, nullptr);
    POINT digit{};
    ASSERT_TRUE(ScreenPointOnFace(window, digit));
    ASSERT_TRUE(Xdotool("mousemove " + At(digit) + " click --repeat 2 --delay 120 1"));
    EXPECT_TRUE(WaitUntil(kMoveDeadline, [&] { return !IsWindowVisible(window); }));
    EXPECT_TRUE(TrayIconShown(TrayOwnerOf(window))) << "the way back";
    EXPECT_TRUE(Contains(QuitAndReadSettings(window), "Disp Clock=False"));
}

TEST_F(RunningClockTest, ARestartedTaskBarGetsTheIconBack) {
    const HWND window = Start("", false);
    ASSERT_NE(window, nullptr);
    const HWND owner = TrayOwnerOf(window);
    ASSERT_TRUE(WaitUntil(kStartDeadline, [&] { return TrayIconShown(owner); }));
    // A new Explorer knows no icons, then tells every top-level window.
    ASSERT_TRUE(ForgetTrayIcon(owner));
    ASSERT_FALSE(TrayIconShown(owner));
    ASSERT_TRUE(PostMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0));
    EXPECT_TRUE(WaitUntil(kMoveDeadline, [&] { return TrayIconShown(owner); }));
}

TEST_F(RunningClockTest, EndingTheSessionSavesBeforeWindowsEndsTheProgram) {
    const HWND window = Start("[Window Design]\r\nLeft=4500\r\n[Config]\r\nDisp Clock=True\r\n", true);
    ASSERT_NE(window, nullptr);
    const HWND owner = TrayOwnerOf(window);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
    // Windows may end the process as soon as the message returns.
    const std::vector<std::string> saved = IniLines(ReadBytes(Ini()));
    EXPECT_EQ(saved.size(), 10u);
    EXPECT_TRUE(Contains(saved, "Left=4500"));
    EXPECT_TRUE(Contains(saved, "Disp Clock=True"));
    EXPECT_FALSE(TrayIconShown(owner));
    clock_->Kill();
}
}  // namespace
