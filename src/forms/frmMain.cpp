#include "frmMain.h"

#include <cmath>

#include "../modules/modDefine.h"
#include "../modules/modGlobal.h"
#include "../modules/modStandard.h"
#include "../modules/modStart.h"
#include "../modules/modTrans.h"
#include "../res/resource.h"
#include "../runtime/App.h"
#include "../runtime/Clock.h"
#include "../runtime/Convert.h"
#include "../runtime/Screen.h"
#include "TextRegion.h"
#include "frmTimeTone.h"

namespace {
const FontSpec kClockFont{L"ＭＳ ゴシック", 72.0f, true, SHIFTJIS_CHARSET};

const FormDesign kDesign{L"Kalvory", 5415.0f, 3030.0f, RGB(0, 0, 0), kClockFont, IDI_CLOCK, IDR_MAINMENU};

// Below the face, so never seen.
constexpr TwipsBox kTaskTrayBox{1080, 2040, 3855, 1215};

constexpr UINT kClockTick = 200;      // milliseconds: a new second shows within a fifth of one
constexpr UINT kTimeToneTick = 1000;  // milliseconds

// Colour of each font-colour item, in menu order.
constexpr Long kFontColors[] = {RGB(0, 0, 0),   RGB(255, 255, 255), RGB(0, 0, 255),
                                RGB(0, 255, 0), RGB(0, 128, 0),     RGB(255, 0, 0)};

// A one-second timer drifts and waits behind a busy message loop, so it may
// skip second 0; the first tick within these seconds still signals the hour.
constexpr WORD kTimeToneGraceSeconds = 5;

// How long the clock waits before it offers the shell its icon again.
constexpr UINT kTaskTrayRetry = 3000;  // milliseconds

// lrint rounds in the default mode: to nearest, a half to the even neighbour.
Long RoundHalfToEven(float twips) { return static_cast<Long>(std::lrint(twips)); }

// Hours since 1601 name each full hour once, across days and years; -1 for a
// time that is not a valid date.
Long HourNumber(const SYSTEMTIME& time) {
    FILETIME stamp{};
    if (!SystemTimeToFileTime(&time, &stamp)) return -1;
    constexpr unsigned long long kTicksPerHour = 36000000000ULL;  // of 100 ns
    const unsigned long long ticks =
        (static_cast<unsigned long long>(stamp.dwHighDateTime) << 32) | stamp.dwLowDateTime;
    return static_cast<Long>(ticks / kTicksPerHour);
}
}  // namespace

// Defined after the design it is built from, which is initialised first.
frmMainForm frmMain;

frmMainForm::frmMainForm()
    : Form(kDesign),
      timTimeTone(*this, kTimeToneTick, false, [this] { timTimeTone_Timer(); }),
      pctTaskTray(
          *this, kTaskTrayBox,
          [this](Integer button, Integer shift, float x, float y) { pctTaskTray_MouseMove(button, shift, x, y); }),
      timClock(*this, kClockTick, true, [this] { timClock_Timer(); }),
      lblTemplate(*this, kClockFont),
      timTaskTray(*this, kTaskTrayRetry, false, [this] { timTaskTray_Timer(); }),
      mnuTimeTone(*this, IDM_TIMETONE),
      mnuDispPositionLT(*this, IDM_DISPPOSITION_LT),
      mnuDispPositionLD(*this, IDM_DISPPOSITION_LD),
      mnuDispPositionRT(*this, IDM_DISPPOSITION_RT),
      mnuDispPositionRD(*this, IDM_DISPPOSITION_RD),
      mnuDispPositionMM(*this, IDM_DISPPOSITION_MM),
      mnuFontSizeValue(*this, IDM_FONTSIZE_FIRST, 1, IDM_FONTSIZE_COUNT),
      mnuFontColorValue(*this, IDM_FONTCOLOR_FIRST, 1, IDM_FONTCOLOR_COUNT),
      mnuFontBold(*this, IDM_FONTBOLD),
      mnuTransValue(*this, IDM_TRANS_FIRST, 0, IDM_TRANS_COUNT),
      mnuQuit(*this, IDM_QUIT) {}

void frmMainForm::FillColorTable() {
    for (int index = 1; index <= 6; ++index) glngColor[index] = kFontColors[index - 1];
}

void frmMainForm::Form_Load() {
    App.SetTaskVisible(false);
    mblnLoading = vbTrue;
    FillColorTable();
    SetTop(static_cast<float>(glngTop));
    SetLeft(static_cast<float>(glngLeft));
    mlngUserTop = glngTop;
    mlngUserLeft = glngLeft;
    mblnSteppedAside = vbFalse;
    mhwndShownOver = nullptr;
    SetVisible(IsTrue(gblnDispClock));
    mnuFontColorValue_Click(gintFontColor);
    mnuFontSizeValue_Click(gintFontSize);
    mnuTransValue_Click(gintTranslucence);
    // The bold handler toggles: complemented here, it applies the saved value.
    gblnFontBold = Not(gblnFontBold);
    mnuFontBold_Click();
    mblnLoading = vbFalse;
    timClock_Timer();
    // Sized to its face now: judged as the user would see it.
    BringIntoView(hWnd());
    mnuTimeTone.SetChecked(IsTrue(gblnTimeTone));
    mlngSignalledHour = -1;
    if (IsTrue(gblnTimeTone)) timTimeTone.SetEnabled(true);
    mblnBalloonDue = gblnFirstRun;
    AddTaskTrayIcon();
    SetTopmost();
}

// At sign-in Explorer may refuse icons, and need not say when it is ready:
// the clock asks again a few seconds later, until the icon is there.
void frmMainForm::AddTaskTrayIcon() {
    if (!mclsTaskTray) mclsTaskTray = std::make_unique<clsTaskTray>();
    mclsTaskTray->SetToolTipText(kProductName);
    mclsTaskTray->SetOwner(pctTaskTray.hWnd());
    mclsTaskTray->SetIcon(Icon());
    const bool added = mclsTaskTray->Add();
    timTaskTray.SetEnabled(!added);
    if (added && mblnBalloonDue) {
        mblnBalloonDue = vbFalse;
        mclsTaskTray->ShowBalloon(kProductName, kMsgFirstRunBalloon);
    }
}

// Not while the clock quits: the icon has gone for good then.
void frmMainForm::timTaskTray_Timer() {
    if (mclsTaskTray) AddTaskTrayIcon();
}

void frmMainForm::TakeUserPlace() {
    mlngUserTop = RoundHalfToEven(Top());
    mlngUserLeft = RoundHalfToEven(Left());
}

// Windows moves the clock itself (off a monitor unplugged, after a new scale),
// and so may other programs: only the user's own place is kept.
bool frmMainForm::SaveSettingsAndPlace() {
    glngTop = mlngUserTop;
    glngLeft = mlngUserLeft;
    return SaveSettings();
}

// The user's own showing holds over that one program: a program that leaves
// full screen or the front, or another one, ends it.
HWND frmMainForm::FullScreenInTheWay() {
    const HWND front = IsTrue(gblnHideInFullScreen) ? FullScreenInFront(hWnd()) : nullptr;
    if (front != mhwndShownOver) mhwndShownOver = nullptr;
    return front == mhwndShownOver ? nullptr : front;
}

// Only the window's visibility changes: the saved show/hide choice is the
// user's alone.
void frmMainForm::WatchFullScreen() {
    if (FullScreenInTheWay()) {
        if (!Visible()) return;
        SetVisible(false);
        mblnSteppedAside = vbTrue;
    } else if (IsTrue(mblnSteppedAside)) {
        mblnSteppedAside = vbFalse;
        SetVisible(true);
        SetTopmost();
    }
}

// A double click on the icon or a preset shows the clock over the program in
// full screen in front, as the user asks; a topmost one too.
void frmMainForm::ShownByUser() {
    mblnSteppedAside = vbFalse;
    mhwndShownOver = IsTrue(gblnHideInFullScreen) ? FullScreenInFront(hWnd()) : nullptr;
    if (mhwndShownOver) SetTopmost();
}

void frmMainForm::Form_DblClick() {
    gblnDispClock = Not(gblnDispClock);
    SetVisible(IsTrue(gblnDispClock));
}

void frmMainForm::Form_MouseDown(Integer button, Integer /*shift*/, float /*x*/, float /*y*/) {
    if (button != vbLeftButton) return;
    if (!mclsMouseControl) mclsMouseControl = std::make_unique<clsMouseControl>();
    const float left = Left(), top = Top();
    mclsMouseControl->CatchWindowAndMove(hWnd());
    if (Left() != left || Top() != top) TakeUserPlace();
}

// At log-off Windows may end the program at any moment, and removing the
// icon waits on Explorer: the settings are written first, without a word.
void frmMainForm::Form_QueryUnload(Integer& /*cancel*/, Integer unloadMode) {
    mintUnloadMode = unloadMode;
    if (unloadMode == vbAppWindows) SaveSettingsAndPlace();
    if (mclsTaskTray) mclsTaskTray->Delete();
    mclsTaskTray.reset();
}

// A quit the user asked for says so when the settings could not be kept.
void frmMainForm::Form_Unload(Integer& /*cancel*/) {
    if (mintUnloadMode != vbAppWindows && !SaveSettingsAndPlace())
        ShowErrorMessage(kMsgCannotSaveHead + gstrIniPath + kMsgCannotSaveTail);
    mclsMouseControl.reset();
}

// A restarted Explorer has lost the icon; without it a hidden clock could
// never be shown again.
void frmMainForm::Form_TaskbarCreated() {
    if (mclsTaskTray) AddTaskTrayIcon();
}

// A monitor unplugged, a lower resolution or a larger scale can leave the
// clock where no screen shows it, hidden or not.
void frmMainForm::Form_DisplayChanged() { BringIntoView(hWnd()); }

void frmMainForm::timClock_Timer() {
    if (IsTrue(mblnLoading)) return;
    WatchFullScreen();
    lblTemplate.SetCaption(FormatHourMinuteSecond(Now()));
    SetWidth(lblTemplate.Width());
    SetHeight(lblTemplate.Height());
    // The clock is read once more for the drawing: a second that turned
    // since the measure shows now. All digits are as wide, so the size holds.
    CutWindowToText(*this, FormatHourMinuteSecond(Now()));
}

void frmMainForm::UncheckAll(const MenuArray& items) {
    for (Integer index = items.LBound(); index <= items.UBound(); ++index) items(index).SetChecked(false);
}

void frmMainForm::mnuFontSizeValue_Click(Integer Index) {
    UncheckAll(mnuFontSizeValue);
    mnuFontSizeValue(Index).SetChecked(true);
    gintFontSize = Index;
    SetFontSize(CInt(mnuFontSizeValue(Index).Caption()));
    lblTemplate.SetFontSize(CInt(mnuFontSizeValue(Index).Caption()));
    timClock_Timer();
}

void frmMainForm::mnuFontColorValue_Click(Integer Index) {
    UncheckAll(mnuFontColorValue);
    mnuFontColorValue(Index).SetChecked(true);
    gintFontColor = Index;
    SetBackColor(static_cast<COLORREF>(glngColor[Index]));
    timClock_Timer();
}

void frmMainForm::mnuFontBold_Click() {
    gblnFontBold = Not(gblnFontBold);
    mnuFontBold.SetChecked(IsTrue(gblnFontBold));
    SetFontBold(IsTrue(gblnFontBold));
    lblTemplate.SetFontBold(IsTrue(gblnFontBold));
    timClock_Timer();
}

void frmMainForm::mnuTransValue_Click(Integer Index) {
    UncheckAll(mnuTransValue);
    mnuTransValue(Index).SetChecked(true);
    SetTranslucence(hWnd(), Index);
    gintTranslucence = Index;
    timClock_Timer();
}

void frmMainForm::mnuQuit_Click() { Unload(); }

void frmMainForm::pctTaskTray_MouseMove(Integer /*button*/, Integer /*shift*/, float /*x*/, float /*y*/) {
    if (!mclsTaskTray) mclsTaskTray = std::make_unique<clsTaskTray>();
    mclsTaskTray->SetEvents(static_cast<Long>(LOWORD(pctTaskTray.MouseMoveLParam())));
    if (IsTrue(mclsTaskTray->EventRightButtonUp())) {
        SetForegroundWindow(hWnd());
        PopupMenu(mnuTaskTray());
    } else if (IsTrue(mclsTaskTray->EventLeftButtonDblClick())) {
        SetTopmost();
        // Out of the way of a program in full screen, the clock is shown.
        if (IsTrue(mblnSteppedAside)) {
            SetVisible(true);
        } else {
            gblnDispClock = Not(gblnDispClock);
            SetVisible(IsTrue(gblnDispClock));
        }
        ShownByUser();
    }
}

void frmMainForm::mnuTimeTone_Click() {
    mnuTimeTone.SetChecked(!mnuTimeTone.Checked());
    gblnTimeTone = CBool(mnuTimeTone.Checked());
    timTimeTone.SetEnabled(IsTrue(gblnTimeTone));
}

// Each full hour is signalled once, by the first tick in its first seconds:
// a late tick still counts, a second tick or a clock set back does not.
void frmMainForm::timTimeTone_Timer() {
    const SYSTEMTIME now = Now();
    if (now.wMinute != 0 || now.wSecond >= kTimeToneGraceSeconds) return;
    const Long hour = HourNumber(now);
    if (hour < 0 || hour == mlngSignalledHour) return;
    mlngSignalledHour = hour;
    // Over a program in full screen that the clock steps aside for, that hour
    // passes unsignalled.
    if (!FullScreenInTheWay()) frmTimeTone.Load();
}

// Flush with the screen's right or bottom edge; negative for a window larger
// than the screen. The window's size is read before the screen's.
float frmMainForm::FarLeft() const {
    const float width = Width();
    return Screen.Width() - width;
}

float frmMainForm::FarTop() const {
    const float height = Height();
    return Screen.Height() - height;
}

// Each preset hides the clock while it moves, so that it is never seen
// half-way, and then shows it whatever its state was before; the saved
// show/hide choice stays as it is. A coordinate is 0 (the near edge) or the
// far place divided by 1 (flush with the far edge) or by 2 (the centre):
// half twips are passed on, the move to whole pixels is the only rounding.
void frmMainForm::ShowAtPreset(float across, float down) {
    SetVisible(false);
    SetLeft(across == 0.0f ? 0.0f : FarLeft() / across);
    SetTop(down == 0.0f ? 0.0f : FarTop() / down);
    SetVisible(true);
    TakeUserPlace();
    ShownByUser();
}

void frmMainForm::mnuDispPositionLT_Click() { ShowAtPreset(0.0f, 0.0f); }
void frmMainForm::mnuDispPositionLD_Click() { ShowAtPreset(0.0f, 1.0f); }
void frmMainForm::mnuDispPositionRT_Click() { ShowAtPreset(1.0f, 0.0f); }
void frmMainForm::mnuDispPositionRD_Click() { ShowAtPreset(1.0f, 1.0f); }
void frmMainForm::mnuDispPositionMM_Click() { ShowAtPreset(2.0f, 2.0f); }

// A command goes to its own handler; the arrays' commands to their array's,
// with the item's index.
void frmMainForm::Menu_Click(UINT command) {
    switch (command) {
        case IDM_TIMETONE: return mnuTimeTone_Click();
        case IDM_DISPPOSITION_LT: return mnuDispPositionLT_Click();
        case IDM_DISPPOSITION_LD: return mnuDispPositionLD_Click();
        case IDM_DISPPOSITION_RT: return mnuDispPositionRT_Click();
        case IDM_DISPPOSITION_RD: return mnuDispPositionRD_Click();
        case IDM_DISPPOSITION_MM: return mnuDispPositionMM_Click();
        case IDM_FONTBOLD: return mnuFontBold_Click();
        case IDM_QUIT: return mnuQuit_Click();
        default: break;
    }
    Integer index = 0;
    if (mnuFontSizeValue.IndexOf(command, index))
        mnuFontSizeValue_Click(index);
    else if (mnuFontColorValue.IndexOf(command, index))
        mnuFontColorValue_Click(index);
    else if (mnuTransValue.IndexOf(command, index))
        mnuTransValue_Click(index);
}
