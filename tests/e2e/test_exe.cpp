// The real program started and used as a user (and Windows) would, and what
// it does when its settings file or the world around it misbehaves.
#include "e2e/driver.h"

using namespace e2e;

namespace {
// No value is its default, the position is on whole pixels, and a section is someone else's.
const std::string kLook =
    "[Window Design]\r\nTop=3000\r\nLeft=4500\r\nFont Size=11\r\nFont Color=2\r\nFont Bold=True\r\n"
    "Translucence=3\r\n[Config]\r\nDisp Clock=True\r\nTime Tone=True\r\n[Other]\r\nnote=\x8e\x9e\x8c\x76\r\n";

// The program's message box, titled and shaped as every one of its boxes, answered with OK.
void AnswerStopBox(const Process& process, const std::wstring& text) {
    const MessageBoxView box = WaitForMessageBox(process.id);
    ASSERT_NE(box.window, nullptr) << "no message box";
    EXPECT_EQ(box.title + L"|" + box.text, L"Kalvory (ver 1.1.0) [Desktop Clock]|" + text);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_TRUE(box.icon && !GetWindow(box.window, GW_OWNER)) << "an icon, and no owner to hide behind";
    ASSERT_TRUE(PressButton(box.window, IDOK));
}
using ExeTest = ClockExeTest;

TEST_F(ExeTest, AFirstRunStartsHiddenRefusesASecondStartAndWritesTheDefaultsAtQuit) {
    clock_ = Launch();
    ASSERT_TRUE(clock_->WaitIdle());
    const HWND window = WaitForWindow(clock_->id, kClockClass, false);
    ASSERT_NE(window, nullptr);
    HWND owner = nullptr;
    ASSERT_TRUE(WaitUntil(kStartDeadline, [&] { return TrayIconShown(owner = TrayOwnerOf(window)); }))
        << "a hidden clock is reached through its icon";
    EXPECT_TRUE(PathExists(Ini()) && ReadBytes(Ini()).empty()) << "made empty";
    EXPECT_FALSE(IsWindowVisible(window)) << "no Disp Clock key: the clock starts hidden";
    EXPECT_EQ(TextOf(window), L"Kalvory");
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    // A DLL dropped beside the program leaves a marker when it is loaded: the
    // program shuts its folder out of the DLL search before anything else, so
    // even a start refused at once loads none, while one named by its path does.
    const auto second = Launch();
    ASSERT_NE(WaitForMessageBox(second->id).window, nullptr);
    for (const wchar_t* name : {L"planted.dll", L"named.dll"})
        ASSERT_TRUE(CopyFileW(EnvPath(L"KALVORY_PLANTED").c_str(), folder_.File(name).c_str(), FALSE));
    EXPECT_TRUE(LoadLibraryInside(*second, folder_.File(L"named.dll")) &&
                PathExists(folder_.File(L"named.dll.loaded")));
    EXPECT_FALSE(LoadLibraryInside(*second, L"planted.dll") || PathExists(folder_.File(L"planted.dll.loaded")));
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

TEST_F(ExeTest, ASettingItCannotStartOnShowsTheErrorAndEndsWithoutSaving) {
    for (const char* setting : {"Top=99999999999", "Font Size=17", "Font Color=7", "Translucence=11"}) {
        const std::string ini = std::string("[Window Design]\r\n") + setting + "\r\n[Config]\r\nDisp Clock=True\r\n";
        WriteBytes(Ini(), ini);
        const auto clock = Launch();
        ASSERT_NE(WaitForMessageBox(clock->id).window, nullptr) << setting;
        // A half-loaded window may be up with the message: it has neither icon nor topmost place.
        for (const HWND window : WindowsOf(clock->id, kClockClass))
            EXPECT_FALSE(TrayIconShown(TrayOwnerOf(window)) || GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
        AnswerStopBox(*clock, L"予測不能のエラーが発生しました");
        ASSERT_TRUE(clock->WaitExit());
        EXPECT_EQ(clock->ExitCode(), 1u) << setting;
        EXPECT_TRUE(WindowsOf(clock->id).empty()) << setting;
        EXPECT_EQ(ReadBytes(Ini()), ini) << setting;
    }
}

TEST_F(ExeTest, TheSavedLookComesBackAndADragADoubleClickAndLogOffAreKept) {
    const HWND window = Start(kLook, true);
    ASSERT_NE(window, nullptr);
    const HWND owner = TrayOwnerOf(window);
    ASSERT_TRUE(WaitUntil(kStartDeadline, [&] { return TrayIconShown(owner); }));
    EXPECT_EQ(TopLeft(window), std::pair(300, 200));
    // Every digit is as wide as any other, and bold is wider than regular.
    EXPECT_EQ(SizeOf(window), TextExtent("00:00:00", 24, true));
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && alpha == 190 && flags == LWA_ALPHA);
    // A new Explorer knows no icons, then tells every top-level window.
    ASSERT_TRUE(NotifyShell(NIM_DELETE, owner));
    ASSERT_TRUE(PostMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0));
    EXPECT_TRUE(WaitUntil(kExitDeadline, [&] { return TrayIconShown(owner); })) << "the icon comes back";
    ASSERT_TRUE(Xdotool("mousemove " + OnFace(window) + " click 2 click 3 mousedown 1 sleep 0.2 mousemove " +
                        OnFace(window, 40, 30) + " sleep 0.2 mousemove " + OnFace(window, 120, 90) +
                        " sleep 0.2 mouseup 1"));
    EXPECT_TRUE(
        WaitUntil(kExitDeadline, [&] { return WindowRect(window).left == 420 && WindowRect(window).top == 290; }))
        << "the left drag moved the clock to " << WindowRect(window).left << "," << WindowRect(window).top;
    EXPECT_TRUE(IsWindowVisible(window)) << "the right and middle clicks did nothing";
    ASSERT_TRUE(Xdotool("mousemove " + OnFace(window) + " click --repeat 2 --delay 120 1"));
    EXPECT_TRUE(WaitUntil(kExitDeadline, [&] { return !IsWindowVisible(window); })) << "a double click hides it";
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
}  // namespace
