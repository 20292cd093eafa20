// The versioned title, the program folder and the error box.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "modules/modGlobal.h"
#include "modules/modStandard.h"
#include "runtime/App.h"
#include "runtime/Error.h"

namespace {
TEST(AppTitle, CarriesTheVersionOfTheResourceAndTheTagInBrackets) {
    EXPECT_EQ(GetAppTitle(L"Kalvory", L""), L"Kalvory (ver 1.1.0)");
    EXPECT_EQ(GetAppTitle(L"Kalvory", L"T"), L"Kalvory (ver 1.1.0) [T]");
    EXPECT_EQ(GetAppTitle(L"時計", L"タグ"), L"時計 (ver 1.1.0) [タグ]");
}

class AppPathTest : public ::testing::Test {
protected:
    void TearDown() override { App.SetModulePathForTest(L""); }
};

TEST_F(AppPathTest, EndsInExactlyOneBackslash) {
    App.SetModulePathForTest(L"C:\\Tools\\Kalvory.exe");
    EXPECT_EQ(GetAppPath(), L"C:\\Tools\\");
    App.SetModulePathForTest(L"D:\\Kalvory.exe");
    EXPECT_EQ(GetAppPath(), L"D:\\");
    App.SetModulePathForTest(L"C:\\時計\\Kalvory.exe");
    EXPECT_EQ(GetAppPath(), L"C:\\時計\\");
}

TEST_F(AppPathTest, IsTheFolderOfTheRunningProgram) {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::wstring path = GetAppPath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.back(), L'\\');
    EXPECT_EQ(std::wstring(module).rfind(path, 0), 0u);
    EXPECT_EQ(std::wstring(module).find(L'\\', path.size()), std::wstring::npos);
}

// What a message box of this process showed, read by a second thread that
// then presses its OK button.
struct ShownBox {
    std::wstring title;
    std::wstring text;
    bool hasOk = false;
    bool hasCancel = false;
    bool hasStopIcon = false;
};

BOOL CALLBACK KeepOwnDialog(HWND hwnd, LPARAM found) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = L"";
    GetClassNameW(hwnd, cls, 64);
    if (pid != GetCurrentProcessId() || std::wstring(cls) != L"#32770" || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

HWND FindOwnDialog() {
    HWND found = nullptr;
    EnumWindows(KeepOwnDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

ShownBox ShowAndRead(const std::wstring& message, const VBError* error) {
    ShownBox box;
    std::atomic<bool> read{false};
    std::thread watcher([&] {
        for (int tries = 0; tries < 400 && !read; ++tries) {
            if (HWND dialog = FindOwnDialog()) {
                wchar_t text[256] = L"";
                GetWindowTextW(dialog, text, 256);
                box.title = text;
                GetDlgItemTextW(dialog, 0xFFFF, text, 256);
                box.text = text;
                box.hasOk = GetDlgItem(dialog, IDOK) != nullptr;
                box.hasCancel = GetDlgItem(dialog, IDCANCEL) != nullptr && IsWindowVisible(GetDlgItem(dialog, IDCANCEL));
                // The icon static is 20 on Windows and 0x440 under Wine.
                HWND icon = GetDlgItem(dialog, 20) ? GetDlgItem(dialog, 20) : GetDlgItem(dialog, 0x440);
                box.hasStopIcon = icon && reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0)) ==
                                              LoadIconW(nullptr, MAKEINTRESOURCEW(32513));
                read = true;
                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            }
            Sleep(25);
        }
    });
    ShowErrorMessage(message, error);
    watcher.join();
    return box;
}

TEST(ErrorMessage, IsAStopBoxWithOnlyOkTitledWithTheApplicationTitle) {
    gstrAppTitle = L"Kalvory (ver 1.1.0) [Test]";
    const ShownBox plain = ShowAndRead(L"二重起動はできません", nullptr);
    EXPECT_EQ(plain.title, gstrAppTitle);
    EXPECT_EQ(plain.text, L"二重起動はできません");
    EXPECT_TRUE(plain.hasOk);
    EXPECT_FALSE(plain.hasCancel);
    EXPECT_TRUE(plain.hasStopIcon);

    const VBError overflow(vbErr::Overflow, L"オーバーフローしました。");
    const ShownBox withError = ShowAndRead(L"予測不能のエラーが発生しました", &overflow);
    EXPECT_EQ(withError.title, gstrAppTitle);
    EXPECT_EQ(withError.text, L"予測不能のエラーが発生しました");
    EXPECT_TRUE(withError.hasOk);
    EXPECT_FALSE(withError.hasCancel);
    EXPECT_TRUE(withError.hasStopIcon);
}
}  // namespace
