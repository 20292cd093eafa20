// The pieces below the clock window: the settings file, the library, the tray and mouse classes, and their buffers.
#include "e2e/driver.h"

namespace {
extern void* gProfileRead asm("__imp__GetPrivateProfileStringA@24");
DWORD WINAPI CutThroughACharacter(LPCSTR, LPCSTR, LPCSTR, LPSTR buffer, DWORD size, LPCSTR) {
    return std::memcpy(buffer, (std::string(size - 2, 'x') + "\x8e").c_str(), size), size - 1;
}

TEST(IniFile, OnlySetFileCreatesOrEmptiesTheFileAndOnlyOrdinaryWritableFilesAreWritten) {
    const TempFolder folder;
    const std::wstring path = folder.File(L"Kalvory.ini"), nowhere = folder.File(L"missing\\Kalvory.ini");
    const std::string content = "[Config]\r\nDisp Clock=True\r\n";
    clsIniFile ini;
    const auto read = [&](const wchar_t* key) { return ini.getValue(L"Config", key); };
    EXPECT_FALSE(ini.setFile(nowhere) || PathExists(folder.File(L"missing")));
    EXPECT_TRUE(read(L"Disp Clock").empty() && !ini.setValue(L"Config", L"Disp Clock", L"True")) << "unbound";
    EXPECT_TRUE(ini.setFile(path) && PathExists(path) && ReadBytes(path).empty());
    WriteBytes(path, content);
    EXPECT_TRUE(ini.setFile(path, false) && !ini.setFile(nowhere) && ReadBytes(path) == content);
    EXPECT_EQ(read(L"Disp Clock"), L"True") << "a failed bind keeps the one before";
    // A value cut at 255 bytes through a double-byte character, as Windows leaves it: the half is dropped.
    EXPECT_EQ((ImportPatch(&gProfileRead, reinterpret_cast<void*>(CutThroughACharacter)), read(L"Long")),
              std::wstring(254, L'x'));
    EXPECT_TRUE(ini.setValue(L"Config", L"Time Tone", L"True") && read(L"Time Tone") == L"True");
    DeleteFileW(path.c_str());
    EXPECT_FALSE(ini.setValue(L"Config", L"Time Tone", L"False") || !read(L"Time Tone").empty() || PathExists(path))
        << "never made again by a read or a write";
    EXPECT_TRUE((WriteBytes(path, content), ini.setFile(path, true)) && ReadBytes(path).empty());
    // The ordinary attribute mask finds normal, read-only and archive files; not hidden or system ones, nor folders.
    WriteBytes(path, content);
    for (const DWORD attribute : {FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                                  FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_READONLY}) {
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), attribute));
        const bool ordinary = (attribute & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
        EXPECT_EQ(FileExists(path), ordinary) << attribute;
        EXPECT_EQ(read(L"Disp Clock"), ordinary ? L"True" : L"") << attribute;
        EXPECT_TRUE(ordinary || !ini.setValue(L"Config", L"Disp Clock", L"False")) << attribute;
    }
    EXPECT_FALSE(ini.setValue(L"Config", L"Disp Clock", L"False") || ini.setFile(path, true)) << "read-only";
    // A save leaves a read-only or locked file as it was: the user's own choice is kept, a lock is a failure.
    gstrIniPath = path, LoadSettings();
    EXPECT_TRUE(gblnDispClock == vbTrue && SaveSettings()) << "read all the same, and kept";
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    {
        const KernelHandle lock(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(!lock || SaveSettings()) << "locked";
    }
    EXPECT_EQ(ReadBytes(path), content);
    EXPECT_FALSE((gstrIniPath = nowhere, SaveSettings()) || PathExists(nowhere)) << "no folder";
    CreateDirectoryW(folder.File(L"Folder.ini").c_str(), nullptr);
    for (const wchar_t* name : {L"Folder.ini", L"*.ini", L"Kalvory.in?", L"K*", L""})
        EXPECT_FALSE(FileExists(folder.File(name)) || clsIniFile().setFile(folder.File(name))) << name;
}

TEST(Library, TheStringBuilderTitleFolderAndErrorBoxShowAsTheProgramMeansAndALongSeparatorIsRefused) {
    ASSERT_EQ(GetACP(), 932u) << "the tests expect the Japanese code page";
    clsStrChain chain;
    const std::tuple<std::wstring, const wchar_t*, long> steps[] = {
        {L"", L"", 0},
        {L"abc", L"abc", 3},
        {L"二重起動", L"abc二重起動", 11},                 // two bytes a kanji
        {std::wstring(L"x\0cd", 4), L"abc二重起動x", 12},  // a piece ends at its first NUL
        {L"a\u0E01b", L"abc二重起動xa?b", 15}};            // a Thai letter has no Shift-JIS code
    for (const auto& [piece, all, length] : steps) {
        chain.AddString(piece);
        EXPECT_EQ(chain.GetString() + L"|" + std::to_wstring(chain.Length()), all + (L"|" + std::to_wstring(length)));
    }
    EXPECT_EQ((chain.ClearString(), chain.AddString(L"again"), chain.GetString()), L"again");
    EXPECT_EQ(GetAppTitle(L"Kalvory", L"") + L"|" + GetAppTitle(L"時計", L"タグ"),
              L"Kalvory (ver 1.1.0)|時計 (ver 1.1.0) [タグ]");
    wchar_t module[MAX_PATH];
    const std::wstring running(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
    EXPECT_EQ(GetAppPath(), running.substr(0, running.rfind(L'\\') + 1));
    for (const wchar_t* exe : {L"C:\\Tools\\Kalvory.exe", L"D:\\Kalvory.exe", L"C:\\時計\\Kalvory.exe"})
        EXPECT_EQ((App.SetModulePathForTest(exe), GetAppPath()), std::wstring(exe, std::wcslen(exe) - 11));
    App.SetModulePathForTest(L"");
    // A copy running elevated or as another user holds the program's name where this one may not open it.
    PSECURITY_DESCRIPTOR closed = nullptr;  // an empty access list
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1, &closed, nullptr);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, closed, FALSE};
    const KernelHandle other(CreateMutexW(&attributes, FALSE, L"Local\\Kalvory.SingleInstance"));
    EXPECT_TRUE(other && AppObject().PrevInstance()) << "running all the same";
    // The error box, shown here and read from a second thread as the user sees it, then answered with OK.
    gstrAppTitle = L"Kalvory (ver 1.1.0) [Test]";
    const VBError overflow(vbErr::Overflow, L"オーバーフローしました。");
    for (const VBError* error : {static_cast<const VBError*>(nullptr), &overflow}) {
        e2e::MessageBoxView box;
        std::thread reader(
            [&] { e2e::PressButton((box = e2e::WaitForMessageBox(GetCurrentProcessId())).window, IDOK); });
        ShowErrorMessage(L"予測不能のエラーが発生しました", error);
        reader.join();
        EXPECT_EQ(box.title + L"|" + box.text, gstrAppTitle + L"|予測不能のエラーが発生しました");
        EXPECT_TRUE(box.buttons == std::vector<int>{IDOK} && box.icon == LoadIconW(nullptr, IDI_HAND)) << "OK, stop";
    }
    // Eight characters and the closing zero fill the separator buffer; a ninth is refused, and "." stands in.
    const struct Restore {  // the user's separator, put back however the test ends
        wchar_t old[80] = L"";
        Restore() { GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old, 80); }
        ~Restore() { SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old); }
    } restore;
    for (const size_t length : {7u, 8u}) {
        const std::wstring separator(length, L'#');
        double value = 0;
        ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator.c_str()));
        EXPECT_EQ(ParseNumericText(L"3" + separator + L"5", value), length == 7) << length;
        EXPECT_TRUE(ParseNumericText(length == 7 ? L"3" + separator + L"5" : L"3.5", value) && value == 4.0);
    }
}

TEST(TaskTray, TheShellGetsTheFirstRecordOnlyForAnAddedIconAndEachButtonItsFlag) {
    const FakeShell shell(1, 0);  // the first add is refused
    const auto [owner, icon] = std::pair(reinterpret_cast<HWND>(0x1234), reinterpret_cast<HICON>(0x5678));
    {
        clsTaskTray tray;
        EXPECT_FALSE(tray.Modify() || tray.Delete());
        tray.SetOwner(owner), tray.SetIcon(icon);
        EXPECT_FALSE(tray.Add() || tray.Delete() || tray.ShowBalloon(L"Kalvory", L"!")) << "refused: not there";
        EXPECT_TRUE(tray.Add());
        tray.SetToolTipText(L"Kalvory"), tray.Modify();
        tray.SetToolTipText(std::wstring(40, L'時')), tray.Modify();  // 80 bytes for a field of 64
        tray.SetToolTipText(L""), tray.Modify();
        tray.Delete(), tray.Delete(), tray.Modify();
        clsTaskTray().Add();  // released while shown: the icon goes
    }
    EXPECT_EQ(FakeShell::Seen(), "0/3 1/3 0/3 1/7 1/7 1/3 2/3 0/3 2/3 ") << "a tip flag only with a tip";
    const auto& calls = FakeShell::calls;
    for (size_t i = 0; i < calls.size(); ++i) {
        const NOTIFYICONDATAA& data = std::get<1>(calls[i]);
        EXPECT_EQ(std::make_tuple(data.cbSize, data.uID, data.uCallbackMessage, data.hWnd, data.hIcon),
                  std::make_tuple(88ul, 1u, 0x200u, i < 7 ? owner : nullptr, i < 7 ? icon : nullptr));
        const char* beyond = reinterpret_cast<const char*>(&data) + 88;
        EXPECT_EQ(std::string(beyond, sizeof data - 88), std::string(sizeof data - 88, '\0')) << "written past: " << i;
    }
    EXPECT_EQ(std::get<1>(calls[3]).szTip + std::string("|") + std::get<1>(calls[4]).szTip,
              "Kalvory|" + ToAnsi(std::wstring(31, L'時')))
        << "whole characters and the closing zero";
    clsTaskTray tray;
    for (Long message = 0x01FF; message <= 0x020A; ++message) {
        tray.SetEvents(message);
        // The nine button actions, in the order of their messages 0x0201..0x0209.
        const Boolean flags[] = {
            tray.EventLeftButtonDown(),   tray.EventLeftButtonUp(),   tray.EventLeftButtonDblClick(),
            tray.EventRightButtonDown(),  tray.EventRightButtonUp(),  tray.EventRightButtonDblClick(),
            tray.EventMiddleButtonDown(), tray.EventMiddleButtonUp(), tray.EventMiddleButtonDblClick()};
        for (Long i = 0; i < 9; ++i) EXPECT_EQ(flags[i], message == 0x0201 + i ? vbTrue : vbFalse) << message;
    }
}

// The system's cursor display counter, read and, if asked, set.
int CursorCounter(int wanted = INT_MIN) {
    int counter = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    while (wanted != INT_MIN && counter != wanted) counter = ShowCursor(counter < wanted);
    return counter;
}

// A window whose WM_GETTEXTLENGTH answer the test chooses when it lies.
LRESULT gReportedLength = 0;
LRESULT CALLBACK LyingWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXTLENGTH && gReportedLength) return gReportedLength;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Not a static control (the search under the point sees through those); ANSI, so its answers reach the A calls as
// they are; its class name, 400 bytes in Shift-JIS, overflows the 256-byte buffer.
TEST(MouseControl, ShowAndHideWinOverAnyCounterAndTheWindowUnderTheCursorIsReadWithinItsBuffers) {
    clsMouseControl mouse;
    const int cases[][3] = {{0, 1, 1},  {2, 1, 3},   {-3, 1, 0},  {-1, 1, 0}, {0, 0, -1},   // from, show, to
                            {3, 0, -1}, {-1, 0, -2}, {-4, 0, -5}, {-2, 3, 0}, {0, 2, -1}};  // 3, 2: Visible on, off
    for (const auto& [before, show, after] : cases) {
        CursorCounter(before);
        show > 1 ? mouse.SetVisible(show == 3 ? vbTrue : vbFalse) : show ? mouse.Show() : mouse.Hide();
        EXPECT_EQ(CursorCounter(), after) << show << " from " << before;
    }
    CursorCounter(0);
    const std::string className = ToAnsi(std::wstring(200, L'時'));
    const WNDCLASSA windowClass{0, LyingWindowProc, 0, 0, GetModuleHandleW(nullptr), 0, 0, 0, 0, className.c_str()};
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    const HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, className.c_str(), "", WS_POPUP | WS_VISIBLE,
                                        300, 300, 400, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    SetCursorPos(100, 120), mouse.SetNowX(500);
    const Long y = mouse.NowY();
    mouse.SetNowY(350);
    EXPECT_EQ(std::pair(y, mouse.NowX()), std::pair(120, 500)) << "writing one coordinate leaves the other";
    ASSERT_TRUE(WaitUntil(5000, [&] { return PumpMessages(0), mouse.HwndUnderMouse() == window; }));
    EXPECT_EQ(mouse.ClassUnderMouse(), std::wstring(127, L'時'));
    const std::tuple<std::wstring, std::wstring, std::wstring> captions[] = {
        // only the caption stops at 255 bytes
        {L"時計「Kalvory」", L"時計「Kalvory」", L"時計「Kalvory」"},
        {std::wstring(300, L'x'), std::wstring(255, L'x'), std::wstring(300, L'x')},
        {std::wstring(200, L'時'), std::wstring(127, L'時'), std::wstring(200, L'時')},
        {L"", L"", L""}};
    for (const auto& [text, caption, full] : captions) {
        SetWindowTextW(window, text.c_str());
        EXPECT_EQ(mouse.CaptionUnderMouse() + L"|" + mouse.TextUnderMouse(), caption + L"|" + full);
    }
    SetWindowTextW(window, L"abc");
    for (const LRESULT lie :
         {LRESULT(-1), LRESULT(LONG_MIN), LRESULT(LONG_MAX), LRESULT(LONG_MAX - 1), LRESULT(100000)})
        EXPECT_EQ((gReportedLength = lie, mouse.TextUnderMouse()), lie == 100000 ? L"abc" : L"") << lie;
    gReportedLength = 0;
    DestroyWindow(window);
    UnregisterClassA(className.c_str(), windowClass.hInstance);
}
}  // namespace
