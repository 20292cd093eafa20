// The font, colour and translucency commands on the real clock window, and
// the load that applies the saved ones, checked through what Windows reports
// back about the window.
#include <set>

#include "clock_fixture.h"
#include "modules/modTrans.h"
#include "runtime/Error.h"

namespace {
std::set<int> CheckedIndexes(const MenuArray& items) {
    std::set<int> checked;
    for (Integer index = items.LBound(); index <= items.UBound(); ++index)
        if (items(index).Checked()) checked.insert(index);
    return checked;
}

// The font the face is drawn with: the one selected into the window's DC.
LOGFONTW FaceFont() {
    LOGFONTW font{};
    GetObjectW(GetCurrentObject(frmMain.hDC(), OBJ_FONT), sizeof(font), &font);
    return font;
}

int PixelsOfPoints(int points) {
    HDC screen = GetDC(nullptr);
    const int pixels = MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return pixels;
}

struct Alpha {
    bool layered;
    BYTE value;
};

Alpha AlphaOf(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    const bool layered = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    if (layered) GetLayeredWindowAttributes(window, nullptr, &alpha, &flags);
    return {layered && (flags & LWA_ALPHA), alpha};
}

int CheckedIndex(const MenuArray& items) {
    const std::set<int> checked = CheckedIndexes(items);
    return checked.size() == 1 ? *checked.begin() : -1;
}

using ClockLoadTest = ClockWindowTest;
using FontMenuTest = ClockWindowTest;
using TranslucencyTest = ClockWindowTest;

TEST_F(FontMenuTest, EveryChoiceLeavesExactlyItsOwnItemChecked) {
    frmMain.Load();
    for (int index : {3, 16, 16, 1, 14}) {
        frmMain.mnuFontSizeValue_Click(static_cast<Integer>(index));
        EXPECT_EQ(CheckedIndexes(frmMain.mnuFontSizeValue), std::set<int>{index});
    }
    for (int index : {6, 2, 2, 1}) {
        frmMain.mnuFontColorValue_Click(static_cast<Integer>(index));
        EXPECT_EQ(CheckedIndexes(frmMain.mnuFontColorValue), std::set<int>{index});
    }
    for (int index : {10, 0, 0, 5}) {
        frmMain.mnuTransValue_Click(static_cast<Integer>(index));
        EXPECT_EQ(CheckedIndexes(frmMain.mnuTransValue), std::set<int>{index});
    }
}

TEST_F(FontMenuTest, ASizeIsKeptAsItsIndexAndGivenToBothFonts) {
    frmMain.Load();
    frmMain.mnuFontSizeValue_Click(14);  // "36"
    EXPECT_EQ(gintFontSize, 14);
    EXPECT_EQ(frmMain.FontSize(), 36.0f);
    EXPECT_EQ(frmMain.lblTemplate.FontSize(), 36.0f);
    EXPECT_EQ(FaceFont().lfHeight, -PixelsOfPoints(36));
    EXPECT_EQ(WindowRect(Window()).bottom - WindowRect(Window()).top, TextExtent("08:08:08", 36, true).cy);
    frmMain.Unload();
    wchar_t saved[16] = L"";
    GetPrivateProfileStringW(L"Window Design", L"Font Size", L"", saved, 16, gstrIniPath.c_str());
    EXPECT_STREQ(saved, L"14");
}

TEST_F(FontMenuTest, ANewSizeResizesTheWindowAtOnceFromItsTopLeftCorner) {
    frmMain.Load();
    const RECT before = WindowRect(Window());
    frmMain.mnuFontSizeValue_Click(1);  // "8"
    const RECT after = WindowRect(Window());
    const SIZE extent = TextExtent("08:08:08", 8, true);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, extent.cx);
    EXPECT_EQ(after.bottom - after.top, extent.cy);
    EXPECT_LT(extent.cy, before.bottom - before.top);
}

TEST_F(FontMenuTest, ColoursAreColourReferencesFromTheTable) {
    frmMain.Load();
    const struct {
        Integer index;
        COLORREF color;
    } choices[] = {{4, 0x00FF00}, {5, 0x008000}, {3, 0xFF0000}, {2, 0xFFFFFF}};
    for (const auto& choice : choices) {
        frmMain.mnuFontColorValue_Click(choice.index);
        EXPECT_EQ(gintFontColor, choice.index);
        EXPECT_EQ(frmMain.BackColor(), choice.color);
        POINT glyph{};
        ASSERT_TRUE(PointOnFace(Window(), glyph));
        EXPECT_EQ(GetPixel(frmMain.hDC(), glyph.x, glyph.y), choice.color) << "the digits show the colour";
    }
}

TEST_F(FontMenuTest, BoldTogglesBothFontsAndTheCheckMarkTogether) {
    frmMain.Load();  // saved as bold
    EXPECT_EQ(gblnFontBold, vbTrue);
    EXPECT_TRUE(frmMain.mnuFontBold.Checked());
    EXPECT_EQ(FaceFont().lfWeight, FW_BOLD);
    frmMain.mnuFontBold_Click();
    EXPECT_EQ(gblnFontBold, vbFalse);
    EXPECT_FALSE(frmMain.mnuFontBold.Checked());
    EXPECT_EQ(FaceFont().lfWeight, FW_NORMAL);
    EXPECT_FALSE(frmMain.lblTemplate.FontBold());
    frmMain.mnuFontBold_Click();
    EXPECT_EQ(gblnFontBold, vbTrue);
    EXPECT_TRUE(frmMain.mnuFontBold.Checked());
    EXPECT_EQ(FaceFont().lfWeight, FW_BOLD);
    EXPECT_TRUE(frmMain.lblTemplate.FontBold());
}

TEST_F(FontMenuTest, AnIndexWithoutAnItemClearsTheMarksAndChangesNothingElse) {
    frmMain.Load();
    const RECT before = WindowRect(Window());
    const LONG exStyle = GetWindowLongW(Window(), GWL_EXSTYLE);
    const struct {
        const MenuArray& items;
        void (frmMainForm::*click)(Integer);
        Integer index;
    } cases[] = {{frmMain.mnuFontSizeValue, &frmMainForm::mnuFontSizeValue_Click, 17},
                 {frmMain.mnuFontColorValue, &frmMainForm::mnuFontColorValue_Click, 7},
                 {frmMain.mnuTransValue, &frmMainForm::mnuTransValue_Click, 11},
                 {frmMain.mnuFontSizeValue, &frmMainForm::mnuFontSizeValue_Click, 0}};
    for (const auto& c : cases) {
        try {
            (frmMain.*c.click)(c.index);
            ADD_FAILURE() << "index " << c.index << " was taken";
        } catch (const VBError& error) {
            EXPECT_EQ(error.Number(), vbErr::ControlArrayElementMissing);
        }
        EXPECT_TRUE(CheckedIndexes(c.items).empty());
    }
    EXPECT_EQ(gintFontSize, 16);
    EXPECT_EQ(gintFontColor, 1);
    EXPECT_EQ(gintTranslucence, 0);
    EXPECT_EQ(frmMain.BackColor(), 0u);
    EXPECT_EQ(GetWindowLongW(Window(), GWL_EXSTYLE), exStyle);
    const RECT after = WindowRect(Window());
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(TranslucencyTest, EachLevelHasTheAlphaOfItsStepAndKeepsTheOtherStyleBits) {
    frmMain.Load();
    // A bit the clock never sets itself, to see that it survives.
    SetWindowLongW(Window(), GWL_EXSTYLE, GetWindowLongW(Window(), GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
    const LONG plain = GetWindowLongW(Window(), GWL_EXSTYLE);
    const BYTE expected[] = {0, 230, 210, 190, 165, 135, 105, 75, 45, 15, 0};
    for (int level : {3, 6, 1, 2, 4, 5, 7, 8, 9, 10}) {
        frmMain.mnuTransValue_Click(static_cast<Integer>(level));
        const Alpha alpha = AlphaOf(Window());
        EXPECT_TRUE(alpha.layered) << level;
        EXPECT_EQ(alpha.value, expected[level]) << level;
        EXPECT_EQ(GetWindowLongW(Window(), GWL_EXSTYLE), plain | WS_EX_LAYERED) << level;
        EXPECT_EQ(gintTranslucence, level);
    }
    EXPECT_TRUE(IsWindowVisible(Window())) << "at 100% the clock is still there, only unseen";
    frmMain.mnuTransValue_Click(0);
    EXPECT_EQ(GetWindowLongW(Window(), GWL_EXSTYLE), plain);
    frmMain.mnuTransValue_Click(0);
    EXPECT_EQ(GetWindowLongW(Window(), GWL_EXSTYLE), plain);
}

TEST_F(TranslucencyTest, LevelsBeyondTheTableMakeTheWindowPlain) {
    frmMain.Load();
    const LONG plain = GetWindowLongW(Window(), GWL_EXSTYLE);
    for (int level : {11, -1, 32767, -32768}) {
        SetTranslucence(Window(), 5);
        ASSERT_TRUE(AlphaOf(Window()).layered);
        SetTranslucence(Window(), static_cast<Integer>(level));
        EXPECT_EQ(GetWindowLongW(Window(), GWL_EXSTYLE), plain) << level;
    }
}
TEST_F(ClockLoadTest, LoadAppliesEverySavedSetting) {
    gintFontSize = 11;  // "24"
    gintFontColor = 2;  // white
    gblnFontBold = vbTrue;
    gintTranslucence = 3;
    gblnTimeTone = vbTrue;
    frmMain.Load();
    EXPECT_EQ(CheckedIndex(frmMain.mnuFontSizeValue), 11);
    EXPECT_EQ(CheckedIndex(frmMain.mnuFontColorValue), 2);
    EXPECT_EQ(CheckedIndex(frmMain.mnuTransValue), 3);
    EXPECT_TRUE(frmMain.mnuFontBold.Checked());
    EXPECT_EQ(gblnFontBold, vbTrue) << "complemented twice";
    EXPECT_TRUE(frmMain.mnuTimeTone.Checked());
    EXPECT_TRUE(frmMain.timTimeTone.Enabled());
    EXPECT_EQ(frmMain.BackColor(), RGB(255, 255, 255));

    const SIZE extent = TextExtent("08:08:08", 24, true);
    const RECT r = WindowRect(Window());
    EXPECT_EQ(r.right - r.left, extent.cx);
    EXPECT_EQ(r.bottom - r.top, extent.cy);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(AlphaOf(Window()).value, 190);
    EXPECT_TRUE(GetWindowLongW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_TRUE(TrayIconShown(frmMain.pctTaskTray.hWnd()));
}

TEST_F(ClockLoadTest, PlainSettingsLeaveBoldAndTheTimeSignalOff) {
    gblnFontBold = vbFalse;
    gblnDispClock = vbFalse;
    frmMain.Load();
    EXPECT_FALSE(frmMain.mnuFontBold.Checked());
    EXPECT_EQ(gblnFontBold, vbFalse);
    EXPECT_FALSE(frmMain.FontBold());
    EXPECT_FALSE(frmMain.mnuTimeTone.Checked());
    EXPECT_FALSE(frmMain.timTimeTone.Enabled());
    EXPECT_FALSE(GetWindowLongW(Window(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_FALSE(IsWindowVisible(Window()));
    EXPECT_TRUE(TrayIconShown(frmMain.pctTaskTray.hWnd())) << "a hidden clock is reached through its icon";
}

}  // namespace
