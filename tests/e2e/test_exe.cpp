// The real program, started and used as a user (and Windows) would, also when its files or its world misbehave.
#include "e2e/driver.h"

using namespace e2e;

namespace {
// No value is its default, the position is on whole pixels, and a section is someone else's.
const std::string kLook =
    "[Window Design]\r\nTop=1500\r\nLeft=3000\r\nFont Size=11\r\nFont Color=2\r\nFont Bold=True\r\n"
    "Translucence=3\r\n[Config]\r\nDisp Clock=True\r\nTime Tone=True\r\nHide In Full "
    "Screen=True\r\n[Other]\r\nnote=\x8e\x9e\x8c\x76\r\n";

// The program's message box, titled and shaped as every one of its boxes, answered with OK: its text.
std::wstring AnswerStopBox(const Process& process) {
    const MessageBoxView box = WaitForMessageBox(process.id);
    EXPECT_TRUE(box.title == L"Kalvory (ver 1.1.0) [Desktop Clock]" && box.buttons == std::vector<int>{IDOK}) << "OK";
    EXPECT_TRUE(box.icon && !GetWindow(box.window, GW_OWNER)) << "an icon, and no owner to hide behind";
    EXPECT_TRUE(PressButton(box.window, IDOK)) << "no message box";
    return box.text;
}

TEST_F(ExeTest, AFirstRunStartsHiddenRefusesASecondStartAndWritesTheDefaultsAtQuit) {
    clock_ = Launch();
    const HWND window = clock_->WaitIdle() ? WaitForWindow(clock_->id, kClockClass, false) : nullptr;
    ASSERT_NE(window, nullptr);
    HWND owner = nullptr;
    ASSERT_TRUE(WaitUntil(kStartDeadline, [&] { return TrayIconShown(owner = TrayOwnerOf(window)); }))
        << "a hidden clock is reached through its icon";
    EXPECT_TRUE(PathExists(Ini()) && ReadBytes(Ini()).empty()) << "made empty";
    EXPECT_TRUE(!IsWindowVisible(window) && TextOf(window) == L"Kalvory" &&
                GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)
        << "a tool window; no Disp Clock key: the clock starts hidden";
    // A planted DLL leaves a marker when loaded. The program shuts its folder out of the DLL search first thing,
    // so even a start refused at once loads none, while a DLL named by its path loads.
    const auto second = Launch();
    ASSERT_NE(WaitForMessageBox(second->id).window, nullptr);
    for (const wchar_t* name : {L"planted.dll", L"named.dll"})
        ASSERT_TRUE(CopyFileW(EnvPath(L"KALVORY_PLANTED").c_str(), folder_.File(name).c_str(), FALSE));
    EXPECT_TRUE(LoadLibraryInside(*second, folder_.File(L"named.dll")) &&
                PathExists(folder_.File(L"named.dll.loaded")));
    EXPECT_FALSE(LoadLibraryInside(*second, L"planted.dll") || PathExists(folder_.File(L"planted.dll.loaded")));
    EXPECT_EQ(AnswerStopBox(*second), L"二重起動はできません");
    EXPECT_TRUE(second->WaitExit() && second->ExitCode() == 0);
    EXPECT_TRUE(clock_->Running() && ReadBytes(Ini()).empty()) << "the refused start wrote nothing";
    ASSERT_TRUE(DeleteFileW(Ini().c_str())) << "gone while running, it is written anew at exit";
    // Moved by another program, it saves the place it was given: the default 1000 twips.
    SetWindowPos(window, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const std::string position = "1000";
    const std::vector<std::string> expected = {
        "[Window Design]", "Top=" + position, "Left=" + position, "Font Size=16",     "Font Color=1",
        "Font Bold=False", "Translucence=0",  "[Config]",         "Disp Clock=False", "Time Tone=False"};
    EXPECT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0) && clock_->WaitExit() && clock_->ExitCode() == 0);
    EXPECT_FALSE(PathExists(elsewhere_.File(L"Kalvory.ini")) || TrayIconShown(owner)) << "saved beside the exe alone";
    EXPECT_EQ(IniLines(ReadBytes(Ini())), expected);
}

// A setting it cannot start on, or a quit that cannot save, is told in a box naming the file; a read-only file is kept
// quietly, and log-off says nothing. The file stays as it was.
TEST_F(ExeTest, ASettingsFileItCannotUseIsToldAndStaysAsItWas) {
    for (const char* setting : {"Top=99999999999", "Font Size=17", "Font Color=7", "Translucence=11"}) {
        const std::string ini = std::string("[Window Design]\r\n") + setting + "\r\n[Config]\r\nDisp Clock=True\r\n";
        const auto clock = (WriteBytes(Ini(), ini), Launch());
        ASSERT_NE(WaitForMessageBox(clock->id).window, nullptr) << setting;
        // A half-loaded window may be up with the message: it has neither icon nor topmost place.
        for (const HWND window : WindowsOf(clock->id, kClockClass))
            EXPECT_FALSE(TrayIconShown(TrayOwnerOf(window)) || GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(AnswerStopBox(*clock), L"予測不能のエラーが発生しました");
        EXPECT_TRUE(clock->WaitExit() && clock->ExitCode() == 1) << setting;
        EXPECT_EQ(ReadBytes(Ini()), ini) << setting;
    }
    for (const int way : {0, 1, 2}) {  // held by another program and quit; read-only and quit; held at log-off
        const HWND window = Start(kLook, true);
        KernelHandle held(way == 1 ? nullptr
                                   : CreateFileW(Ini().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(window && (way == 1 ? SetFileAttributesW(Ini().c_str(), FILE_ATTRIBUTE_READONLY) : bool(held)));
        way == 2 ? SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, nullptr)
                 : PostMessageW(window, WM_COMMAND, IDM_QUIT, 0);
        const std::wstring text = way ? L"" : AnswerStopBox(*clock_);
        EXPECT_TRUE(way || (text.find(Ini()) != text.npos && text.find(L"閉じて") != text.npos)) << text;
        EXPECT_TRUE(clock_->WaitExit()) << way << ": no box holds it";
        held.reset(), SetFileAttributesW(Ini().c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(ReadBytes(Ini()), kLook) << way;
    }
}

TEST_F(ExeTest, TheSavedLookComesBackAndADragADoubleClickAndLogOffAreKept) {
    const HWND window = Start(kLook, true);
    ASSERT_NE(window, nullptr);
    const HWND owner = TrayOwnerOf(window);
    ASSERT_TRUE(WaitUntil(kStartDeadline, [&] { return TrayIconShown(owner); }));
    EXPECT_EQ(TopLeft(window), std::pair(Px(3000), Px(1500)));
    BYTE alpha = 0;  // 24 points bold (every digit as wide as any other), topmost, 30 % translucent
    EXPECT_TRUE(SizeOf(window) == TextExtent("00:00:00", 24, true) &&
                GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST &&
                GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr) && alpha == 190);
    // A new Explorer knows no icons, then tells every top-level window.
    ASSERT_TRUE(NotifyShell(NIM_DELETE, owner));
    ASSERT_TRUE(PostMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0));
    EXPECT_TRUE(WaitUntil(kExitDeadline, [&] { return TrayIconShown(owner); })) << "the icon comes back";
    // Asked in the file, it steps aside for a program in full screen and comes back; a double click shows it over one.
    for (const bool shownOver : {false, true}) {
        auto program = std::make_unique<Process>(EnvPath(L"KALVORY_KEEPER"), folder_.path, L"keeper full-screen");
        EXPECT_TRUE(WaitUntil(kExitDeadline, [&] { return !IsWindowVisible(window); })) << "steps aside";
        shownOver ? void(PostMessageW(owner, WM_MOUSEMOVE, 0, WM_LBUTTONDBLCLK)) : program.reset();
        EXPECT_TRUE(WaitUntil(kExitDeadline, [&] { return IsWindowVisible(window); })) << shownOver;
    }
    // Its monitor goes, or the work area shrinks: the clock comes into view at once; a drag is the user's new place.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    for (const UINT message : {WM_DISPLAYCHANGE, WM_SETTINGCHANGE}) {
        SetWindowPos(window, nullptr, -2000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageTimeoutW(window, message, message == WM_SETTINGCHANGE ? SPI_SETWORKAREA : 32, 0, 0, 5000, nullptr);
        ASSERT_TRUE(
            WaitUntil(kExitDeadline, [&] { return TopLeft(window) == std::pair(int(work.left), int(work.top)); }));
    }
    const auto [left, top] = TopLeft(window);
    for (const std::string button : {"3", "2"})  // the right and the middle button drag nothing
        ASSERT_TRUE(Xdotool("mousemove " + OnFace(window) + " mousedown " + button + " sleep 0.2 mousemove " +
                            OnFace(window, 40, 30) + " sleep 0.2 mouseup " + button));
    EXPECT_TRUE(TopLeft(window) == std::pair(left, top) && IsWindowVisible(window)) << "they move and hide nothing";
    ASSERT_TRUE(Xdotool("mousemove " + OnFace(window) + " mousedown 1 sleep 0.2 mousemove " + OnFace(window, 40, 30) +
                        " sleep 0.2 mousemove " + OnFace(window, 120, 90) + " sleep 0.2 mouseup 1"));
    EXPECT_TRUE(WaitUntil(kExitDeadline, [&] { return TopLeft(window) == std::pair(left + 120, top + 90); }))
        << "the left drag moved the clock to " << WindowRect(window).left << "," << WindowRect(window).top;
    ASSERT_TRUE(Xdotool("mousemove " + OnFace(window) + " click --repeat 2 --delay 120 1"));
    EXPECT_TRUE(WaitUntil(kExitDeadline, [&] { return !IsWindowVisible(window); })) << "a double click hides it";
    EXPECT_TRUE(TrayIconShown(owner)) << "the way back";
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, 0, 5000, &answer) && answer);
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
    // Windows may end the process as soon as the message returns.
    std::string expected = kLook;
    expected.replace(expected.find("Top=1500"), 8, "Top=" + std::to_string((top + 90) * 1440 / kDpi))
        .replace(expected.find("Left=3000"), 9, "Left=" + std::to_string((left + 120) * 1440 / kDpi));
    expected.replace(expected.find("Disp Clock=True"), 15, "Disp Clock=False");
    EXPECT_EQ(IniLines(ReadBytes(Ini())), IniLines(expected));
    EXPECT_FALSE(TrayIconShown(owner));
}
}  // namespace

// Wine on a Linux desktop runs a program in its usual managed mode, where a window goes over to the window manager
// once it has been active. The clock runs so here under a name of its own, and is touched first by the real mouse: a
// drag right after a shown start, or after a start shown from the icon, or behind another program; and the menu.
TEST_F(ExeTest, TheFirstDragAndTheFirstMenuAnswerAtOnce) {
    const std::wstring managed = folder_.File(L"Kalvory-wm.exe");
    ASSERT_TRUE(CopyFileW(exe_.c_str(), managed.c_str(), FALSE));
    const wchar_t* const key = L"Software\\Wine\\AppDefaults\\Kalvory-wm.exe\\X11 Driver";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Managed", REG_SZ, L"Y", 4), ERROR_SUCCESS);
    const char* const starts[] = {"shown", "shown from the icon", "behind another program"};
    for (const std::string start : starts) {
        for (const bool drag : {true, false}) {
            clock_.reset();
            std::unique_ptr<Process> other;
            if (start == "behind another program") {
                other = std::make_unique<Process>(L"C:\\windows\\notepad.exe", folder_.path);
                const HWND front = other->WaitIdle() ? WaitForWindow(other->id, nullptr, true) : nullptr;
                ASSERT_TRUE(WaitUntil(kStartDeadline, [&] { return front && GetForegroundWindow() == front; }));
                // Clear of the notification area, at the top left.
                SetWindowPos(front, nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            const bool fromIcon = start == "shown from the icon";
            WriteBytes(Ini(), fromIcon ? "[Config]\r\n" : "[Config]\r\nDisp Clock=True\r\n");
            clock_ = std::make_unique<Process>(managed, elsewhere_.path);
            const HWND window = clock_->WaitIdle() ? WaitForWindow(clock_->id, kClockClass, false) : nullptr;
            ASSERT_NE(window, nullptr);
            ASSERT_TRUE(WaitUntil(kStartDeadline, [&] { return TrayIconShown(TrayOwnerOf(window)); }));
            if (fromIcon) {
                ASSERT_TRUE(Xdotool("mousemove " + NewestTrayIcon() + " click --repeat 2 --delay 100 1"));
            }
            ASSERT_TRUE(WaitUntil(kStartDeadline, [&] { return IsWindowVisible(window) != FALSE; })) << start;
            if (drag) {
                const auto [left, top] = TopLeft(window);
                ASSERT_TRUE(DragFace(window, 150, 80));
                const bool moved =
                    WaitUntil(kExitDeadline, [&] { return TopLeft(window) == std::pair(left + 150, top + 80); });
                EXPECT_TRUE(moved) << start << ": moved by " << TopLeft(window).first - left << ","
                                   << TopLeft(window).second - top;
                continue;
            }
            ASSERT_TRUE(Xdotool("mousemove " + NewestTrayIcon() + " click 3"));
            HWND menu = WaitForWindow(clock_->id, L"#32768", true);
            ASSERT_NE(menu, nullptr) << start;
            // Open through a few rebuilds of the face, until a click picks 終了, its last item.
            const bool closed = WaitUntil(600, [&] { return !IsWindowVisible(menu); });
            EXPECT_FALSE(closed) << start << ": the menu closed by itself";
            const RECT items = WindowRect(menu);
            ASSERT_TRUE(Xdotool("mousemove " + XPoint(items.left + 20, items.bottom - 10) + " click 1"));
            EXPECT_TRUE(clock_->WaitExit()) << start << ": 終了";
        }
    }
}

// Windows moves windows itself (off a monitor unplugged, after a new scale), and other programs may: the quit saves
// only the place the user chose.
TEST_F(ExeTest, AMoveTheUserDidNotMakeIsNotSaved) {
    const HWND window = Start(kLook, true);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(SetWindowPos(window, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(PostMessageW(window, WM_COMMAND, IDM_QUIT, 0));
    ASSERT_TRUE(clock_->WaitExit());
    const std::vector<std::string> lines = IniLines(ReadBytes(Ini()));
    EXPECT_EQ(lines.at(1), "Top=1500");
    EXPECT_EQ(lines.at(2), "Left=3000");
}
