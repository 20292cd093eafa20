// The tray icon class: its decoding of the shell's mouse messages, the record
// it hands to the shell, and when it talks to the shell at all.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "classes/clsTaskTray.h"
#include "support.h"

namespace {
struct ShellCall {
    // cppcheck-suppress unusedStructMember ; read inside the GoogleTest macros
    DWORD message;
    NOTIFYICONDATAA data;
};

std::vector<ShellCall>& Calls() {
    static std::vector<ShellCall> calls;
    return calls;
}

BOOL WINAPI RecordShellCall(DWORD message, PNOTIFYICONDATAA data) {
    ShellCall call{message, {}};
    std::memcpy(&call.data, data, data->cbSize);
    Calls().push_back(call);
    return TRUE;
}

class TaskTrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        Calls().clear();
        clsTaskTray::SetShellNotifyForTest(RecordShellCall);
    }
    void TearDown() override { clsTaskTray::SetShellNotifyForTest(nullptr); }

    std::string TipSent(const std::wstring& tip) {
        clsTaskTray tray;
        tray.SetToolTipText(tip);
        tray.Add();
        // The first record layout holds 64 bytes of tip; the shell reads no more.
        const char* field = Calls().back().data.szTip;
        EXPECT_EQ(field[63], '\0');
        return std::string(field, strnlen(field, 64));
    }
};

// The nine button actions, in the order of their messages 0x0201..0x0209.
std::vector<bool> Flags(const clsTaskTray& tray) {
    return {tray.EventLeftButtonDown() != 0,   tray.EventLeftButtonUp() != 0,   tray.EventLeftButtonDblClick() != 0,
            tray.EventRightButtonDown() != 0,  tray.EventRightButtonUp() != 0,  tray.EventRightButtonDblClick() != 0,
            tray.EventMiddleButtonDown() != 0, tray.EventMiddleButtonUp() != 0, tray.EventMiddleButtonDblClick() != 0};
}

TEST_F(TaskTrayTest, EachButtonMessageSetsOnlyItsOwnFlag) {
    clsTaskTray tray;
    EXPECT_EQ(Flags(tray), std::vector<bool>(9, false));
    for (int i = 0; i < 9; ++i) {
        tray.SetEvents(0x0201 + i);
        std::vector<bool> expected(9, false);
        expected[static_cast<size_t>(i)] = true;
        EXPECT_EQ(Flags(tray), expected) << std::hex << 0x0201 + i;
        EXPECT_EQ(tray.EventRightButtonUp(), i == 4 ? vbTrue : vbFalse) << "True has all bits set";
    }
    for (Long other : {0x0200, 0x0000, 0x020A, 0x0200 + 0x10000, -0x0201}) {
        tray.SetEvents(0x0205);
        tray.SetEvents(other);
        EXPECT_EQ(Flags(tray), std::vector<bool>(9, false)) << std::hex << other;
    }
}

TEST_F(TaskTrayTest, TheRecordIsTheFirstLayoutWithTheTipFlagOnlyForATip) {
    int icon = 0;
    const auto iconHandle = reinterpret_cast<HICON>(&icon);
    const auto owner = reinterpret_cast<HWND>(0x1234);
    clsTaskTray tray;
    tray.SetOwner(owner);
    tray.SetIcon(iconHandle);
    tray.Add();
    tray.SetToolTipText(L"Kalvory");
    EXPECT_EQ(tray.ToolTipText(), L"Kalvory");
    tray.Modify();
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(Calls()[1].message, static_cast<DWORD>(NIM_MODIFY));
    for (const ShellCall& call : Calls()) {
        EXPECT_EQ(call.data.cbSize, 88u);
        EXPECT_EQ(call.data.hWnd, owner);
        EXPECT_EQ(call.data.uID, 1u);
        EXPECT_EQ(call.data.uCallbackMessage, static_cast<UINT>(WM_MOUSEMOVE));
        EXPECT_EQ(call.data.hIcon, iconHandle);
    }
    EXPECT_EQ(Calls()[0].data.uFlags, 3u);
    EXPECT_STREQ(Calls()[0].data.szTip, "");
    EXPECT_EQ(Calls()[1].data.uFlags, 7u);
    EXPECT_STREQ(Calls()[1].data.szTip, "Kalvory");
    tray.SetToolTipText(L"");
    tray.Modify();
    EXPECT_EQ(Calls().back().data.uFlags, 3u);
}

TEST_F(TaskTrayTest, ATipTooLongForItsFieldLosesWholeCharactersOnly) {
    EXPECT_EQ(TipSent(std::wstring(70, L'a')), std::string(63, 'a'));
    EXPECT_EQ(TipSent(std::wstring(63, L'a')), std::string(63, 'a'));
    const std::string kanji = "\x8E\x9E";  // 時 in Shift-JIS
    std::string expected;
    for (int i = 0; i < 31; ++i) expected += kanji;
    EXPECT_EQ(TipSent(std::wstring(40, L'時')), expected) << "31 characters fill 62 bytes; a 32nd would not fit";
    EXPECT_EQ(TipSent(L"a" + std::wstring(40, L'時')), "a" + expected);
    EXPECT_EQ(TipSent(L"ab" + std::wstring(40, L'時')), "ab" + expected.substr(2)) << "no half character at the end";
}

TEST_F(TaskTrayTest, OnlyAnAddedIconIsChangedOrDeletedAndOnlyOnce) {
    {
        clsTaskTray tray;
        EXPECT_FALSE(tray.Modify());
        EXPECT_FALSE(tray.Delete());
        EXPECT_TRUE(Calls().empty());
        tray.Add();
        tray.Delete();
        tray.Delete();
        ASSERT_EQ(Calls().size(), 2u);
        EXPECT_EQ(Calls()[1].message, static_cast<DWORD>(NIM_DELETE));
        tray.Modify();
        EXPECT_EQ(Calls().size(), 2u);
    }
    EXPECT_EQ(Calls().size(), 2u) << "released after Delete: nothing more";
    {
        clsTaskTray tray;
        tray.Add();
    }
    ASSERT_EQ(Calls().size(), 4u);
    EXPECT_EQ(Calls()[3].message, static_cast<DWORD>(NIM_DELETE)) << "released while shown: the icon goes";
}

TEST(TaskTrayShellTest, TheShellTakesTheIconAndLetsItGo) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    {
        clsTaskTray tray;
        tray.SetOwner(owner);
        tray.SetIcon(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));
        tray.SetToolTipText(L"Kalvory");
        EXPECT_TRUE(tray.Add());
        EXPECT_TRUE(TrayIconShown(owner));
        EXPECT_TRUE(tray.Modify());
    }
    EXPECT_FALSE(TrayIconShown(owner)) << "released while shown";
    DestroyWindow(owner);
}
}  // namespace
