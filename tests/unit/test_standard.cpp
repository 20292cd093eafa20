// The versioned title, the program folder, the error box and the numbers in them.
#include <gtest/gtest.h>

#include <climits>
#include <thread>
#include <vector>

#include "e2e/driver.h"
#include "modules/modGlobal.h"
#include "modules/modStandard.h"
#include "runtime/App.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

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

// Shows the box and, from a second thread, reads it as the user sees it and
// presses OK.
e2e::MessageBoxView ShowAndRead(const std::wstring& message, const VBError* error) {
    e2e::MessageBoxView box;
    std::thread reader([&] {
        box = e2e::WaitForMessageBox(GetCurrentProcessId(), 10000);
        if (box.window) e2e::PressButton(box.window, IDOK);
    });
    ShowErrorMessage(message, error);
    reader.join();
    return box;
}

TEST(ErrorMessage, IsAStopBoxWithOnlyOkTitledWithTheApplicationTitle) {
    gstrAppTitle = L"Kalvory (ver 1.1.0) [Test]";
    const VBError overflow(vbErr::Overflow, L"オーバーフローしました。");
    for (const VBError* error : {static_cast<const VBError*>(nullptr), &overflow}) {
        const e2e::MessageBoxView box = ShowAndRead(L"予測不能のエラーが発生しました", error);
        EXPECT_EQ(box.title, gstrAppTitle);
        EXPECT_EQ(box.text, L"予測不能のエラーが発生しました");
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        EXPECT_EQ(box.icon, LoadIconW(nullptr, MAKEINTRESOURCEW(32513)));  // the stop icon
    }
}

// Settings, the version and error codes are written with it: every value of
// a Long and of a DWORD must come out as the standard library writes it.
TEST(DecimalText, MatchesToWstringAcrossTheRange) {
    for (long long value : {0LL, 7LL, -500LL, 40000LL, static_cast<long long>(LONG_MIN),
                            static_cast<long long>(LONG_MAX), 4294967295LL, LLONG_MIN, LLONG_MAX})
        EXPECT_EQ(DecimalText(value), std::to_wstring(value));
}
}  // namespace
