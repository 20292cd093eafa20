// Start-up of the real program: first run, a second start, and a start that fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/fixture.h"

using namespace e2e;

namespace {
const std::wstring kTitle = L"Kalvory (ver 1.1.0) [Desktop Clock]";

// The program's message box, titled and shaped as every one of its boxes,
// answered with OK.
void AnswerStopBox(const Process& process, const std::wstring& text) {
    const MessageBoxView box = WaitForMessageBox(process.Id());
    ASSERT_NE(box.window, nullptr) << "no message box";
    EXPECT_EQ(box.title, kTitle);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_NE(box.icon, nullptr);
    EXPECT_EQ(GetWindow(box.window, GW_OWNER), nullptr);
    ASSERT_TRUE(PressButton(box.window, IDOK));
}

using StartupTest = InstalledKalvoryTest;

TEST_F(StartupTest, FirstRunCreatesEmptyIniStaysHiddenAndSavesDefaultsOnQuit) {
    Process clock(exe_, folder_.Path());
    ASSERT_TRUE(clock.Started());
    ASSERT_TRUE(clock.WaitIdle());
    const HWND window = WaitForWindow(clock.Id(), kClockClass, false);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil(kStartDeadline, [&] { return PathExists(Ini()); }));
    EXPECT_EQ(ReadBytes(Ini()), "");
    EXPECT_FALSE(IsWindowVisible(window)) << "no Disp Clock key: the clock starts hidden";
    EXPECT_EQ(TextOf(window), L"Kalvory");
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    const HWND trayOwner = TrayOwnerOf(window);
    EXPECT_TRUE(TrayIconShown(trayOwner)) << "a hidden clock is reached through its icon";

    ASSERT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
    ASSERT_TRUE(clock.WaitExit());
    EXPECT_EQ(clock.ExitCode(), 0u);
    EXPECT_FALSE(TrayIconShown(trayOwner));
    // The default 1000 twips is 66.7 pixels at 96 dpi; the window sits at 67,
    // which reads back as 1005.
    const std::vector<std::string> expected = {"[Window Design]",  "Top=1005",        "Left=1005",      "Font Size=16",
                                               "Font Color=1",     "Font Bold=False", "Translucence=0", "[Config]",
                                               "Disp Clock=False", "Time Tone=False"};
    const std::string saved = ReadBytes(Ini());
    EXPECT_EQ(IniLines(saved), expected) << saved;
}

TEST_F(StartupTest, SecondInstanceIsRefusedAndLeavesFirstAndIniAlone) {
    WriteBytes(Ini(), "[Config]\r\nDisp Clock=True\r\n");
    Process first(exe_, folder_.Path());
    ASSERT_TRUE(first.Started());
    const HWND window = WaitForWindow(first.Id(), kClockClass, true);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(first.WaitIdle());
    const std::string before = ReadBytes(Ini());

    Process second(exe_, folder_.Path());
    ASSERT_TRUE(second.Started());
    AnswerStopBox(second, L"二重起動はできません");
    ASSERT_TRUE(second.WaitExit());
    EXPECT_EQ(second.ExitCode(), 0u);

    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(ReadBytes(Ini()), before);
    ASSERT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
    EXPECT_TRUE(first.WaitExit());
}

TEST_F(StartupTest, OverflowingSettingShowsErrorAndEndsWithoutSaving) {
    const std::string ini = "[Window Design]\r\nTop=99999999999\r\n";
    WriteBytes(Ini(), ini);
    Process clock(exe_, folder_.Path());
    ASSERT_TRUE(clock.Started());
    AnswerStopBox(clock, L"予測不能のエラーが発生しました");
    ASSERT_TRUE(clock.WaitExit());
    EXPECT_EQ(clock.ExitCode(), 1u);
    EXPECT_TRUE(WindowsOf(clock.Id()).empty());
    EXPECT_EQ(ReadBytes(Ini()), ini);
}

TEST_F(StartupTest, AMenuIndexWithoutAnItemEndsStartUpBeforeTheIcon) {
    for (const char* setting : {"Font Size=17", "Font Color=7", "Translucence=11"}) {
        const std::string ini = std::string("[Window Design]\r\n") + setting + "\r\n[Config]\r\nDisp Clock=True\r\n";
        WriteBytes(Ini(), ini);
        Process clock(exe_, folder_.Path());
        ASSERT_TRUE(clock.Started());
        ASSERT_NE(WaitForMessageBox(clock.Id()).window, nullptr) << setting;
        // While the message is up the half-loaded window still exists: its
        // picture box names the icon that must not be there.
        const std::vector<HWND> clocks = WindowsOf(clock.Id(), kClockClass);
        ASSERT_EQ(clocks.size(), 1u) << setting;
        EXPECT_FALSE(TrayIconShown(TrayOwnerOf(clocks[0]))) << setting;
        EXPECT_FALSE(GetWindowLongW(clocks[0], GWL_EXSTYLE) & WS_EX_TOPMOST) << setting;
        AnswerStopBox(clock, L"予測不能のエラーが発生しました");
        ASSERT_TRUE(clock.WaitExit());
        EXPECT_EQ(clock.ExitCode(), 1u) << setting;
        EXPECT_TRUE(WindowsOf(clock.Id()).empty()) << setting;
        EXPECT_EQ(ReadBytes(Ini()), ini) << setting;
    }
}
}  // namespace
