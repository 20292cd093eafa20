// The real program, started and used as a user (and Windows) would, also when its files or its world misbehave.
#include "e2e/driver.h"

namespace {
const std::wstring kBoxTitle = L"Kalvory (ver 1.1.0) [Desktop Clock]|";
// No value is its default, the position is on whole pixels, and a section is someone else's.
std::string Look(const std::string& top = "1500", const std::string& left = "3000", const std::string& shown = "True") {
    return "[Window Design]\r\nTop=" + top + "\r\nLeft=" + left +
           "\r\nFont Size=11\r\nFont Color=2\r\nFont Bold=True\r\nTranslucence=3\r\n[Config]\r\nDisp Clock=" + shown +
           "\r\nTime Tone=True\r\n[Other]\r\nnote=\x8e\x9e\x8c\x76\r\n";
}

// What LoadLibraryW returns when the process itself calls it (kernel32 sits at one address in every process).
DWORD LoadLibraryInside(const Process& process, const std::wstring& dll) {
    const HANDLE target = process.handle.get();
    const SIZE_T bytes = (dll.size() + 1) * sizeof(wchar_t);
    void* name = VirtualAllocEx(target, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(target, name, dll.c_str(), bytes, nullptr);
    const auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(LoadLibraryW));
    const KernelHandle thread(CreateRemoteThread(target, nullptr, 0, load, name, 0, nullptr));
    DWORD module = 0;
    WaitForSingleObject(thread.get(), kExitDeadline);
    GetExitCodeThread(thread.get(), &module);
    return module;
}

// The first start makes an empty settings file and shows its icon; a second start is refused, loading no DLL planted
// in the folder on its way; the quit writes the defaults, with the place the clock was given, not one another program
// moved it to.
TEST_F(ExeTest, AFirstStartRefusesASecondOneAndQuitsWithTheDefaults) {
    const HWND window = Start("", false, exe_);
    const HWND owner = TrayOwnerOf(window);
    EXPECT_TRUE(TrayIconShown(owner));
    EXPECT_TRUE(std::filesystem::exists(ini_));
    const Process second(exe_, elsewhere_.path);
    ASSERT_NE(WaitForWindow(second.id, L"#32770"), nullptr);
    ASSERT_TRUE(CopyFileW(_wgetenv(L"KALVORY_PLANTED"), folder_.File(L"planted.dll").c_str(), FALSE));
    // Not by its name, from the exe's folder; by its path.
    EXPECT_EQ(LoadLibraryInside(second, L"planted.dll"), 0u);
    EXPECT_NE(LoadLibraryInside(second, folder_.File(L"planted.dll")), 0u);
    EXPECT_EQ(AnswerMessageBox(second.id), kBoxTitle + L"二重起動はできません");
    EXPECT_TRUE(second.WaitExit());
    EXPECT_EQ(second.ExitCode(), 0u);
    // Gone while it runs, the file is written anew at the quit.
    ASSERT_TRUE(DeleteFileW(ini_.c_str()));
    SetWindowPos(window, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(clock_->WaitExit());
    EXPECT_FALSE(TrayIconShown(owner));
    const std::vector<std::string> defaults = {"[Window Design]",  "Top=1000",        "Left=1000",      "Font Size=16",
                                               "Font Color=1",     "Font Bold=False", "Translucence=0", "[Config]",
                                               "Disp Clock=False", "Time Tone=False"};
    EXPECT_EQ(IniLines(ReadBytes(ini_)), defaults);
}

// A setting it cannot start on is told in a box and ends the program with 1; so is a quit that cannot save, naming
// the file. A read-only file is kept quietly, and a log-off says nothing. Each file stays as it was.
TEST_F(ExeTest, ASettingsFileItCannotUseIsToldAndStaysAsItWas) {
    for (const char* setting : {"Top=99999999999", "Font Size=17", "Translucence=11"}) {
        const std::string settings = std::string("[Window Design]\r\n") + setting + "\r\n";
        WriteBytes(ini_, settings);
        const Process clock(exe_, elsewhere_.path);
        EXPECT_EQ(AnswerMessageBox(clock.id), kBoxTitle + L"予測不能のエラーが発生しました") << setting;
        EXPECT_TRUE(clock.WaitExit());
        EXPECT_EQ(clock.ExitCode(), 1u) << setting;
        EXPECT_EQ(ReadBytes(ini_), settings);
    }
    for (const std::string way : {"held", "read-only", "held at log-off"}) {
        const HWND window = Start(Look(), true, exe_);
        KernelHandle holder;
        if (way == "read-only") {
            SetFileAttributesW(ini_.c_str(), FILE_ATTRIBUTE_READONLY);
        } else {
            holder.reset(CreateFileW(ini_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        }
        if (way == "held at log-off") {
            SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, nullptr);
        } else {
            PostMessageW(window, WM_COMMAND, IDM_QUIT, 0);
        }
        if (way == "held") {
            const std::wstring told = AnswerMessageBox(clock_->id);
            EXPECT_NE(told.find(ini_ + L"\n\nほかのプログラムがこのファイルを開いているときは"), std::wstring::npos)
                << told;
        }
        EXPECT_TRUE(clock_->WaitExit()) << way << ": no box holds it";
        holder.reset();
        SetFileAttributesW(ini_.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(ReadBytes(ini_), Look()) << way;
    }
}

// The saved look comes back; only the left button drags the clock, and a double click hides it; at log-off that
// place and the hidden clock are saved, with the rest of the file as it was.
TEST_F(ExeTest, TheSavedLookComesBackAndTheMouseOnTheFaceIsKept) {
    const HWND window = Start(Look(), true, exe_);
    const auto [left, top] = TopLeft(window);
    EXPECT_EQ(std::pair(left, top), std::pair(Px(3000), Px(1500)));
    for (const int button : {3, 2}) ASSERT_TRUE(DragFace(window, button, 40, 30));
    // The right and the middle button drag nothing.
    EXPECT_EQ(TopLeft(window), std::pair(left, top));
    ASSERT_TRUE(DragFace(window, 1, 120, 90));
    const std::pair moved(left + 120, top + 90);
    WaitUntil(kExitDeadline, [window, moved] { return TopLeft(window) == moved; });
    EXPECT_EQ(TopLeft(window), moved);
    ASSERT_TRUE(Xdotool("mousemove" + OnFace(window) + " click --repeat 2 --delay 120 1"));
    EXPECT_TRUE(WaitUntil(kExitDeadline, [window] { return !IsWindowVisible(window); })) << "a double click hides it";
    const HWND owner = TrayOwnerOf(window);
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, nullptr);
    // Windows may end the process as soon as the message returns.
    const std::string saved =
        Look(std::to_string((top + 90) * 1440 / kDpi), std::to_string((left + 120) * 1440 / kDpi), "False");
    EXPECT_EQ(IniLines(ReadBytes(ini_)), IniLines(saved));
    EXPECT_FALSE(TrayIconShown(owner));
}

// Wine on a Linux desktop runs a program in its usual managed mode, where a window goes over to the window manager
// once it has been active. The clock runs so here under a name of its own, and is touched first by the real mouse
// right after its start, with another program in front or not: a drag, or the icon's menu, which stays open.
TEST_F(ExeTest, TheFirstDragAndTheFirstMenuAnswerAtOnce) {
    const std::wstring managed = folder_.File(L"Kalvory-wm.exe");
    ASSERT_TRUE(CopyFileW(exe_.c_str(), managed.c_str(), FALSE));
    const wchar_t* const key = L"Software\\Wine\\AppDefaults\\Kalvory-wm.exe\\X11 Driver";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Managed", REG_SZ, L"Y", 4), ERROR_SUCCESS);
    for (const bool behind : {false, true}) {
        for (const bool drag : {true, false}) {
            clock_.reset();
            const HWND other = behind ? TypingWindow() : nullptr;
            const HWND window = Start("[Config]\r\nDisp Clock=True\r\n", true, managed);
            if (drag) {
                const std::pair moved(TopLeft(window).first + 150, TopLeft(window).second + 80);
                ASSERT_TRUE(DragFace(window, 1, 150, 80));
                WaitUntil(kExitDeadline, [window, moved] { return TopLeft(window) == moved; });
                EXPECT_EQ(TopLeft(window), moved) << "behind another program " << behind;
            } else {
                ASSERT_TRUE(Xdotool("mousemove" + NewestTrayIcon() + " click 3"));
                const HWND menu = WaitForWindow(clock_->id, L"#32768");
                // Open through a few rebuilds of the face.
                EXPECT_FALSE(WaitUntil(600, [menu] { return !IsWindowVisible(menu); })) << "behind: " << behind;
            }
            DestroyWindow(other);
        }
    }
}
}  // namespace
