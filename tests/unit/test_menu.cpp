// The clock window's menu tree, read back from the real menu.
#include <vector>

#include "clock_fixture.h"
#include "runtime/Error.h"

namespace {
long ErrorNumberOf(const MenuArray& array, int index) {
    try {
        array(static_cast<Integer>(index));
    } catch (const VBError& error) {
        return error.Number();
    }
    return 0;
}

using MenuTreeTest = ClockWindowTest;

TEST_F(MenuTreeTest, HangsUnderOneItemWithTheTopItemsInOrder) {
    frmMain.Load();
    HMENU bar = frmMain.Menu();
    ASSERT_EQ(MenuCaptions(bar), std::vector<std::wstring>{L"タスクトレイメニュー"});
    const std::vector<MenuEntry> expected = {{L"時報を表示する", 0}, {L"-", 0},      {L"表示位置", 5},
                                             {L"文字サイズ", 16},    {L"文字色", 6}, {L"太字", 0},
                                             {L"透明度", 11},        {L"-", 0},      {L"終了(&Q)", 0}};
    EXPECT_EQ(MenuEntries(GetSubMenu(bar, 0)), expected);
}

TEST_F(MenuTreeTest, SubmenusListTheirChoicesInOrder) {
    frmMain.Load();
    HMENU tray = GetSubMenu(frmMain.Menu(), 0);
    EXPECT_EQ(MenuCaptions(GetSubMenu(tray, 2)),
              (std::vector<std::wstring>{L"左上", L"左下", L"右上", L"右下", L"中央"}));
    EXPECT_EQ(MenuCaptions(GetSubMenu(tray, 3)),
              (std::vector<std::wstring>{L"8", L"9", L"10", L"11", L"12", L"14", L"16", L"18", L"20", L"22", L"24",
                                         L"26", L"28", L"36", L"48", L"72"}));
    EXPECT_EQ(MenuCaptions(GetSubMenu(tray, 4)),
              (std::vector<std::wstring>{L"黒", L"白", L"青", L"黄緑", L"緑", L"赤"}));
    EXPECT_EQ(MenuCaptions(GetSubMenu(tray, 6)),
              (std::vector<std::wstring>{L"0%", L"10%", L"20%", L"30%", L"40%", L"50%", L"60%", L"70%", L"80%", L"90%",
                                         L"100%"}));
}

TEST_F(MenuTreeTest, ArraysAreAddressedByTheirOwnIndexRanges) {
    frmMain.Load();
    EXPECT_EQ(frmMain.mnuFontSizeValue(1).Caption(), L"8");
    EXPECT_EQ(frmMain.mnuFontSizeValue(14).Caption(), L"36");
    EXPECT_EQ(frmMain.mnuFontSizeValue(16).Caption(), L"72");
    EXPECT_EQ(frmMain.mnuFontColorValue(1).Caption(), L"黒");
    EXPECT_EQ(frmMain.mnuFontColorValue(6).Caption(), L"赤");
    EXPECT_EQ(frmMain.mnuTransValue(0).Caption(), L"0%");
    EXPECT_EQ(frmMain.mnuTransValue(10).Caption(), L"100%");

    // The command of the first size item in the real menu is index 1.
    Integer index = 0;
    HMENU sizes = GetSubMenu(GetSubMenu(frmMain.Menu(), 0), 3);
    ASSERT_TRUE(frmMain.mnuFontSizeValue.IndexOf(GetMenuItemID(sizes, 0), index));
    EXPECT_EQ(index, 1);

    for (int missing : {0, 17}) EXPECT_EQ(ErrorNumberOf(frmMain.mnuFontSizeValue, missing), 340);
    for (int missing : {0, 7}) EXPECT_EQ(ErrorNumberOf(frmMain.mnuFontColorValue, missing), 340);
    for (int missing : {-1, 11}) EXPECT_EQ(ErrorNumberOf(frmMain.mnuTransValue, missing), 340);
}
}  // namespace

namespace {
HWND gShownMenu = nullptr;
int gShownItems = 0;

// Runs inside the menu's own modal loop: note what is open, then close it.
void CALLBACK InspectAndCloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    gShownMenu = FindWindowW(L"#32768", nullptr);
    if (gShownMenu && IsWindowVisible(gShownMenu))
        gShownItems = GetMenuItemCount(reinterpret_cast<HMENU>(SendMessageW(gShownMenu, MN_GETHMENU, 0, 0)));
    EndMenu();
}

TEST_F(MenuTreeTest, TheTrayMenuOpensAsAPopUpAndReturnsWhenClosed) {
    frmMain.Load();
    SetTimer(nullptr, 0, 300, InspectAndCloseMenu);
    frmMain.PopupMenu(frmMain.mnuTaskTray());
    ASSERT_NE(gShownMenu, nullptr);
    EXPECT_EQ(gShownItems, 9);
    EXPECT_TRUE(frmMain.IsLoaded());
}
}  // namespace
