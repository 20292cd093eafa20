// The real clock window: its face, menus, presets, tray icon, hourly signal and full-screen watch, read back from what
// Windows reports.
#include "support.h"

// The test exe's own imports, which a test may point elsewhere for a while.
extern void* gFindExport asm("__imp__GetProcAddress@8");
extern void* gShellState asm("__imp__SHQueryUserNotificationState@4");
extern void* gMonitorOf asm("__imp__MonitorFromWindow@8");
extern void* gInfoOf asm("__imp__GetMonitorInfoW@8");

namespace {
// The indexes of the checked size, colour and translucency items: "16 /1 /0 /".
std::string Checks() {
    std::string checked;
    for (const MenuArray* items : {&frmMain.mnuFontSizeValue, &frmMain.mnuFontColorValue, &frmMain.mnuTransValue}) {
        for (Integer index = items->LBound(); index <= items->UBound(); ++index) {
            if ((*items)(index).Checked()) checked += std::to_string(index) + " ";
        }
        checked += "/";
    }
    return checked;
}
// The extent of a text in the font a window draws its face with; the window is sized by its measuring label.
std::pair<int, int> Extent(HDC dc, const std::string& text) {
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    return {extent.cx, extent.cy};
}
LOGFONTW FaceFont(HDC dc) {
    LOGFONTW font{};
    GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font);
    return font;
}
COLORREF FaceColor(HWND window, HDC dc) {
    const POINT glyph = PointOnFace(window);
    return GetPixel(dc, glyph.x, glyph.y);
}
// The alpha of a layered window, -1 for a plain one.
int AlphaOf(HWND window) {
    BYTE alpha = 0;
    if (!GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr)) return -1;
    return alpha;
}
// Chooses an item by its place in the real menu; submenu -1 is the tray menu itself.
void Choose(int submenu, int item) {
    const HMENU menu = submenu < 0 ? frmMain.mnuTaskTray() : GetSubMenu(frmMain.mnuTaskTray(), submenu);
    SendMessageW(frmMain.hWnd(), WM_COMMAND, GetMenuItemID(menu, item), 0);
}
// The shell's word of the mouse over the icon.
void Notify(UINT message) { SendMessageW(frmMain.pctTaskTray.hWnd(), WM_MOUSEMOVE, 0, static_cast<LPARAM>(message)); }

// The face is read through the clock's seam; a standard exception, which the program never raises itself, ends
// only the tick it came in.
int gFailures = 0;
SYSTEMTIME FailingClock() {
    --gFailures;
    if (gFailures >= 0) throw std::out_of_range("no clock");
    return gFixedTime;
}

TEST_F(ClockTest, TheLoadGivesABorderlessToolWindowTheSavedLookCutToTheTimeEachTick) {
    gintFontColor = 2;
    gintTranslucence = 3;
    frmMain.Load();
    EXPECT_EQ(GetWindowLongW(Window(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0);
    EXPECT_EQ(GetWindowLongW(Window(), GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    EXPECT_EQ(FaceFont(frmMain.hDC()).lfHeight, -MulDiv(72, kDpi, 72));
    EXPECT_EQ(SizeOf(Window()), Extent(frmMain.hDC(), "08:08:08"));
    EXPECT_EQ(Checks(), "16 /2 /3 /");
    EXPECT_TRUE(frmMain.mnuFontBold.Checked());
    EXPECT_EQ(AlphaOf(Window()), 190);
    EXPECT_EQ(FaceColor(Window(), frmMain.hDC()), RGB(255, 255, 255));
    // The small icon is made for the size the dpi asks for, not shrunk from the large one.
    ICONINFO small{};
    GetIconInfo(reinterpret_cast<HICON>(SendMessageW(Window(), WM_GETICON, ICON_SMALL, 0)), &small);
    BITMAP bitmap{};
    GetObjectW(small.hbmColor, sizeof(bitmap), &bitmap);
    DeleteObject(small.hbmColor);
    DeleteObject(small.hbmMask);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));
    // The runs of the region that a column of pixels crosses through the middle of each character of "08:08:08": a
    // dotted 0, an 8 with two holes, a colon of two dots.
    const HRGN face = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(Window(), face);
    const auto [width, height] = SizeOf(Window());
    std::string runs;
    for (int x = width / 16; x < width; x += width / 8) {
        int count = 0;
        for (int y = 0; y < height; ++y) {
            if (PtInRegion(face, x, y) && !PtInRegion(face, x, y - 1)) ++count;
        }
        runs += std::to_string(count);
    }
    DeleteObject(face);
    EXPECT_EQ(runs, "33233233");
    gFailures = 1;
    SetFixedTime(23, 58, 59);
    SetNowForTest(FailingClock);
    WaitUntil(5000, [] {
        PumpMessages(0);
        return frmMain.lblTemplate.Caption() == L"23:58:59";
    });
    // Rebuilt by the timer, past a failing tick.
    EXPECT_EQ(frmMain.lblTemplate.Caption(), L"23:58:59");
}

// The face and its measuring label change together.
TEST_F(ClockTest, EachChoiceChangesTheFaceAtOnce) {
    frmMain.Load();
    std::vector<COLORREF> colors;
    for (const int index : {4, 5, 3, 2, 1, 6}) {  // red last, which no wrong index gives
        frmMain.mnuFontColorValue_Click(Integer(index));
        colors.push_back(FaceColor(Window(), frmMain.hDC()));
    }
    EXPECT_EQ(colors, (std::vector<COLORREF>{0x00FF00, 0x008000, 0xFF0000, 0xFFFFFF, 0x000000, 0x0000FF}));
    frmMain.mnuFontSizeValue_Click(1);
    frmMain.mnuFontBold_Click();
    EXPECT_EQ(FaceFont(frmMain.hDC()).lfHeight, -MulDiv(8, kDpi, 72));
    EXPECT_EQ(FaceFont(frmMain.hDC()).lfWeight, FW_NORMAL);
    EXPECT_EQ(SizeOf(Window()), Extent(frmMain.hDC(), "08:08:08"));
    std::vector<int> alphas;
    for (int level = 10; level >= 0; --level) {
        frmMain.mnuTransValue_Click(Integer(level));
        alphas.push_back(AlphaOf(Window()));
    }
    EXPECT_EQ(alphas, (std::vector<int>{0, 15, 45, 75, 105, 135, 165, 190, 210, 230, -1}));
    EXPECT_EQ(Checks(), "1 /6 /0 /");
    EXPECT_FALSE(frmMain.mnuFontBold.Checked());
}

// Each preset puts the clock flush with the whole screen and shows it, hidden or not; the saved choice stays. Half
// twips are kept until the move to whole pixels, which rounds a half to even.
TEST_F(ClockTest, ThePresetsPutTheClockFlushWithTheScreen) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    const struct {
        int item;  // 左上 左下 右上 右下 中央
        int width, height;
        std::pair<int, int> at;
    } presets[] = {{3, w / 8, h / 8, {w * 7 / 8, h * 7 / 8}},
                   {0, w / 8, h / 8, {0, 0}},
                   {4, w / 8, h / 8, {w * 7 / 16, h * 7 / 16}},
                   {1, w / 8, h / 8, {0, h * 7 / 8}},
                   {2, w / 8, h / 8, {w * 7 / 8, 0}},
                   {4, w - 1119, h - 895, {560, 448}},
                   {2, w + 200, 40, {-200, 0}},
                   {4, w + 200, 40, {-100, (h - 40) / 2}}};
    for (const Boolean shown : {vbTrue, vbFalse}) {
        gblnDispClock = shown;
        frmMain.Load();
        for (const auto& preset : presets) {
            frmMain.SetVisible(shown);
            // No tick rebuilds the face meanwhile.
            frmMain.SetWidth(static_cast<float>(preset.width * 1440 / kDpi));
            frmMain.SetHeight(static_cast<float>(preset.height * 1440 / kDpi));
            Choose(2, preset.item);
            EXPECT_EQ(TopLeft(Window()), preset.at);
            EXPECT_TRUE(IsWindowVisible(Window()));
        }
        EXPECT_EQ(gblnDispClock, shown);
        frmMain.Unload();
    }
}

// A clock that no monitor shows enough of to grab (a quarter of its width and half of its height) comes wholly into
// the work area, at the load and when the displays change, shown or hidden; only the user's own place is saved.
TEST_F(ClockTest, AClockNoScreenShowsComesIntoViewAndKeepsTheUsersPlace) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    frmMain.Load();
    const auto [width, height] = SizeOf(Window());
    frmMain.Unload();
    // A quarter of its width on screen, and half of its height.
    const Long quarter = (GetSystemMetrics(SM_CXSCREEN) - width / 4) * 1440 / kDpi;
    const Long half = (GetSystemMetrics(SM_CYSCREEN) - height / 2) * 1440 / kDpi;
    const Long pixel = 1440 / kDpi;
    // Beyond the right and the bottom; beyond the left and the top; a pixel short of a quarter, or of a half, on
    // screen; a quarter, a half.
    const struct {
        Long left, top;
        int x, y;
    } places[] = {{99999, 77777, work.right - width, work.bottom - height},
                  {-50001, -2999, work.left, work.top},
                  {quarter + pixel, 1500, work.right - width, Px(1500)},
                  {1500, half + pixel, Px(1500), work.bottom - height},
                  {quarter, half, Px(quarter), Px(half)}};
    for (const auto& place : places) {
        glngLeft = place.left;
        glngTop = place.top;
        gblnDispClock = Not(gblnDispClock);
        frmMain.Load();
        EXPECT_EQ(TopLeft(Window()), std::pair(place.x, place.y));
        frmMain.Unload();
        const std::vector<std::string> lines = IniLines(ReadBytes(gstrIniPath));
        EXPECT_EQ(lines.at(1) + lines.at(2), "Top=" + std::to_string(place.top) + "Left=" + std::to_string(place.left));
    }
    frmMain.Load();
    for (const UINT message : {WM_DISPLAYCHANGE, WM_SETTINGCHANGE}) {
        SetWindowPos(Window(), nullptr, -2000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(Window(), message, SPI_SETWORKAREA, 0);
        EXPECT_EQ(TopLeft(Window()), std::pair(int(work.left), int(work.top))) << message;
    }
}

// The program looks up its message-filter function and finds a recorder (Wine's own only pretends to filter).
std::pair<HWND, UINT> gAllowed;
BOOL WINAPI RecordAllowed(HWND window, UINT message, DWORD, void*) {
    gAllowed = {window, message};
    return TRUE;
}
FARPROC WINAPI FindRecorder(HMODULE, LPCSTR) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(RecordAllowed));
}

// After sign-in the shell may refuse icons: the clock asks again until the icon is there, once, with a first start's
// note; told "TaskbarCreated" by a shell that kept it, or taken without a yes, it asks whether the shell holds it.
TEST_F(ClockTest, TheTrayIconComesOnceTheShellHoldsIt) {
    const FakeShell shell(1);
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    gblnFirstRun = vbTrue;
    {
        const ImportPatch findFilter(&gFindExport, reinterpret_cast<void*>(FindRecorder));
        frmMain.Load();
    }
    // It reaches a clock running elevated.
    EXPECT_EQ(gAllowed, std::pair(Window(), taskbarCreated));
    ASSERT_TRUE(WaitUntil(15000, [] {
        PumpMessages(0);
        return FakeShell::held;
    }));
    SendMessageW(Window(), taskbarCreated, 0, 0);
    FakeShell::held = false;
    FakeShell::takenUnanswered = 1;
    SendMessageW(Window(), taskbarCreated, 0, 0);
    PumpMessages(3500);  // a retry's time, for the clock to ask again if it would
    // Refused; taken, and the note; held already; taken without a yes.
    EXPECT_EQ(FakeShell::Seen(), "0/7 1/7 0/7 1/16 0/7 1/7 0/7 1/7 ");
    EXPECT_EQ(FakeShell::calls.at(2).record.hIcon, frmMain.Icon());
    EXPECT_STREQ(FakeShell::calls.at(2).record.szTip, "Kalvory");
    const NOTIFYICONDATAA& note = FakeShell::calls.at(3).record;
    EXPECT_EQ(note.cbSize, 488u);
    EXPECT_EQ(
        std::string(note.szInfoTitle) + note.szInfo,
        ToAnsi(L"KalvoryKalvory は通知領域で動いています。このアイコンをダブルクリックすると時計が表示されます。"));
    // Removed at the quit.
    frmMain.Unload();
    EXPECT_FALSE(FakeShell::held);
}

// A pop-up menu is modal: this notes which menu was open and closes it.
HMENU gMenuSeen = nullptr;
void CALLBACK CloseAnyMenu(HWND, UINT, UINT_PTR, DWORD) {
    gMenuSeen = reinterpret_cast<HMENU>(SendMessageW(FindWindowW(L"#32768", nullptr), MN_GETHMENU, 0, 0));
    EndMenu();
}

// Only the right button's release on the icon opens the menu; a double click shows or hides the clock on top. Neither
// a start, shown or hidden, nor the double click takes the focus.
TEST_F(ClockTest, TheIconsMenuAndDoubleClick) {
    const FakeShell shell(0);
    gblnDispClock = vbFalse;
    const HWND typing = TypingWindow();
    frmMain.Load();
    // Started hidden.
    EXPECT_TRUE(TypingGoesOn(typing));
    gMenuSeen = nullptr;
    const UINT_PTR closer = SetTimer(nullptr, 0, 100, CloseAnyMenu);
    Notify(WM_RBUTTONDOWN);
    EXPECT_EQ(gMenuSeen, nullptr) << "not on the press";
    Notify(WM_RBUTTONUP);
    KillTimer(nullptr, closer);
    EXPECT_EQ(gMenuSeen, frmMain.mnuTaskTray());
    // In the foreground, so that a click elsewhere closes the menu.
    EXPECT_EQ(GetForegroundWindow(), Window());
    SetForegroundWindow(typing);
    SetFocus(typing);
    std::string shown;
    for (int i = 0; i < 3; ++i) {
        SetWindowPos(Window(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        Notify(WM_LBUTTONDBLCLK);
        shown += std::to_string(IsWindowVisible(Window())) + "," + std::to_string(gblnDispClock) + "," +
                 std::to_string(GetWindowLongW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) + " ";
    }
    // Shown, the choice, topmost, after each double click.
    EXPECT_EQ(shown, "1,-1,8 0,0,8 1,-1,8 ");
    frmMain.Unload();
    frmMain.Load();
    // Shown by the double clicks and a start.
    EXPECT_TRUE(TypingGoesOn(typing));
    DestroyWindow(typing);
}

// Every item of the real menu does what it says and the quit saves; a cancelled log-off does nothing, and at
// log-off the settings are written before the icon goes.
TEST_F(ClockTest, TheMenuItemsAndTheWaysToQuit) {
    const FakeShell shell(0);
    frmMain.Load();
    // No note but on a first start.
    EXPECT_EQ(FakeShell::Seen(), "0/7 ");
    Choose(3, 10);
    Choose(4, 5);
    Choose(6, 7);
    Choose(-1, 0);
    Choose(-1, 5);
    Choose(2, 0);
    const std::vector<int> settings = {gintFontSize, gintFontColor, gintTranslucence, gblnTimeTone, gblnFontBold};
    EXPECT_EQ(settings, (std::vector<int>{11, 6, 7, vbTrue, vbFalse}));
    SendMessageW(Window(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    // A cancelled log-off.
    EXPECT_EQ(ReadBytes(gstrIniPath), "");
    Choose(-1, 8);
    EXPECT_FALSE(frmMain.IsLoaded()) << "終了";
    const std::vector<std::string> lines = IniLines(ReadBytes(gstrIniPath));
    // 左上 and 赤.
    EXPECT_EQ(lines.at(1) + lines.at(4), "Top=0Font Color=6");
    frmMain.Load();
    DeleteFileW(gstrIniPath.c_str());
    SendMessageW(Window(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(FakeShell::calls.back().message, DWORD(NIM_DELETE));
    // Saved before the icon went.
    EXPECT_EQ(IniLines(FakeShell::calls.back().settings).at(4), "Font Color=6");
}

// Whether the hourly pop-up comes within these milliseconds of the clock running from that full hour.
DWORD gRunFrom = 0;
SYSTEMTIME RunningClock() {
    SYSTEMTIME now = gFixedTime;
    now.wSecond = static_cast<WORD>((GetTickCount() - gRunFrom) / 1000);
    return now;
}
bool SignalWithin(WORD hour, DWORD milliseconds) {
    SetFixedTime(hour, 0, 0);
    gRunFrom = GetTickCount();
    SetNowForTest(RunningClock);
    const bool came = WaitUntil(milliseconds, [] {
        PumpMessages(0);
        return frmTimeTone.IsLoaded();
    });
    SetNowForTest(FixedTime);
    frmTimeTone.Unload();
    return came;
}

// Each full hour is signalled once, by the first tick in its first five seconds, also for a hidden clock: a late tick
// still counts, a second tick or a clock set back does not. The signal runs from the load when it is on, and the
// menu switches it.
TEST_F(ClockTest, EachFullHourIsSignalledOnce) {
    gblnDispClock = vbFalse;
    gblnTimeTone = vbTrue;
    frmMain.Load();
    EXPECT_TRUE(SignalWithin(15, 6000));
    std::string signals;
    for (const int time : {165959, 170001, 170002, 165958, 170000, 170100, 203000, 210004, 220005}) {  // hhmmss
        SetFixedTime(WORD(time / 10000), WORD(time / 100 % 100), WORD(time % 100));
        frmMain.timTimeTone_Timer();
        signals += std::to_string(frmTimeTone.IsLoaded());
        frmTimeTone.Unload();
    }
    // Second 0 skipped; never twice; set back; set forward; a late tick; too late.
    EXPECT_EQ(signals, "010000010");
    Choose(-1, 0);
    EXPECT_FALSE(SignalWithin(16, 1500)) << "switched off";
    Choose(-1, 0);
    EXPECT_TRUE(SignalWithin(17, 6000)) << "and on";
}

// The pop-up shows "hh:mm" in its own font and the clock's colour, where the clock stood at start-up, over
// everything, without taking the focus; each gives back what it took.
TEST_F(ClockTest, TheHourlyPopUpInItsOwnLookAndPlace) {
    gintFontSize = 1;
    gintFontColor = 2;
    gintTranslucence = 5;
    frmMain.Load();
    // Dragged away since start-up.
    frmMain.SetLeft(9000);
    frmMain.SetTop(6000);
    const HWND typing = TypingWindow();
    size_t capacity = 0;
    for (const std::string hour : {"15", "00", "09"}) {
        SetFixedTime(WORD(std::stoi(hour)), 0, 0);
        frmMain.timTimeTone_Timer();
        const HWND popUp = frmTimeTone.hWnd();
        EXPECT_TRUE(TypingGoesOn(typing));
        // Opaque.
        EXPECT_EQ(GetWindowLongW(popUp, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_LAYERED), WS_EX_TOPMOST);
        EXPECT_EQ(TopLeft(popUp), std::pair(Px(3000), Px(1500)));
        const std::string text = hour + ":00";
        EXPECT_EQ(SizeOf(popUp), Extent(frmTimeTone.hDC(), text)) << text;
        EXPECT_EQ(FaceColor(popUp, frmTimeTone.hDC()), RGB(255, 255, 255));
        frmTimeTone.Unload();
        // Measured after the first pop-up has filled the font caches.
        if (capacity == 0) capacity = GdiFreeCapacity();
    }
    EXPECT_EQ(GdiFreeCapacity(), capacity);
    DestroyWindow(typing);
}

void CALLBACK EndTheMessageLoop(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); }
DWORD gQuitAt = 0;
void CALLBACK QuitDuringASecondPopUp(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (frmTimeTone.IsLoaded() || !frmMain.IsLoaded()) return;
    SetFixedTime(12, 0, 0);
    frmMain.timTimeTone_Timer();
    gQuitAt = GetTickCount();
    frmMain.mnuQuit_Click();
}

// A pop-up closes by itself after about two seconds and the clock lives on; a quit while one is up ends the program
// when the pop-up has closed, and saves.
TEST_F(ClockTest, APopUpClosesByItselfAndAQuitWaitsForIt) {
    frmMain.Load();
    SetFixedTime(11, 0, 0);
    frmMain.timTimeTone_Timer();
    gQuitAt = 0;
    SetTimer(nullptr, 0, 2600, QuitDuringASecondPopUp);
    const UINT_PTR guard = SetTimer(nullptr, 0, 10000, EndTheMessageLoop);
    RunMessageLoop();
    KillTimer(nullptr, guard);
    ASSERT_NE(gQuitAt, 0u) << "the first pop-up lingered, or the program ended";
    EXPECT_NEAR(GetTickCount() - gQuitAt, 2250, 750);
    EXPECT_FALSE(frmTimeTone.IsLoaded());
    // Saved at the quit.
    EXPECT_EQ(IniLines(ReadBytes(gstrIniPath)).at(8), "Disp Clock=True");
}

HRESULT WINAPI D3DGame(QUERY_USER_NOTIFICATION_STATE* state) {
    *state = QUNS_RUNNING_D3D_FULL_SCREEN;
    return S_OK;
}
// A program that draws its own caption, as a browser does: its client area is its whole window.
LRESULT CALLBACK OwnCaptionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCALCSIZE) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}
// A window in front as large as the screen, of a class of its own unless it is the desktop's.
HWND InFront(DWORD style = WS_POPUP, DWORD exStyle = 0, const wchar_t* kind = L"FullScreen") {
    const WNDPROC procedure = std::wcscmp(kind, L"OwnCaption") == 0 ? OwnCaptionProc : DefWindowProcW;
    const WNDCLASSW windowClass{0, procedure, 0, 0, nullptr, 0, 0, 0, 0, kind};
    RegisterClassW(&windowClass);  // at the first call; later ones fail, and the class stays
    const HWND front = CreateWindowExW(exStyle, kind, L"", style | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                       GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(front);
    return front;
}
// Two monitors side by side, each with a task bar 40 pixels high; a window stands on the one its left edge is on.
HMONITOR WINAPI MonitorOf(HWND window, DWORD) {
    return reinterpret_cast<HMONITOR>(WindowRect(window).left >= GetSystemMetrics(SM_CXSCREEN) ? 2 : 1);
}
// cppcheck-suppress constParameter ; a monitor handle is a value, not a pointer to data
BOOL WINAPI InfoOf(HMONITOR monitor, LPMONITORINFO info) {
    const LONG w = GetSystemMetrics(SM_CXSCREEN);
    const LONG x = monitor == reinterpret_cast<HMONITOR>(2) ? w : 0;
    info->rcMonitor = {x, 0, x + w, GetSystemMetrics(SM_CYSCREEN)};
    info->rcWork = info->rcMonitor;
    info->rcWork.bottom -= 40;
    return TRUE;
}
// The steps of a script, each with what two ticks after it left: "+" the clock shown, "-" hidden, "?" the ticks
// disagreeing; "!" if it took the focus.
std::string gSteps;
void Step(const std::string& name) {
    frmMain.timClock_Timer();
    const bool first = IsWindowVisible(frmMain.hWnd());
    frmMain.timClock_Timer();
    const bool second = IsWindowVisible(frmMain.hWnd());
    const std::string focus = GetForegroundWindow() == frmMain.hWnd() ? "!" : "";
    const std::string shown = first ? "+ " : "- ";
    gSteps += name + focus + (first == second ? shown : "? ");
}

// Asked in the settings file, the clock steps aside for a program in full screen in front on its monitor, and comes
// back as the user left it; the user can still show it over one; that hour's signal does not come. Without the key
// nothing changes.
TEST_F(ClockTest, AskedTheClockStepsAsideForAProgramInFullScreen) {
    frmMain.Load();
    gSteps.clear();
    HWND screen = InFront();
    Step("off");
    frmMain.Unload();
    WriteBytes(gstrIniPath, "[Config]\r\nDisp Clock=True\r\nHide In Full Screen=True\r\n");
    LoadSettings();
    frmMain.Load();
    SetFixedTime(15, 0, 0);
    Step("front");
    frmMain.timTimeTone_Timer();
    gSteps += frmTimeTone.IsLoaded() ? "signal " : "";
    const HWND typing = TypingWindow();
    Step("typing");
    SetFixedTime(15, 0, 1);
    frmMain.timTimeTone_Timer();
    gSteps += frmTimeTone.IsLoaded() ? "late " : "";
    frmTimeTone.Unload();
    {
        const ImportPatch game(&gShellState, reinterpret_cast<void*>(D3DGame));
        Step("D3D");
    }
    DestroyWindow(typing);
    SetForegroundWindow(screen);
    Step("back");
    Notify(WM_LBUTTONDBLCLK);
    Step("icon");
    DestroyWindow(screen);
    screen = InFront();
    Step("next");
    Choose(2, 0);
    Step("preset");
    DestroyWindow(screen);
    // Framed; maximised, drawing its own caption (which covers this monitor: it has no task bar); a tool window;
    // one that says it is not in full screen: none counts.
    screen = InFront(WS_POPUP | WS_THICKFRAME);
    Step("framed");
    DestroyWindow(screen);
    screen = InFront(WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, 0, L"OwnCaption");
    Step("caption");
    DestroyWindow(screen);
    screen = InFront(WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    Step("tool");
    DestroyWindow(screen);
    screen = InFront();
    SetPropW(screen, L"NonRudeHWND", screen);
    Step("marked");
    DestroyWindow(screen);
    Notify(WM_LBUTTONDBLCLK);
    screen = InFront();
    Step("hidden");
    DestroyWindow(screen);
    Step("after");
    Notify(WM_LBUTTONDBLCLK);
    screen = InFront(WS_POPUP, 0, L"WorkerW");
    Step("desktop");
    DestroyWindow(screen);
    // The clock on the right monitor: a full-screen window on the left one, one covering the right one's work area,
    // one covering the whole right one.
    {
        const ImportPatch monitors(&gMonitorOf, reinterpret_cast<void*>(MonitorOf));
        const ImportPatch info(&gInfoOf, reinterpret_cast<void*>(InfoOf));
        const int w = GetSystemMetrics(SM_CXSCREEN);
        const int h = GetSystemMetrics(SM_CYSCREEN);
        SetWindowPos(Window(), nullptr, w + 9, 0, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE);
        screen = InFront();
        Step("other");
        SetWindowPos(screen, nullptr, w, 0, w, h - 40, SWP_NOACTIVATE);
        Step("work");
        SetWindowPos(screen, nullptr, w, 0, w, h, SWP_NOACTIVATE);
        Step("its");
    }
    frmMain.Unload();
    DestroyWindow(screen);
    EXPECT_EQ(gSteps,
              "off+ front- typing+ D3D- back- icon+ next- preset+ framed+ caption+ tool+ marked+ hidden- after- "
              "desktop+ other+ work+ its- ");
    // The user's choice, not the stepping aside; and the key as the user wrote it.
    const std::string saved = ReadBytes(gstrIniPath);
    EXPECT_NE(saved.find("Disp Clock=True\r\nHide In Full Screen=True\r\n"), std::string::npos) << saved;
}
}  // namespace
