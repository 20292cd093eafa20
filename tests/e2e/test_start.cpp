// The real program started as a user starts it: a first run, a second start,
// settings it cannot start on, and its guard against planted DLLs.
#include "e2e/driver.h"

using namespace e2e;

namespace {
// The program's message box, titled and shaped as every one of its boxes,
// answered with OK.
void AnswerStopBox(const Process& process, const std::wstring& text) {
    const MessageBoxView box = WaitForMessageBox(process.Id());
    ASSERT_NE(box.window, nullptr) << "no message box";
    EXPECT_EQ(box.title, L"Kalvory (ver 1.1.0) [Desktop Clock]");
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_NE(box.icon, nullptr);
    EXPECT_EQ(GetWindow(box.window, GW_OWNER), nullptr);
    ASSERT_TRUE(PressButton(box.window, IDOK));
}

// A DLL dropped beside the program leaves a marker when it is loaded: the
// program must have shut its folder out of the DLL search before it does
// anything else, so even a start refused at once loads none.
void ExpectNoPlantedDllLoads(const Process& process, const std::wstring& folder) {
    const std::wstring planted = EnvPath(L"KALVORY_PLANTED");
    ASSERT_TRUE(CopyFileW(planted.c_str(), (folder + L"planted.dll").c_str(), FALSE)) << "KALVORY_PLANTED";
    ASSERT_TRUE(CopyFileW(planted.c_str(), (folder + L"named.dll").c_str(), FALSE));
    EXPECT_NE(LoadLibraryInside(process, folder + L"named.dll"), 0u) << "named by its path it loads";
    EXPECT_TRUE(PathExists(folder + L"named.dll.loaded"));
    EXPECT_EQ(LoadLibraryInside(process, L"planted.dll"), 0u);
    EXPECT_FALSE(PathExists(folder + L"planted.dll.loaded"));
}

using StartTest = ClockExeTest;

TEST_F(StartTest, AFirstRunStartsHiddenRefusesASecondStartAndWritesTheDefaultsAtQuit) {
    clock_ = Launch();
    ASSERT_TRUE(clock_->WaitIdle());
    const HWND window = WaitForWindow(clock_->Id(), kClockClass, false);
    ASSERT_NE(window, nullptr);
    HWND owner = nullptr;
    ASSERT_TRUE(WaitUntil(kStartDeadline, [&] { return TrayIconShown(owner = TrayOwnerOf(window)); }))
        << "a hidden clock is reached through its icon";
    EXPECT_TRUE(PathExists(Ini()));
    EXPECT_EQ(ReadBytes(Ini()), "");
    EXPECT_FALSE(IsWindowVisible(window)) << "no Disp Clock key: the clock starts hidden";
    EXPECT_EQ(TextOf(window), L"Kalvory");
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

    const auto second = Launch();
    ASSERT_NE(WaitForMessageBox(second->Id()).window, nullptr);
    ExpectNoPlantedDllLoads(*second, folder_.Path());
    AnswerStopBox(*second, L"二重起動はできません");
    ASSERT_TRUE(second->WaitExit());
    EXPECT_EQ(second->ExitCode(), 0u);
    EXPECT_TRUE(clock_->Running());
    EXPECT_EQ(ReadBytes(Ini()), "") << "the refused start wrote nothing";
    ASSERT_TRUE(DeleteFileW(Ini().c_str())) << "gone while running, it is written anew at exit";

    // The default 1000 twips is 66.7 pixels at 96 dpi; the window sits at 67,
    // which reads back as 1005.
    const std::vector<std::string> expected = {"[Window Design]",  "Top=1005",        "Left=1005",      "Font Size=16",
                                               "Font Color=1",     "Font Bold=False", "Translucence=0", "[Config]",
                                               "Disp Clock=False", "Time Tone=False"};
    EXPECT_EQ(QuitAndReadSettings(window), expected);
    EXPECT_EQ(clock_->ExitCode(), 0u);
    EXPECT_FALSE(TrayIconShown(owner));
}

TEST_F(StartTest, ASettingItCannotStartOnShowsTheErrorAndEndsWithoutSaving) {
    for (const char* setting : {"Top=99999999999", "Font Size=17", "Font Color=7", "Translucence=11"}) {
        const std::string ini = std::string("[Window Design]\r\n") + setting + "\r\n[Config]\r\nDisp Clock=True\r\n";
        WriteBytes(Ini(), ini);
        const auto clock = Launch();
        ASSERT_NE(WaitForMessageBox(clock->Id()).window, nullptr) << setting;
        // While the message is up a half-loaded window may exist: its picture
        // box names the icon that must not be there.
        for (const HWND window : WindowsOf(clock->Id(), kClockClass)) {
            EXPECT_FALSE(TrayIconShown(TrayOwnerOf(window))) << setting;
            EXPECT_FALSE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) << setting;
        }
        AnswerStopBox(*clock, L"予測不能のエラーが発生しました");
        ASSERT_TRUE(clock->WaitExit());
        EXPECT_EQ(clock->ExitCode(), 1u) << setting;
        EXPECT_TRUE(WindowsOf(clock->Id()).empty()) << setting;
        EXPECT_EQ(ReadBytes(Ini()), ini) << setting;
    }
}
}  // namespace
