// The five position presets on the real clock window and the real screen.
#include "clock_fixture.h"
#include "runtime/Handle.h"
#include "runtime/Screen.h"

namespace {
class PresetTest : public ClockWindowTest {
protected:
    // The face is rebuilt only on a tick, and the tests do not pump messages:
    // the window keeps the size it is given here.
    void LoadWithSize(int width, int height) {
        frmMain.Load();
        frmMain.SetWidth(static_cast<float>(width) * 15.0f);
        frmMain.SetHeight(static_cast<float>(height) * 15.0f);
    }
    static POINT TopLeft() {
        const RECT r = WindowRect(frmMain.hWnd());
        return {r.left, r.top};
    }
};

const int kScreenWidth = GetSystemMetrics(SM_CXSCREEN);
const int kScreenHeight = GetSystemMetrics(SM_CYSCREEN);

TEST_F(PresetTest, OnAScreenEightTimesTheWindowEachPresetHasItsPlace) {
    ASSERT_EQ(Screen.TwipsPerPixelX(), 15.0f) << "the pixel figures below assume 96 dpi";
    ASSERT_EQ(kScreenWidth % 16, 0);
    ASSERT_EQ(kScreenHeight % 16, 0);
    LoadWithSize(kScreenWidth / 8, kScreenHeight / 8);
    const struct {
        void (frmMainForm::*handler)();
        POINT expected;
    } presets[] = {
        {&frmMainForm::mnuDispPositionRD_Click, {kScreenWidth * 7 / 8, kScreenHeight * 7 / 8}},
        {&frmMainForm::mnuDispPositionLT_Click, {0, 0}},
        {&frmMainForm::mnuDispPositionMM_Click, {kScreenWidth * 7 / 16, kScreenHeight * 7 / 16}},
        {&frmMainForm::mnuDispPositionLD_Click, {0, kScreenHeight * 7 / 8}},
        {&frmMainForm::mnuDispPositionRT_Click, {kScreenWidth * 7 / 8, 0}},
    };
    for (const auto& preset : presets) {
        (frmMain.*preset.handler)();
        EXPECT_EQ(TopLeft().x, preset.expected.x);
        EXPECT_EQ(TopLeft().y, preset.expected.y);
    }
}

TEST_F(PresetTest, TheCentreKeepsHalfATwipUntilTheMoveToPixels) {
    // An odd difference of 1119 and 895 pixels: the centre is at 559.5 and
    // 447.5 pixels. Only the move rounds, a half to the even pixel; rounding
    // the twips or halving whole pixels would give 559 and 447.
    LoadWithSize(kScreenWidth - 1119, kScreenHeight - 895);
    frmMain.mnuDispPositionMM_Click();
    EXPECT_EQ(frmMain.Left(), 560.0f * 15.0f);
    EXPECT_EQ(frmMain.Top(), 448.0f * 15.0f);
}

TEST_F(PresetTest, AWindowWiderThanTheScreenIsNotClamped) {
    LoadWithSize(kScreenWidth + 200, 40);
    frmMain.mnuDispPositionRT_Click();
    EXPECT_EQ(TopLeft().x, -200);
    frmMain.mnuDispPositionMM_Click();
    EXPECT_EQ(TopLeft().x, -100);
}

TEST_F(PresetTest, AHiddenClockIsShownAndTheSavedChoiceStaysHidden) {
    gblnDispClock = vbFalse;
    gintTranslucence = 5;
    LoadWithSize(100, 40);
    ASSERT_FALSE(IsWindowVisible(Window()));
    const GdiObject before(CreateRectRgn(0, 0, 0, 0));
    const GdiObject after(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(Window(), static_cast<HRGN>(before.get())), ERROR);

    frmMain.mnuDispPositionRD_Click();
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_EQ(gblnDispClock, vbFalse);
    // Nothing else changes: the face, the translucency and its check mark.
    ASSERT_NE(GetWindowRgn(Window(), static_cast<HRGN>(after.get())), ERROR);
    EXPECT_TRUE(EqualRgn(static_cast<HRGN>(before.get()), static_cast<HRGN>(after.get())));
    BYTE alpha = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(Window(), nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 135);
    EXPECT_TRUE(frmMain.mnuTransValue(5).Checked());
}
}  // namespace
