#include "frmTimeTone.h"

#include "../modules/modGlobal.h"
#include "../runtime/Clock.h"
#include "../runtime/Screen.h"
#include "TextRegion.h"
#include "frmMain.h"

namespace {
// Fixed: the clock's size and weight never apply to the pop-up.
const FontSpec kTimeToneFont{L"ＭＳ 明朝", 26.25f, true, SHIFTJIS_CHARSET};

const FormDesign kDesign{L"Kalvory", 1425.0f, 525.0f, RGB(0, 0, 0), kTimeToneFont};

constexpr UINT kShownFor = 2000;  // milliseconds
}  // namespace

frmTimeToneForm frmTimeTone;

frmTimeToneForm::frmTimeToneForm()
    : Form(kDesign),
      lblTemplate(*this, kTimeToneFont, L"00:00"),
      timClock(*this, kShownFor, false, [this] { timClock_Timer(); }) {}

void frmTimeToneForm::Form_Load() {
    // Where the clock stood at start-up, wherever it has been dragged since.
    SetLeft(static_cast<float>(glngLeft));
    SetTop(static_cast<float>(glngTop));
    lblTemplate.SetCaption(FormatHourMinute(Now()));
    SetWidth(lblTemplate.Width());
    SetHeight(lblTemplate.Height());
    SetBackColor(frmMain.BackColor());
    // Where the clock stood may be where no screen shows any more.
    BringIntoView(hWnd());
    CutWindowToText(*this, FormatHourMinute(Now()));
    SetTopmost();
    SetVisible(true);
    timClock.SetEnabled(true);
}

void frmTimeToneForm::timClock_Timer() { Unload(); }
