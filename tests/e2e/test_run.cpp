// The running program driven as a user (and Windows) would drive it, and
// what it does when the world around it misbehaves.
#include "e2e/driver.h"
#include "runtime/Handle.h"

using namespace e2e;

namespace {
constexpr DWORD kMoveDeadline = 5000;
// Every value differs from its default and the position is on whole pixels,
// so a save writes back exactly these lines; and a section of someone else's.
const std::string kLook =
    "[Window Design]\r\nTop=3000\r\nLeft=4500\r\nFont Size=11\r\nFont Color=2\r\nFont Bold=True\r\n"
    "Translucence=3\r\n[Config]\r\nDisp Clock=True\r\nTime Tone=True\r\n[Other]\r\nnote=\x8e\x9e\x8c\x76\r\n";

using RunTest = ClockExeTest;

TEST_F(RunTest, TheSavedLookComesBackAndADragADoubleClickAndLogOffAreKept) {
    const HWND window = Start(kLook, true);
    ASSERT_NE(window, nullptr);
    const HWND owner = TrayOwnerOf(window);
    ASSERT_TRUE(WaitUntil(kStartDeadline, [&] { return TrayIconShown(owner); }));
    EXPECT_EQ(WindowRect(window).left, 300);
    EXPECT_EQ(WindowRect(window).top, 200);
    // Every digit is as wide as any other, and the width tells bold from regular.
    ASSERT_NE(TextExtent("00:00:00", 24, true).cx, TextExtent("00:00:00", 24, false).cx);
    EXPECT_EQ(SizeOf(window), TextExtent("00:00:00", 24, true));
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 190);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    POINT digit{};
    ASSERT_TRUE(PointOnFace(window, digit));
    HDC screen = GetDC(nullptr);
    const RECT frame = WindowRect(window);
    EXPECT_EQ(GetPixel(screen, frame.left + digit.x, frame.top + digit.y), RGB(255, 255, 255)) << "white digits";
    ReleaseDC(nullptr, screen);

    // A new Explorer knows no icons, then tells every top-level window.
    ASSERT_TRUE(NotifyShell(NIM_DELETE, owner));
    ASSERT_TRUE(PostMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0));
    EXPECT_TRUE(WaitUntil(kMoveDeadline, [&] { return TrayIconShown(owner); })) << "the icon comes back";

    ASSERT_TRUE(Xdotool("mousemove " + OnFace(window) + " click 2 click 3 mousedown 1 sleep 0.2 mousemove " +
                        OnFace(window, 40, 30) + " sleep 0.2 mousemove " + OnFace(window, 120, 90) +
                        " sleep 0.2 mouseup 1"));
    EXPECT_TRUE(
        WaitUntil(kMoveDeadline, [&] { return WindowRect(window).left == 420 && WindowRect(window).top == 290; }))
        << "the left drag moved the clock to " << WindowRect(window).left << "," << WindowRect(window).top;
    EXPECT_TRUE(IsWindowVisible(window)) << "the right and middle clicks did nothing";
    ASSERT_TRUE(Xdotool("mousemove " + OnFace(window) + " click --repeat 2 --delay 120 1"));
    EXPECT_TRUE(WaitUntil(kMoveDeadline, [&] { return !IsWindowVisible(window); })) << "a double click hides it";
    EXPECT_TRUE(TrayIconShown(owner)) << "the way back";

    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
    // Windows may end the process as soon as the message returns.
    std::string expected = kLook;
    expected.replace(expected.find("Top=3000"), 8, "Top=4350").replace(expected.find("Left=4500"), 9, "Left=6300");
    expected.replace(expected.find("Disp Clock=True"), 15, "Disp Clock=False");
    EXPECT_EQ(IniLines(ReadBytes(Ini())), IniLines(expected));
    EXPECT_FALSE(TrayIconShown(owner));
}

// Closes the clock as its window's close does and watches it end: a message
// box on the way would hold the exit up.
::testing::AssertionResult QuitsQuietly(HWND window, const Process& process) {
    if (!PostMessageW(window, WM_CLOSE, 0, 0)) return ::testing::AssertionFailure() << "the window is gone";
    HWND box = nullptr;
    WaitUntil(kExitDeadline,
              [&] { return (box = WaitForWindow(process.Id(), kDialogClass, true, 0)) || !process.Running(); });
    if (box) return ::testing::AssertionFailure() << "a message box at exit: " << TextOf(GetDlgItem(box, 0xFFFF));
    if (!process.WaitExit(0) || process.ExitCode() != 0) return ::testing::AssertionFailure() << "no clean exit";
    return ::testing::AssertionSuccess();
}

TEST_F(RunTest, AReadOnlyALockedOrAKilledClocksFileIsLeftAsItWas) {
    const std::string sparse = "[Window Design]\r\nTop=3000\r\nLeft=4500\r\n[Config]\r\nDisp Clock=True\r\n";
    for (const char* fault : {"read-only", "locked", "killed"}) {
        SCOPED_TRACE(fault);
        SetFileAttributesW(Ini().c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteBytes(Ini(), sparse);
        ASSERT_TRUE(
            SetFileAttributesW(Ini().c_str(), fault[0] == 'r' ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL));
        clock_ = Launch();
        ASSERT_TRUE(clock_->WaitIdle());
        const HWND window = WaitForWindow(clock_->Id(), kClockClass, true);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(WindowRect(window).left, 300);
        EXPECT_EQ(WindowRect(window).top, 200);
        if (fault[0] == 'k') {
            // A change made while running, which only the exit may store.
            ASSERT_TRUE(Xdotool("mousemove " + OnFace(window) + " click --repeat 2 --delay 120 1"));
            ASSERT_TRUE(WaitUntil(kExitDeadline, [&] { return !IsWindowVisible(window); }));
            clock_->Kill();
            EXPECT_EQ(clock_->ExitCode(), 0xDEADu);
        } else {
            const KernelHandle lock(fault[0] == 'l' ? CreateFileW(Ini().c_str(), GENERIC_READ, 0, nullptr,
                                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                                                    : nullptr);
            EXPECT_TRUE(QuitsQuietly(window, *clock_));
        }
        EXPECT_EQ(ReadBytes(Ini()), sparse);
        EXPECT_EQ((GetFileAttributesW(Ini().c_str()) & FILE_ATTRIBUTE_READONLY) != 0, fault[0] == 'r');
    }
}
}  // namespace
