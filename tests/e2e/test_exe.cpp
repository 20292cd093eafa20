// The real program, started and used as a user (and Windows) would, also when its files or its world misbehave.
#include "e2e/driver.h"

using namespace e2e;

namespace {
// No value is its default, the position is on whole pixels, and a section is someone else's.
const std::string kLook =
    "[Window Design]\r\nTop=1500\r\nLeft=3000\r\nFont Size=11\r\nFont Color=2\r\nFont Bold=True\r\n"
    "Translucence=3\r\n[Config]\r\nDisp Clock=True\r\nTime Tone=True\r\n[Other]\r\nnote=\x8e\x9e\x8c\x76\r\n";

// The program's message box, titled and shaped as every one of its boxes, answered with OK: its text.
std::wstring AnswerStopBox(const Process& process) {
    const MessageBoxView box = WaitForMessageBox(process.id);
    EXPECT_EQ(box.title, L"Kalvory (ver 1.1.0) [Desktop Clock]");
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_TRUE(box.icon && !GetWindow(box.window, GW_OWNER)) << "an icon, and no owner to hide behind";
    EXPECT_TRUE(PressButton(box.window, IDOK)) << "no message box";
    return box.text;
}

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
    ASSERT_TRUE(second->WaitExit());
    EXPECT_EQ(second->ExitCode(), 0u);
    EXPECT_TRUE(clock_->Running());
    EXPECT_EQ(ReadBytes(Ini()), "") << "the refused start wrote nothing";
    ASSERT_TRUE(DeleteFileW(Ini().c_str())) << "gone while running, it is written anew at exit";
    // The default 1000 twips is 66.7 pixels at 96 dpi and reads back from pixel 67 as 1005; at 144 dpi it stays.
    const std::string position = std::to_string(Px(1000) * 1440 / kDpi);
    const std::vector<std::string> expected = {
        "[Window Design]", "Top=" + position, "Left=" + position, "Font Size=16",     "Font Color=1",
        "Font Bold=False", "Translucence=0",  "[Config]",         "Disp Clock=False", "Time Tone=False"};
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
        EXPECT_EQ(AnswerStopBox(*clock), L"予測不能のエラーが発生しました");
        ASSERT_TRUE(clock->WaitExit());
        EXPECT_EQ(clock->ExitCode(), 1u) << setting;
        EXPECT_EQ(ReadBytes(Ini()), ini) << setting;
    }
}

TEST_F(ExeTest, TheSavedLookComesBackAndADragADoubleClickAndLogOffAreKept) {
    const HWND window = Start(kLook, true);
    ASSERT_NE(window, nullptr);
    const HWND owner = TrayOwnerOf(window);
    ASSERT_TRUE(WaitUntil(kStartDeadline, [&] { return TrayIconShown(owner); }));
    EXPECT_EQ(TopLeft(window), std::pair(Px(3000), Px(1500)));
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
    // Its monitor goes: the clock comes into the work area at once, and a drag from there is the user's new place.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window, nullptr, -2000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(PostMessageW(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600)));
    ASSERT_TRUE(WaitUntil(kExitDeadline, [&] { return TopLeft(window) == std::pair(int(work.left), int(work.top)); }));
    const auto [left, top] = TopLeft(window);
    for (const std::string button : {"3", "2"})  // the right and the middle button drag nothing
        ASSERT_TRUE(Xdotool("mousemove " + OnFace(window) + " mousedown " + button + " sleep 0.2 mousemove " +
                            OnFace(window, 40, 30) + " sleep 0.2 mouseup " + button));
    EXPECT_EQ(TopLeft(window), std::pair(left, top));
    ASSERT_TRUE(Xdotool("mousemove " + OnFace(window) + " mousedown 1 sleep 0.2 mousemove " + OnFace(window, 40, 30) +
                        " sleep 0.2 mousemove " + OnFace(window, 120, 90) + " sleep 0.2 mouseup 1"));
    EXPECT_TRUE(WaitUntil(kExitDeadline, [&] { return TopLeft(window) == std::pair(left + 120, top + 90); }))
        << "the left drag moved the clock to " << WindowRect(window).left << "," << WindowRect(window).top;
    EXPECT_TRUE(IsWindowVisible(window)) << "the right and middle buttons did nothing";
    ASSERT_TRUE(Xdotool("mousemove " + OnFace(window) + " click --repeat 2 --delay 120 1"));
    EXPECT_TRUE(WaitUntil(kExitDeadline, [&] { return !IsWindowVisible(window); })) << "a double click hides it";
    EXPECT_TRUE(TrayIconShown(owner)) << "the way back";
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
    // Windows may end the process as soon as the message returns.
    std::string expected = kLook;
    expected.replace(expected.find("Top=1500"), 8, "Top=" + std::to_string((top + 90) * 1440 / kDpi))
        .replace(expected.find("Left=3000"), 9, "Left=" + std::to_string((left + 120) * 1440 / kDpi));
    expected.replace(expected.find("Disp Clock=True"), 15, "Disp Clock=False");
    EXPECT_EQ(IniLines(ReadBytes(Ini())), IniLines(expected));
    EXPECT_FALSE(TrayIconShown(owner));
}

// A quit from the menu that cannot save tells the user which file and what to do; a file the user made read-only is
// kept quietly, and log-off saves what it can without a word. The file stays as it was.
TEST_F(ExeTest, AQuitThatCannotSaveSaysSoAndTheFileStaysAsItWas) {
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

// Windows picks the image drawn for the size the dpi asks: each in 32-bit colour, the largest as a PNG.
TEST(ExeIcon, TheIconHoldsEightSizesInThirtyTwoBitColour) {
    const HMODULE exe = LoadLibraryExW(EnvPath(L"KALVORY_EXE").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const auto data = [&](int id, LPCWSTR type) {
        const HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(id), type);
        return found ? static_cast<const BYTE*>(LockResource(LoadResource(exe, found))) : nullptr;
    };
    const auto word = [](const BYTE* at) { return at[0] | at[1] << 8; };
    const BYTE* group = data(IDI_CLOCK, RT_GROUP_ICON);
    ASSERT_TRUE(exe && group);
    std::string images;  // for each entry: size, bits a pixel, and the image's own header
    for (const BYTE *entry = group + 6, *image; entry < group + 6 + 14 * word(group + 4); entry += 14)
        images += std::to_string(entry[0] ? entry[0] : 256) + "/" + std::to_string(word(entry + 6)) +
                  (!(image = data(word(entry + 12), RT_ICON))            ? "? "
                   : !std::memcmp(image, "\x89PNG", 4) && image[25] == 6 ? "png "
                   : word(image) == 40 && word(image + 14) == 32         ? "bmp "
                                                                         : "? ");
    EXPECT_EQ(images, "16/32bmp 20/32bmp 24/32bmp 32/32bmp 40/32bmp 48/32bmp 64/32bmp 256/32png ");
    FreeLibrary(exe);
}
}  // namespace
