// The real clock window, its face, menus and commands, checked through what Windows reports back.
#include "support.h"

namespace {
// The indexes of the checked size, colour and translucency items: "16 /1 /0 /".
std::string Checks() {
    std::string checked;
    for (const MenuArray* items : {&frmMain.mnuFontSizeValue, &frmMain.mnuFontColorValue, &frmMain.mnuTransValue}) {
        for (Integer index = items->LBound(); index <= items->UBound(); ++index)
            if ((*items)(index).Checked()) checked += std::to_string(index) + " ";
        checked += "/";
    }
    return checked;
}
// The font the face is drawn with.
LOGFONTW FaceFont(HDC dc = frmMain.hDC()) {
    LOGFONTW font{};
    return GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font), font;
}
// The alpha of a layered window, -1 for a plain one.
int AlphaOf(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED)) return -1;
    return GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && flags == LWA_ALPHA ? alpha : -2;
}
// The captions of a menu and its submenus, "-" for a separator: "a,b(c,d),-".
std::wstring MenuText(HMENU menu) {
    std::wstring text;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t caption[64] = L"";
        GetMenuStringW(menu, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
        text += (i ? L"," : L"") + std::wstring(*caption ? caption : L"-");
        if (GetSubMenu(menu, i)) text += L"(" + MenuText(GetSubMenu(menu, i)) + L")";
    }
    return text;
}

// Chooses a menu item by its place in the real menu: the tray menu's own for submenu -1.
void Choose(int submenu, int item) {
    const HMENU tray = frmMain.mnuTaskTray(), menu = submenu < 0 ? tray : GetSubMenu(tray, submenu);
    SendMessageW(frmMain.hWnd(), WM_COMMAND, GetMenuItemID(menu, item), 0);
}
// The clock running from a full hour: whether the time signal's pop-up comes within these milliseconds.
DWORD gRunFrom = 0;
SYSTEMTIME RunningClock() {
    SYSTEMTIME now = gFixedTime;
    return now.wSecond = WORD((GetTickCount() - gRunFrom) / 1000), now;
}
bool SignalWithin(WORD hour, DWORD milliseconds) {
    SetFixedTime(hour, 0, 0), gRunFrom = GetTickCount(), SetNowForTest(RunningClock);
    const bool came = WaitUntil(milliseconds, [] { return PumpMessages(0), frmTimeTone.IsLoaded(); });
    return SetNowForTest([] { return gFixedTime; }), frmTimeTone.Unload(), came;
}

// A tool window cut to the time's glyphs; the load and each choice check their item and change the face at once.
TEST_F(ClockTest, ABorderlessWindowCutToTheTimeWhoseChoicesChangeItAtOnce) {
    gintFontColor = 2, gintTranslucence = 3, gblnTimeTone = vbTrue, frmMain.Load();
    EXPECT_EQ(
        std::make_tuple(GetWindowLongW(Window(), GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU),
                        GetWindowLongW(Window(), GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST), GetMenu(Window())),
        std::make_tuple(LONG(WS_POPUP), LONG(WS_EX_TOOLWINDOW | WS_EX_TOPMOST), HMENU{}));
    EXPECT_EQ(TopLeft(Window()), std::pair(Px(3000), Px(1500)));
    for (const auto& [which, metric] : {std::pair(ICON_BIG, SM_CXICON), {ICON_SMALL, SM_CXSMICON}}) {
        ICONINFO icon{};  // loaded for the size the screen's dpi asks for
        ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(SendMessageW(Window(), WM_GETICON, which, 0)), &icon));
        BITMAP bitmap{};
        GetObjectW(icon.hbmColor, sizeof(bitmap), &bitmap), DeleteObject(icon.hbmColor), DeleteObject(icon.hbmMask);
        EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(metric)) << which;
    }
    // Drawn for each size a dpi asks, in 32-bit colour, the largest as a PNG: each entry's size, bits, header.
    const auto data = [](int id, LPCWSTR type) {
        const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
        return found ? static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))) : nullptr;
    };
    const auto word = [](const BYTE* at) { return at[0] | at[1] << 8; };
    const BYTE* group = data(IDI_CLOCK, RT_GROUP_ICON);
    std::string images;
    for (const BYTE *entry = group + 6, *image; group && entry < group + 6 + 14 * word(group + 4); entry += 14)
        images += std::to_string(entry[0] ? entry[0] : 256) + "/" + std::to_string(word(entry + 6)) +
                  (!(image = data(word(entry + 12), RT_ICON))            ? "? "
                   : !std::memcmp(image, "\x89PNG", 4) && image[25] == 6 ? "png "
                   : word(image) == 40 && word(image + 14) == 32         ? "bmp "
                                                                         : "? ");
    EXPECT_EQ(images, "16/32bmp 20/32bmp 24/32bmp 32/32bmp 40/32bmp 48/32bmp 64/32bmp 256/32png ");
    const SIZE size = SizeOf(Window());
    const GdiObject region(CreateRectRgn(0, 0, 0, 0));
    const auto rgn = static_cast<HRGN>(region.get());
    ASSERT_EQ(GetWindowRgn(Window(), rgn), COMPLEXREGION);
    // Stretches of the region that a pixel column crosses, one cell a character of "08:08:08".
    const auto runs = [&](int x) {
        int count = 0;
        for (int y = 0; y < size.cy; ++y) count += PtInRegion(rgn, x, y) && (y == 0 || !PtInRegion(rgn, x, y - 1));
        return count;
    };
    const int cell = size.cx / 8;  // an 8 has two holes, a colon is two dots, nothing lies between two digits
    EXPECT_EQ((std::vector{runs(cell + cell / 2), runs(2 * cell + cell / 2), runs(cell)}), (std::vector{3, 2, 0}));
    EXPECT_GE(runs(cell / 2), 2) << "a 0 is closed (some fonts dot it)";
    // A tick that fails with an exception the program never raises itself is abandoned, and the clock goes on.
    static int failures;
    failures = 1, SetFixedTime(23, 59, 59);
    SetNowForTest(
        []() -> SYSTEMTIME { return failures && failures-- ? throw std::out_of_range("no clock") : gFixedTime; });
    EXPECT_TRUE(WaitUntil(5000, [] {
        return PumpMessages(0), !failures && frmMain.lblTemplate.Caption() == L"23:59:59";
    })) << "the timer rebuilds the face";
    SetNowForTest([] { return gFixedTime; }), SetFixedTime(0, 0, 0), frmMain.timClock_Timer();
    EXPECT_EQ(frmMain.lblTemplate.Caption(), L"00:00:00");
    EXPECT_TRUE(SizeOf(Window()) == size && size == TextExtent("08:08:08", 72, true) && AlphaOf(Window()) == 190);
    EXPECT_EQ(Checks(), "16 /2 /3 /");
    EXPECT_TRUE(frmMain.mnuFontBold.Checked() && gblnFontBold == vbTrue) << "complemented twice";
    EXPECT_TRUE(frmMain.mnuTimeTone.Checked() && SignalWithin(15, 6000));
    const auto before = TopLeft(Window());
    for (const auto& [index, points] : {std::pair{1, 8}, {14, 36}, {16, 72}, {11, 24}}) {
        frmMain.mnuFontSizeValue_Click(Integer(index));
        EXPECT_EQ(Checks(), std::to_string(index) + " /2 /3 /");
        EXPECT_EQ(FaceFont().lfHeight, -MulDiv(points, GetDeviceCaps(frmMain.hDC(), LOGPIXELSY), 72));
        EXPECT_EQ(SizeOf(Window()), TextExtent("08:08:08", points, true)) << "the label too: " << points;
        EXPECT_EQ(TopLeft(Window()), before) << "resized from its top left corner";
    }
    const COLORREF colors[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x008000, 0x0000FF};
    for (const int index : {4, 5, 3, 2, 1, 6}) {  // red last, which no wrong index gives
        frmMain.mnuFontColorValue_Click(Integer(index));
        EXPECT_EQ(Checks(), "11 /" + std::to_string(index) + " /3 /");
        POINT glyph{};
        EXPECT_TRUE(PointOnFace(Window(), glyph) && GetPixel(frmMain.hDC(), glyph.x, glyph.y) == colors[index - 1]);
    }
    for (const bool bold : {false, true, false}) {
        frmMain.mnuFontBold_Click();
        EXPECT_TRUE(gblnFontBold == CBool(bold) && frmMain.mnuFontBold.Checked() == bold &&
                    FaceFont().lfWeight == (bold ? FW_BOLD : FW_NORMAL));
        EXPECT_EQ(SizeOf(Window()), TextExtent("08:08:08", 24, bold)) << "the label measures in bold too";
    }
    // A bit the clock never sets itself, to see that it survives.
    SetWindowLongW(Window(), GWL_EXSTYLE, GetWindowLongW(Window(), GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
    const LONG plain = GetWindowLongW(Window(), GWL_EXSTYLE) & ~WS_EX_LAYERED;
    const int alpha[] = {-1, 230, 210, 190, 165, 135, 105, 75, 45, 15, 0};
    for (const int level : {3, 6, 1, 2, 4, 5, 7, 8, 9, 10, 0, 0, 5}) {
        frmMain.mnuTransValue_Click(Integer(level));
        EXPECT_TRUE(AlphaOf(Window()) == alpha[level] && Checks() == "11 /6 /" + std::to_string(level) + " /") << level;
        EXPECT_TRUE(GetWindowLongW(Window(), GWL_EXSTYLE) == (plain | (level ? WS_EX_LAYERED : 0)) &&
                    IsWindowVisible(Window()))
            << "at 100% the clock is still there, only unseen";
    }
    for (const int level : {11, -1, 32767, -32768}) {
        SetTranslucence(Window(), Integer(level));
        EXPECT_EQ(GetWindowLongW(Window(), GWL_EXSTYLE), plain) << "beyond the table the window is plain: " << level;
        SetTranslucence(Window(), 5);
    }
    const RECT place = WindowRect(Window());
    const std::pair<void (frmMainForm::*)(Integer), Integer> clicks[] = {
        {&frmMainForm::mnuFontSizeValue_Click, 17}, {&frmMainForm::mnuFontSizeValue_Click, 0},
        {&frmMainForm::mnuFontColorValue_Click, 7}, {&frmMainForm::mnuFontColorValue_Click, 0},
        {&frmMainForm::mnuTransValue_Click, 11},    {&frmMainForm::mnuTransValue_Click, -1}};
    for (const auto& [click, index] : clicks) EXPECT_THROW((frmMain.*click)(index), VBError) << index;
    EXPECT_EQ(Checks(), "///") << "the marks are cleared, nothing else changes";
    EXPECT_EQ((std::vector<int>{gintFontSize, gintFontColor, gintTranslucence}), (std::vector<int>{11, 6, 5}));
    const RECT after = WindowRect(Window());
    EXPECT_TRUE(AlphaOf(Window()) == 135 && frmMain.BackColor() == RGB(255, 0, 0) && EqualRect(&place, &after));
    frmMain.Unload();
    EXPECT_EQ(IniLines(ReadBytes(gstrIniPath)),
              (std::vector<std::string>{"[Window Design]", "Top=1500", "Left=3000", "Font Size=11", "Font Color=6",
                                        "Font Bold=False", "Translucence=5", "[Config]", "Disp Clock=True",
                                        "Time Tone=True"}));
}

// The presets put the clock flush with the whole screen. Saved where no screen shows enough of it, the clock comes
// wholly into the work area, shown or hidden, and keeps its saved place unless the user moves it.
TEST_F(ClockTest, ThePresetsPutTheClockFlushWithTheScreenAndOneNoScreenShowsComesIntoView) {
    const float twips = 1440.0f / static_cast<float>(kDpi);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_TRUE(Screen.TwipsPerPixelX() == twips && w % 16 == 0 && h % 16 == 0);
    const struct {
        int item, width, height;  // 左上 左下 右上 右下 中央; pixels, as no tick rebuilds the face here
        std::pair<int, int> at;
    } presets[] = {{3, w / 8, h / 8, {w * 7 / 8, h * 7 / 8}},
                   {0, w / 8, h / 8, {0, 0}},
                   {4, w / 8, h / 8, {w * 7 / 16, h * 7 / 16}},
                   {1, w / 8, h / 8, {0, h * 7 / 8}},
                   {2, w / 8, h / 8, {w * 7 / 8, 0}},
                   {4, w - 1119, h - 895, {560, 448}},  // half twips kept until the move rounds 559.5 and 447.5 to even
                   {2, w + 200, 40, {-200, 0}},         // wider than the screen: not clamped
                   {4, w + 200, 40, {-100, (h - 40) / 2}}};
    for (const Boolean shown : {vbTrue, vbFalse}) {
        gblnDispClock = shown, gintTranslucence = 5, frmMain.Load();
        for (const auto& p : presets) {
            frmMain.SetVisible(shown);
            frmMain.SetWidth(float(p.width) * twips), frmMain.SetHeight(float(p.height) * twips);
            GdiObject before(CreateRectRgn(0, 0, 0, 0)), after(CreateRectRgn(0, 0, 0, 0));
            GetWindowRgn(Window(), static_cast<HRGN>(before.get()));
            Choose(2, p.item);
            EXPECT_EQ(TopLeft(Window()), p.at);
            EXPECT_TRUE(IsWindowVisible(Window()) && gblnDispClock == shown) << "shown; the saved choice stays";
            GetWindowRgn(Window(), static_cast<HRGN>(after.get()));  // nothing else changes: face, translucency, marks
            EXPECT_TRUE(EqualRgn(static_cast<HRGN>(before.get()), static_cast<HRGN>(after.get())) &&
                        AlphaOf(Window()) == 135 && Checks() == "16 /1 /5 /");
        }
        frmMain.Unload();
    }
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const SIZE face = TextExtent("08:08:08", 72, true);
    const auto whole = [](long pixels) { return Long(pixels * 1440 / kDpi); };
    // Beyond the right and bottom (then sent to 左上), the left and top; a pixel short of a quarter of it, or not.
    const Long places[][4] = {{99999, 77777, 1, 0},
                              {-50001, -2999, 1, -1},
                              {whole(w - face.cx / 4 + 1), 1500, 1, -1},
                              {whole(w - face.cx / 4), 1500, 0, -1}};
    for (const auto& [left, top, moves, preset] : places) {
        glngLeft = left, glngTop = top, gblnDispClock = Not(gblnDispClock), frmMain.Load();
        const long x = moves ? std::clamp(long(Px(left)), work.left, work.right - face.cx) : Px(left);
        const long y = moves ? std::clamp(long(Px(top)), work.top, work.bottom - face.cy) : Px(top);
        EXPECT_EQ(TopLeft(Window()), std::pair(int(x), int(y))) << left << "," << top;
        if (preset >= 0) Choose(2, preset);
        frmMain.Unload();
        const auto lines = IniLines(ReadBytes(gstrIniPath));  // 左上 saves 0, 0
        EXPECT_TRUE(Contains(lines, "Left=" + std::to_string(preset < 0 ? left : 0)) &&
                    Contains(lines, "Top=" + std::to_string(preset < 0 ? top : 0)))
            << left << "," << top;
    }
}
HMENU gMenuSeen = nullptr;
void notify(UINT message) {  // the shell's word of the mouse over the icon
    gMenuSeen = nullptr;
    SendMessageW(frmMain.pctTaskTray.hWnd(), WM_MOUSEMOVE, 0, static_cast<LPARAM>(message));
}
// A pop-up menu is modal: this notes which menu it was and closes it.
void CALLBACK CloseAnyMenu(HWND, UINT, UINT_PTR, DWORD) {
    const HWND popup = FindWindowW(L"#32768", nullptr);
    if (!popup || !IsWindowVisible(popup)) return;
    gMenuSeen = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)), EndMenu();
}

// The program looks up its message-filter function and finds a recorder (Wine's own only pretends to filter).
std::pair<HWND, UINT> gAllowed;
BOOL WINAPI RecordAllowed(HWND window, UINT message, DWORD action, void*) {
    return gAllowed = {window, action == MSGFLT_ALLOW ? message : 0}, TRUE;
}
extern void* gFindExport asm("__imp__GetProcAddress@8");
FARPROC WINAPI FindRecorder(HMODULE, LPCSTR name) {
    const bool filter = HIWORD(name) && !std::strcmp(name, "ChangeWindowMessageFilterEx");
    return filter ? reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(RecordAllowed)) : nullptr;
}
// The shell may refuse icons after sign-in: the clock asks again until the icon is there, once, with a first start's
// note. The icon's right release opens the menu; a double click shows or hides the clock, never taking the focus.
TEST_F(ClockTest, TheTrayIconComesOnceTheShellTakesItAndItsMenuAndDoubleClickWork) {
    const FakeShell shell(1, 0);
    const HWND typing = TypingWindow();
    LoadSettings();  // a first start: no settings file, the clock hidden
    gAllowed = {}, ImportPatch(&gFindExport, reinterpret_cast<void*>(FindRecorder)), frmMain.Load();  // while patched
    EXPECT_EQ(gAllowed, std::pair(Window(), RegisterWindowMessageW(L"TaskbarCreated"))) << "reaches an elevated clock";
    ASSERT_TRUE(WaitUntil(15000, [&] {
        PumpMessages(0);
        return FakeShell::held;
    }));
    // Explorer says "TaskbarCreated" while it still holds the icon; then it restarts and takes the add, but says no.
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    SendMessageW(Window(), taskbarCreated, 0, 0);
    FakeShell::held = false;
    FakeShell::takenUnanswered = 1;
    SendMessageW(Window(), taskbarCreated, 0, 0);
    PumpMessages(3500);  // a retry's time, for the clock to ask again if it would
    EXPECT_EQ(FakeShell::Seen(), "0/7 1/7 0/7 1/16 0/7 1/7 0/7 1/7 ")
        << "refused, taken, the note; held, asked; taken unanswered, asked";
    const NOTIFYICONDATAA &taken = std::get<1>(FakeShell::calls.at(2)), &note = std::get<1>(FakeShell::calls.at(3));
    EXPECT_EQ(
        std::make_tuple(taken.hIcon, taken.uCallbackMessage, std::string(taken.szTip), note.cbSize, note.dwInfoFlags),
        std::make_tuple(frmMain.Icon(), 0x200u, std::string("Kalvory"), 488ul, DWORD(NIIF_INFO)));
    EXPECT_EQ(
        std::string(note.szInfoTitle) + "|" + note.szInfo,
        ToAnsi(L"Kalvory|Kalvory は通知領域で動いています。このアイコンをダブルクリックすると時計が表示されます。"));
    notify(WM_LBUTTONDBLCLK);
    EXPECT_EQ(std::pair(GetForegroundWindow(), GetFocus()), std::pair(typing, typing)) << "started hidden, then shown";
    EXPECT_TRUE(IsWindowVisible(Window()) && GetWindowLongW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(MenuText(frmMain.Menu()),
              L"タスクトレイメニュー(時報を表示する,-,表示位置(左上,左下,右上,右下,中央),"
              L"文字サイズ(8,9,10,11,12,14,16,18,20,22,24,26,28,36,48,72),文字色(黒,白,青,黄緑,緑,赤),太字,"
              L"透明度(0%,10%,20%,30%,40%,50%,60%,70%,80%,90%,100%),-,終了(&Q))");
    const UINT_PTR closer = SetTimer(nullptr, 0, 100, CloseAnyMenu);
    for (const UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK,
                               WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK}) {
        notify(message);
        EXPECT_TRUE(!gMenuSeen && IsWindowVisible(Window()) && gblnDispClock == vbTrue) << std::hex << message;
    }
    notify(WM_RBUTTONUP);
    EXPECT_TRUE(gMenuSeen == frmMain.mnuTaskTray() && GetForegroundWindow() == Window())
        << "so a click elsewhere closes";
    KillTimer(nullptr, closer);
    for (const Boolean shown : {vbFalse, vbTrue, vbFalse, vbTrue}) {
        SetWindowPos(Window(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        notify(WM_LBUTTONDBLCLK);
        EXPECT_TRUE(gblnDispClock == shown && (IsWindowVisible(Window()) != FALSE) == IsTrue(shown) &&
                    GetWindowLongW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    }
    EXPECT_TRUE((Choose(-1, 0), frmMain.mnuTimeTone.Checked()) && SignalWithin(16, 6000)) << "the time signal is on";
    EXPECT_FALSE((Choose(-1, 0), frmMain.mnuTimeTone.Checked()) || SignalWithin(17, 1500)) << "and off";
    Choose(3, 10), Choose(4, 5), Choose(6, 7), Choose(-1, 0), Choose(-1, 5), Choose(2, 3);
    EXPECT_EQ((std::vector<int>{gintFontSize, gintFontColor, gintTranslucence, gblnTimeTone, gblnFontBold}),
              (std::vector<int>{11, 6, 7, vbTrue, vbTrue}));
    EXPECT_EQ(std::pair(WindowRect(Window()).right, WindowRect(Window()).bottom),
              std::pair(LONG(GetSystemMetrics(SM_CXSCREEN)), LONG(GetSystemMetrics(SM_CYSCREEN))))
        << "右下";
    SendMessageW(Window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), SendMessageW(Window(), WM_ENDSESSION, 0, 0);
    EXPECT_TRUE(frmMain.IsLoaded() && ReadBytes(gstrIniPath).empty()) << "a log-off cancelled: running on, unsaved";
    Choose(-1, 8);
    EXPECT_TRUE(!frmMain.IsLoaded() && Contains(IniLines(ReadBytes(gstrIniPath)), "Font Color=6")) << "終了 saves";
    // A later start, shown, says nothing; at log-off the settings are written before the icon is removed.
    FakeShell::calls.clear(), LoadSettings(), SetForegroundWindow(typing), SetFocus(typing), frmMain.Load();
    EXPECT_TRUE(FakeShell::Seen() == "0/7 " && GetForegroundWindow() == typing && GetFocus() == typing) << "shown";
    DestroyWindow(typing), DeleteFileW(gstrIniPath.c_str());
    SendMessageW(Window(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    const std::string& atRemoval = std::get<2>(FakeShell::calls.back());
    EXPECT_TRUE(Contains(IniLines(atRemoval), "Font Color=6") && !FakeShell::held) << "saved, then gone";
}

// One tick of the one-second timer at this time: whether a pop-up came.
bool TickAt(WORD hour, WORD minute, WORD second) {
    const bool shown = (SetFixedTime(hour, minute, second), frmMain.timTimeTone_Timer(), frmTimeTone.IsLoaded());
    return frmTimeTone.Unload(), shown;
}

void CALLBACK EndTheMessageLoop(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); }
DWORD gQuitAt = 0;
void CALLBACK QuitDuringASecondPopUp(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (frmTimeTone.IsLoaded() || !frmMain.IsLoaded()) return;
    SetFixedTime(12, 0, 0), frmMain.timTimeTone_Timer(), gQuitAt = GetTickCount(), frmMain.mnuQuit_Click();
}

// The hourly time signal: when it comes, what it shows, and that it leaves the user alone.
TEST_F(ClockTest, TheHourlyPopUpComesOnceAnHourInItsOwnLookAndPlaceAndLeavesTheUserAlone) {
    gintFontSize = 1, gblnFontBold = vbFalse, gintFontColor = 2, gintTranslucence = 5, frmMain.Load();
    frmMain.SetLeft(9000);  // dragged away since start-up
    const HWND typing = TypingWindow();
    SetFixedTime(15, 0, 0), frmMain.timTimeTone_Timer();
    const HWND popUp = frmTimeTone.hWnd();
    ASSERT_TRUE(popUp && IsWindowVisible(popUp));
    EXPECT_TRUE(GetForegroundWindow() == typing && GetFocus() == typing) << "the focus stays";
    EXPECT_TRUE((GetWindowLongW(popUp, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_LAYERED)) == WS_EX_TOPMOST &&
                TopLeft(popUp) == std::pair(Px(3000), Px(1500)))
        << "opaque, where the clock stood at start-up";
    const LOGFONTW font = FaceFont(frmTimeTone.hDC());
    EXPECT_EQ(
        std::wstring(font.lfFaceName) + L" " + std::to_wstring(font.lfHeight) + L" " + std::to_wstring(font.lfWeight),
        std::wstring(kTimeToneFace) + L" " + std::to_wstring(-std::lround(26.25 * kDpi / 72)) + L" 700");
    POINT glyph{};  // cut to its text, in the clock's colour
    EXPECT_TRUE(PointOnFace(popUp, glyph) && GetPixel(frmTimeTone.hDC(), glyph.x, glyph.y) == RGB(255, 255, 255));
    DestroyWindow(typing), frmTimeTone.Unload(), frmMain.SetVisible(false);  // the signal comes for a hidden clock too
    const int ticks[][4] = {{16, 59, 59, 0}, {17, 0, 1, 1},                  // second 0 was skipped
                            {17, 0, 2, 0},                                   // never twice
                            {16, 59, 58, 0}, {17, 0, 0, 0},   // set back: the hour comes back, not its signal
                            {17, 1, 0, 0},   {20, 30, 0, 0},  // set forward: no signal for the hours between
                            {21, 0, 4, 1},   {22, 0, 5, 0}};  // a late first tick; too late
    for (const auto& [hour, minute, second, signal] : ticks)
        EXPECT_EQ(TickAt(WORD(hour), WORD(minute), WORD(second)), signal != 0)
            << hour << ":" << minute << ":" << second;
    size_t before = 0;  // after the first pop-up has filled the font caches
    for (const WORD hour : {WORD(0), WORD(9), WORD(23)}) {
        SetFixedTime(hour, 0, 0), frmMain.timTimeTone_Timer();
        const std::string text = std::to_string(hour / 10) + std::to_string(hour % 10) + ":00";
        EXPECT_EQ(SizeOf(frmTimeTone.hWnd()), TextExtent(text, 26.25, true, kTimeToneFace)) << text;
        frmTimeTone.Unload();
        before = before ? before : GdiFreeCapacity();
    }
    EXPECT_EQ(GdiFreeCapacity(), before) << "each pop-up gives its region and font back";
    // A pop-up closes and the clock lives on; quit while another is up, the program lives until it closes, and saves.
    SetFixedTime(11, 0, 0), frmMain.timTimeTone_Timer();
    gQuitAt = 0, SetTimer(nullptr, 0, 2600, QuitDuringASecondPopUp);
    const UINT_PTR guard = SetTimer(nullptr, 0, 10000, EndTheMessageLoop);
    RunMessageLoop(), KillTimer(nullptr, guard);
    const DWORD lived = GetTickCount() - gQuitAt;
    EXPECT_TRUE(gQuitAt && !frmTimeTone.IsLoaded() && lived >= 1500 && lived < 3000) << lived;
    EXPECT_TRUE(Contains(IniLines(ReadBytes(gstrIniPath)), "Time Tone=False")) << "saved at the quit";
}

// "+" when the clock shows after a tick and a second one, "-" when it does not, "?" when they differ; "!" if it took
// the focus.
std::string AfterTwoTicks() {
    const BOOL first = (frmMain.timClock_Timer(), IsWindowVisible(frmMain.hWnd()));
    const BOOL second = (frmMain.timClock_Timer(), IsWindowVisible(frmMain.hWnd()));
    return std::string(GetForegroundWindow() == frmMain.hWnd() ? "!" : "") + "-+?"[first != second ? 2 : first] + " ";
}
// Two monitors side by side: a window stands on the right one when its middle lies there.
HMONITOR WINAPI MonitorOf(HWND window, DWORD) {
    const RECT r = WindowRect(window);
    return reinterpret_cast<HMONITOR>(r.left + r.right >= 2 * GetSystemMetrics(SM_CXSCREEN) ? 2 : 1);
}
BOOL WINAPI InfoOf(const void* monitor, LPMONITORINFO info) {  // a task bar 40 pixels high at the bottom of each
    const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN),
               x = monitor == reinterpret_cast<void*>(2) ? w : 0;
    return info->rcMonitor = {x, 0, x + w, h}, info->rcWork = {x, 0, x + w, h - 40}, TRUE;
}
HRESULT WINAPI D3DGame(QUERY_USER_NOTIFICATION_STATE* state) { return *state = QUNS_RUNNING_D3D_FULL_SCREEN, S_OK; }
extern void *gMonitorOf asm("__imp__MonitorFromWindow@8"), *gInfoOf asm("__imp__GetMonitorInfoW@8"),
    *gShellState asm("__imp__SHQueryUserNotificationState@4");

// Asked in the settings file, the clock steps aside for a program in full screen in front on its monitor, and comes
// back as the user left it; the user can still show it over one; that hour's signal does not come.
TEST_F(ClockTest, AskedTheClockStepsAsideForAProgramInFullScreenInFrontOnItsMonitor) {
    for (const bool on : {false, true}) {
        const std::string line = on ? "Hide In Full Screen=True" : "Hide In Full Screen=true";
        WriteBytes(gstrIniPath, "[Config]\r\nDisp Clock=True\r\n" + line + "\r\n"), LoadSettings(), frmMain.Load();
        HWND screen = InFront(), typing = nullptr;
        std::string seen;  // each step, and after it whether the clock shows
        const auto look = [&seen](const char* step) { seen += step + AfterTwoTicks(); };
        look("front"), seen += TickAt(15, 0, 0) ? "signal " : "";
        if (on) {
            typing = TypingWindow(), look("typing"), seen += TickAt(15, 0, 1) ? "late " : "";
            ImportPatch(&gShellState, reinterpret_cast<void*>(D3DGame)), look("D3D");
            DestroyWindow(typing), SetForegroundWindow(screen), look("back");
            notify(WM_LBUTTONDBLCLK), look("icon"), DestroyWindow(screen), screen = InFront(), look("next");
            Choose(2, 0), look("preset"), DestroyWindow(screen);
            screen = InFront(WS_OVERLAPPEDWINDOW | WS_MAXIMIZE), look("max"), DestroyWindow(screen);
            // On this monitor without a task bar, maximised with its own caption, its client area covers it.
            screen = InFront(WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, L"OwnCaption", 0, OwnCaptionProc);
            look("own");
            DestroyWindow(screen);
            screen = InFront(WS_POPUP, L"FullScreen", WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
            look("tool");
            DestroyWindow(screen);
            screen = InFront();
            SetPropW(screen, L"NonRudeHWND", screen);
            look("marked");
            RemovePropW(screen, L"NonRudeHWND");
            DestroyWindow(screen);
            notify(WM_LBUTTONDBLCLK), screen = InFront(), look("hidden"), DestroyWindow(screen), look("after");
            notify(WM_LBUTTONDBLCLK), screen = InFront(WS_POPUP, L"WorkerW"), look("desktop"), DestroyWindow(screen);
            const ImportPatch monitors(&gMonitorOf, reinterpret_cast<void*>(MonitorOf)),
                info(&gInfoOf, reinterpret_cast<void*>(InfoOf));
            const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN), flags = SWP_NOACTIVATE;
            screen = InFront(), SetWindowPos(Window(), nullptr, w + 9, 0, 0, 0, flags | SWP_NOSIZE), look("other");
            SetWindowPos(screen, nullptr, w, 0, w, h - 40, flags), look("work");
            SetWindowPos(screen, nullptr, w, 0, w, h, flags), look("its");
        }
        frmMain.Unload(), DestroyWindow(screen);
        const auto lines = IniLines(ReadBytes(gstrIniPath));
        EXPECT_TRUE(Contains(lines, line) && Contains(lines, "Disp Clock=True")) << "neither changed nor written";
        EXPECT_EQ(seen,
                  on ? "front- typing+ D3D- back- icon+ next- preset+ max+ own+ tool+ marked+ hidden- after- desktop+ "
                       "other+ work+ its- "
                     : "front+ signal ");
    }
}

// Many face rebuilds, the look changed now and then: GDI objects and memory stay where they were.
TEST_F(ClockTest, SoakOfManyRebuildsLeavesGdiObjectsAndMemoryFlat) {
    gblnDispClock = vbFalse;  // a hidden window rebuilds three times faster
    frmMain.Load();
    const char* given = std::getenv("KALVORY_SOAK_REBUILDS");
    const int total = given && *given ? std::atoi(given) : 20000;
    // Every 500 rebuilds another size, colour and weight, all before memory is read, by when Wine's caches are full.
    static const Integer sizes[] = {16, 11, 4, 8, 1, 13, 6};
    size_t gdiBefore = 0, memoryEarly = 0;
    for (int i = 1; i <= total; ++i) {
        if (i % 500 == 0)
            frmMain.mnuFontSizeValue_Click(sizes[i / 500 % 7]), frmMain.mnuFontBold_Click(),
                frmMain.mnuFontColorValue_Click(Integer(i / 500 % 6 + 1));
        SetFixedTime(static_cast<WORD>(i / 3600 % 24), static_cast<WORD>(i / 60 % 60), static_cast<WORD>(i % 60)),
            frmMain.timClock_Timer();
        if (i % 1000 == 0) PumpMessages(0);
        if (i == 20) gdiBefore = GdiFreeCapacity();
        if (i == std::min(total / 2, 10000)) memoryEarly = PrivateBytes();
    }
    const size_t memoryLate = PrivateBytes(), gdiAfter = GdiFreeCapacity();
    std::printf("soak: %d rebuilds; free GDI capacity %zu, then %zu; private bytes %zu, then %zu\n", total, gdiBefore,
                gdiAfter, memoryEarly, memoryLate);
    EXPECT_TRUE(gdiBefore > 60000 && gdiAfter == gdiBefore) << "no GDI object left behind";
    EXPECT_LT(memoryLate, memoryEarly + 256 * 1024) << "growth per rebuild shows as megabytes";
}
}  // namespace
