// The tray icon class, with the shell recorded and with the real shell, and
// the mouse control class against the real cursor and real windows.
#include <climits>
#include <cstring>
#include <tuple>

#include "classes/clsMouseControl.h"
#include "classes/clsTaskTray.h"
#include "support.h"

namespace {
std::vector<std::pair<DWORD, NOTIFYICONDATAA>> gCalls;

BOOL WINAPI RecordShellCall(DWORD message, PNOTIFYICONDATAA data) {
    gCalls.emplace_back(message, NOTIFYICONDATAA{});
    std::memcpy(&gCalls.back().second, data, std::min<size_t>(data->cbSize, sizeof(NOTIFYICONDATAA)));
    return TRUE;
}

class TaskTrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        gCalls.clear();
        clsTaskTray::SetShellNotifyForTest(RecordShellCall);
    }
    void TearDown() override { clsTaskTray::SetShellNotifyForTest(nullptr); }
};

TEST_F(TaskTrayTest, EachButtonMessageSetsOnlyItsOwnFlag) {
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
    for (Long other : {0x0000, 0x0205 + 0x10000, -0x0205}) {
        tray.SetEvents(0x0205);
        tray.SetEvents(other);
        EXPECT_EQ(tray.EventRightButtonUp(), vbFalse) << other;
    }
}

TEST_F(TaskTrayTest, TheShellGetsTheFirstRecordLayoutOnlyForAnAddedIconAndOnlyOnce) {
    const auto owner = reinterpret_cast<HWND>(0x1234);
    const auto icon = reinterpret_cast<HICON>(0x5678);
    {
        clsTaskTray tray;
        EXPECT_FALSE(tray.Modify() || tray.Delete());
        tray.SetOwner(owner), tray.SetIcon(icon), tray.Add();
        tray.SetToolTipText(L"Kalvory"), tray.Modify();
        tray.SetToolTipText(L""), tray.Modify();
        tray.Delete(), tray.Delete(), tray.Modify();
        clsTaskTray().Add();  // released while shown: the icon goes
    }
    const std::pair<DWORD, UINT> expected[] = {{NIM_ADD, 3},    {NIM_MODIFY, 7}, {NIM_MODIFY, 3},
                                               {NIM_DELETE, 3}, {NIM_ADD, 3},    {NIM_DELETE, 3}};
    ASSERT_EQ(gCalls.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        const NOTIFYICONDATAA& data = gCalls[i].second;
        EXPECT_EQ(std::make_pair(gCalls[i].first, data.uFlags), expected[i]) << "a tip flag only with a tip: " << i;
        EXPECT_EQ(std::make_tuple(data.cbSize, data.uID, data.uCallbackMessage), std::make_tuple(88ul, 1u, 0x200u));
        EXPECT_EQ(std::make_pair(data.hWnd, data.hIcon),
                  i < 4 ? std::make_pair(owner, icon) : std::make_pair(HWND{}, HICON{}));
    }
    EXPECT_STREQ(gCalls[1].second.szTip, "Kalvory");
}

// The first record layout holds 64 bytes of tip; the shell reads no more.
TEST_F(TaskTrayTest, ATipTooLongForItsFieldLosesWholeCharactersOnly) {
    std::string kanji;  // 31 of 時 fill 62 bytes; a 32nd would not fit
    for (int i = 0; i < 31; ++i) kanji += "\x8E\x9E";
    const std::pair<std::wstring, std::string> cases[] = {{std::wstring(70, L'a'), std::string(63, 'a')},
                                                          {std::wstring(63, L'a'), std::string(63, 'a')},
                                                          {std::wstring(40, L'時'), kanji},
                                                          {L"a" + std::wstring(40, L'時'), "a" + kanji},
                                                          {L"ab" + std::wstring(40, L'時'), "ab" + kanji.substr(2)}};
    for (const auto& [tip, sent] : cases) {
        clsTaskTray tray;
        tray.SetToolTipText(tip);
        tray.Add();
        EXPECT_EQ(std::string(gCalls.back().second.szTip, strnlen(gCalls.back().second.szTip, 64)), sent);
    }
}

// The system's cursor display counter, read and set.
int CursorCounter(int wanted = INT_MIN) {
    int counter = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    for (; wanted != INT_MIN && counter < wanted; ++counter) ShowCursor(TRUE);
    for (; wanted != INT_MIN && counter > wanted; --counter) ShowCursor(FALSE);
    return counter;
}

TEST(MouseControl, ShowAndHideWinOverAnyDisplayCounter) {
    clsMouseControl mouse;
    const int cases[][3] = {{0, 1, 1},  {2, 1, 3},  {-3, 1, 0},  {-1, 1, 0},  // from, show, to
                            {0, 0, -1}, {3, 0, -1}, {-1, 0, -2}, {-4, 0, -5}};
    for (const auto& [before, show, after] : cases) {
        CursorCounter(before);
        show ? mouse.Show() : mouse.Hide();
        EXPECT_EQ(CursorCounter(), after) << show << " from " << before;
    }
    CursorCounter(-2);
    mouse.SetVisible(vbTrue);
    EXPECT_EQ(CursorCounter(), 0);
    mouse.SetVisible(vbFalse);
    EXPECT_EQ(CursorCounter(), -1);
    CursorCounter(0);
}

// A window whose WM_GETTEXTLENGTH answer the test chooses when it lies.
LRESULT gReportedLength = 0;
LRESULT CALLBACK LyingWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXTLENGTH && gReportedLength) return gReportedLength;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Not a static control, which the window-under-the-point search sees
// through; an ANSI window, so that its answers reach the A calls unconverted;
// its class name, 400 bytes in Shift-JIS, overflows the 256-byte buffer.
TEST(MouseControl, TheWindowUnderTheCursorIsReadWithinItsBuffers) {
    std::string className;
    for (int i = 0; i < 200; ++i) className += "\x8e\x9e";  // 時
    WNDCLASSA windowClass{0, LyingWindowProc, 0, 0, GetModuleHandleW(nullptr)};
    windowClass.lpszClassName = className.c_str();
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    const HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, className.c_str(), "", WS_POPUP | WS_VISIBLE,
                                        300, 300, 400, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    clsMouseControl mouse;
    SetCursorPos(100, 120);
    mouse.SetNowX(500);
    EXPECT_EQ(mouse.NowY(), 120) << "writing one coordinate leaves the other";
    mouse.SetNowY(350);
    EXPECT_EQ(mouse.NowX(), 500);
    for (const DWORD start = GetTickCount(); mouse.HwndUnderMouse() != window && GetTickCount() - start < 5000;)
        PumpMessages(20);
    ASSERT_EQ(mouse.HwndUnderMouse(), window);
    EXPECT_EQ(mouse.ClassUnderMouse(), std::wstring(127, L'時'));
    const struct {
        std::wstring text, caption, full;  // only the caption query stops at 255 bytes
    } captions[] = {{L"デスクトップ時計「Kalvory」", L"デスクトップ時計「Kalvory」", L"デスクトップ時計「Kalvory」"},
                    {std::wstring(300, L'x'), std::wstring(255, L'x'), std::wstring(300, L'x')},
                    {std::wstring(200, L'時'), std::wstring(127, L'時'), std::wstring(200, L'時')},
                    {L"", L"", L""}};
    for (const auto& c : captions) {
        SetWindowTextW(window, c.text.c_str());
        EXPECT_EQ(mouse.CaptionUnderMouse(), c.caption);
        EXPECT_EQ(mouse.TextUnderMouse(), c.full);
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
