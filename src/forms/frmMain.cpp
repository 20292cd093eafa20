#include "frmMain.h"

#include <cmath>

#include "../modules/modDefine.h"
#include "../modules/modGlobal.h"
#include "../modules/modStart.h"
#include "../modules/modTrans.h"
#include "../res/resource.h"
#include "../runtime/App.h"
#include "../runtime/Clock.h"
#include "../runtime/Convert.h"
#include "TextRegion.h"

namespace {
const FontSpec kClockFont{L"ＭＳ ゴシック", 72.0f, true, SHIFTJIS_CHARSET};

const FormDesign kDesign{L"Kalvory", 5415.0f, 3030.0f, RGB(0, 0, 0), kClockFont, IDI_CLOCK, IDR_MAINMENU};

// Left, top, width and height in twips; below the face, so never seen.
constexpr RECT kTaskTrayBox{1080, 2040, 3855, 1215};

// Colour of each font-colour item, in menu order.
constexpr Long kFontColors[] = {RGB(0, 0, 0),   RGB(255, 255, 255), RGB(0, 0, 255),
                                RGB(0, 255, 0), RGB(0, 128, 0),     RGB(255, 0, 0)};

// lrint rounds in the default mode: to nearest, a half to the even neighbour.
Long RoundHalfToEven(float twips) { return static_cast<Long>(std::lrint(twips)); }
}  // namespace

// Defined after the design it is built from, which is initialised first.
frmMainForm frmMain;

frmMainForm::frmMainForm()
    : Form(kDesign),
      timTimeTone(*this, 1000, false, nullptr),
      pctTaskTray(*this, kTaskTrayBox, nullptr),
      timClock(*this, 200, true, [this] { timClock_Timer(); }),
      lblTemplate(*this, kClockFont),
      mnuTimeTone(*this, IDM_TIMETONE),
      mnuDispPositionLT(*this, IDM_DISPPOSITION_LT),
      mnuDispPositionLD(*this, IDM_DISPPOSITION_LD),
      mnuDispPositionRT(*this, IDM_DISPPOSITION_RT),
      mnuDispPositionRD(*this, IDM_DISPPOSITION_RD),
      mnuDispPositionMM(*this, IDM_DISPPOSITION_MM),
      mnuFontSizeValue(*this, IDM_FONTSIZE_BASE, 1, 16),
      mnuFontColorValue(*this, IDM_FONTCOLOR_BASE, 1, 6),
      mnuFontBold(*this, IDM_FONTBOLD),
      mnuTransValue(*this, IDM_TRANS_BASE, 0, 10),
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
    SetVisible(gblnDispClock != vbFalse);
    mnuFontColorValue_Click(gintFontColor);
    mnuFontSizeValue_Click(gintFontSize);
    mnuTransValue_Click(gintTranslucence);
    // The bold handler toggles: complemented here, it applies the saved value.
    gblnFontBold = static_cast<Boolean>(~gblnFontBold);
    mnuFontBold_Click();
    mblnLoading = vbFalse;
    timClock_Timer();
    mnuTimeTone.SetChecked(gblnTimeTone != vbFalse);
    if (gblnTimeTone) timTimeTone.SetEnabled(true);
    AddTaskTrayIcon();
    SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

void frmMainForm::AddTaskTrayIcon() {
    if (!mclsTaskTray) mclsTaskTray = std::make_unique<clsTaskTray>();
    mclsTaskTray->SetToolTipText(kProductName);
    mclsTaskTray->SetOwner(pctTaskTray.hWnd());
    mclsTaskTray->SetIcon(Icon());
    mclsTaskTray->Add();
}

void frmMainForm::Form_DblClick() {
    gblnDispClock = static_cast<Boolean>(~gblnDispClock);
    SetVisible(gblnDispClock != vbFalse);
}

void frmMainForm::Form_MouseDown(Integer button, Integer /*shift*/, float /*x*/, float /*y*/) {
    if (button != vbLeftButton) return;
    if (!mclsMouseControl) mclsMouseControl = std::make_unique<clsMouseControl>();
    mclsMouseControl->CatchWindowAndMove(hWnd());
}

void frmMainForm::Form_QueryUnload(Integer& /*cancel*/, Integer /*unloadMode*/) {
    if (mclsTaskTray) mclsTaskTray->Delete();
    mclsTaskTray.reset();
}

void frmMainForm::Form_Unload(Integer& /*cancel*/) {
    glngTop = RoundHalfToEven(Top());
    glngLeft = RoundHalfToEven(Left());
    SaveSettings();
    mclsMouseControl.reset();
}

// A restarted Explorer has lost the icon; without it a hidden clock could
// never be shown again.
void frmMainForm::Form_TaskbarCreated() {
    if (mclsTaskTray) mclsTaskTray->Add();
}

void frmMainForm::timClock_Timer() {
    if (mblnLoading) return;
    lblTemplate.SetCaption(FormatHourMinuteSecond(Now()));
    SetWidth(lblTemplate.Width());
    SetHeight(lblTemplate.Height());
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
    gblnFontBold = static_cast<Boolean>(~gblnFontBold);
    mnuFontBold.SetChecked(gblnFontBold != vbFalse);
    SetFontBold(gblnFontBold != vbFalse);
    lblTemplate.SetFontBold(gblnFontBold != vbFalse);
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

void frmMainForm::Menu_Click(UINT command) {
    Integer index = 0;
    if (mnuFontSizeValue.IndexOf(command, index))
        mnuFontSizeValue_Click(index);
    else if (mnuFontColorValue.IndexOf(command, index))
        mnuFontColorValue_Click(index);
    else if (command == mnuFontBold.Command())
        mnuFontBold_Click();
    else if (mnuTransValue.IndexOf(command, index))
        mnuTransValue_Click(index);
    else if (command == mnuQuit.Command())
        mnuQuit_Click();
}
