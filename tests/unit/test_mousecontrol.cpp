// The mouse control class against the real cursor and real windows.
#include <gtest/gtest.h>

#include <string>

#include "classes/clsMouseControl.h"
#include "support.h"

namespace {
// The system's cursor display counter, read without changing it.
int CursorCounter() {
    const int counter = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    return counter;
}

void SetCursorCounter(int wanted) {
    while (CursorCounter() < wanted) ShowCursor(TRUE);
    while (CursorCounter() > wanted) ShowCursor(FALSE);
}

// A window whose WM_GETTEXTLENGTH answer the test chooses when it lies.
bool gLying = false;
LRESULT gReportedLength = 0;
LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXTLENGTH && gLying) return gReportedLength;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Not a static control: those are transparent to the window-under-the-point
// search. An ANSI window, so that its answers reach the A calls unconverted.
const wchar_t* TestWindowClass() {
    static const wchar_t* name = [] {
        WNDCLASSA window{};
        window.lpfnWndProc = TestWindowProc;
        window.hInstance = GetModuleHandleW(nullptr);
        window.lpszClassName = "KalvoryTestWindow";
        RegisterClassA(&window);
        return L"KalvoryTestWindow";
    }();
    return name;
}

class MouseControlTest : public ::testing::Test {
protected:
    static constexpr RECT kPlace{300, 300, 700, 400};

    void TearDown() override {
        gLying = false;
        if (window_) DestroyWindow(window_);
        SetCursorCounter(0);
    }
    // A topmost window with the cursor in its middle.
    HWND PointAt(const std::wstring& caption) {
        window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TestWindowClass(), caption.c_str(),
                                  WS_POPUP | WS_VISIBLE, kPlace.left, kPlace.top, kPlace.right - kPlace.left,
                                  kPlace.bottom - kPlace.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetCursorPos((kPlace.left + kPlace.right) / 2, (kPlace.top + kPlace.bottom) / 2);
        PumpMessages(50);
        return window_;
    }

    clsMouseControl mouse;
    HWND window_ = nullptr;
};

TEST_F(MouseControlTest, WritingOneCoordinateLeavesTheOther) {
    PointAt(L"");  // Wine moves no cursor for a program without a window
    SetCursorPos(100, 120);
    mouse.SetNowX(150);
    EXPECT_EQ(mouse.NowX(), 150);
    EXPECT_EQ(mouse.NowY(), 120);
    mouse.SetNowY(170);
    EXPECT_EQ(mouse.NowX(), 150);
    EXPECT_EQ(mouse.NowY(), 170);
}

TEST_F(MouseControlTest, ShowAndHideWinOverAnyDisplayCounter) {
    const struct {
        int before;
        bool show;
        int after;
    } cases[] = {{0, true, 1},   {2, true, 3},   {-3, true, 0},   {-1, true, 0},
                 {0, false, -1}, {3, false, -1}, {-1, false, -2}, {-4, false, -5}};
    for (const auto& c : cases) {
        SetCursorCounter(c.before);
        if (c.show)
            mouse.Show();
        else
            mouse.Hide();
        EXPECT_EQ(CursorCounter(), c.after) << (c.show ? "Show" : "Hide") << " from " << c.before;
    }
    SetCursorCounter(-2);
    mouse.SetVisible(vbTrue);
    EXPECT_EQ(CursorCounter(), 0);
    mouse.SetVisible(vbFalse);
    EXPECT_EQ(CursorCounter(), -1);
}

TEST_F(MouseControlTest, AJapaneseCaptionComesBackExactly) {
    const std::wstring caption = L"デスクトップ時計「Kalvory」";
    HWND window = PointAt(caption);
    EXPECT_EQ(mouse.HwndUnderMouse(), window);
    EXPECT_EQ(mouse.ClassUnderMouse(), L"KalvoryTestWindow");
    EXPECT_EQ(mouse.CaptionUnderMouse(), caption);
    EXPECT_EQ(mouse.TextUnderMouse(), caption);
}

TEST_F(MouseControlTest, OnlyTheCaptionQueryStopsAt255Bytes) {
    HWND window = PointAt(std::wstring(300, L'x'));
    EXPECT_EQ(mouse.CaptionUnderMouse(), std::wstring(255, L'x'));
    EXPECT_EQ(mouse.TextUnderMouse(), std::wstring(300, L'x'));
    SetWindowTextW(window, std::wstring(200, L'時').c_str());
    EXPECT_EQ(mouse.CaptionUnderMouse(), std::wstring(127, L'時')) << "254 bytes: no half character";
    EXPECT_EQ(mouse.TextUnderMouse(), std::wstring(200, L'時'));
    SetWindowTextW(window, L"");
    EXPECT_EQ(mouse.CaptionUnderMouse(), L"");
    EXPECT_EQ(mouse.TextUnderMouse(), L"");
    EXPECT_EQ(mouse.ClassUnderMouse(), L"KalvoryTestWindow");
}

TEST_F(MouseControlTest, AWindowStatingAnImpossibleLengthGivesNoText) {
    PointAt(L"abc");
    gLying = true;
    const struct {
        LRESULT length;
        const wchar_t* text;
    } cases[] = {{-1, L""}, {LONG_MIN, L""}, {0, L""}, {LONG_MAX, L""}, {LONG_MAX - 1, L""}, {100000, L"abc"}};
    for (const auto& c : cases) {
        gReportedLength = c.length;
        EXPECT_EQ(mouse.TextUnderMouse(), c.text) << c.length;
    }
}
}  // namespace
