// The small library pieces: the string builder, the title, the program's
// folder, the error box, number text, and the fixed buffers they fill.
#include <climits>
#include <thread>

#include "classes/clsIniFile.h"
#include "classes/clsStrChain.h"
#include "e2e/driver.h"
#include "modules/modStandard.h"
#include "runtime/App.h"
#include "runtime/Error.h"
#include "runtime/Font.h"
#include "runtime/Text.h"

namespace {
TEST(StrChain, CollectsPiecesAsShiftJisAndGivesThemBackInOrder) {
    ASSERT_EQ(GetACP(), 932u) << "the tests expect the Japanese code page";
    clsStrChain chain;
    EXPECT_EQ(chain.GetString(), L"");
    const struct {
        std::wstring piece;
        const wchar_t* all;
        long length;
    } steps[] = {{L"", L"", 0},
                 {L"abc", L"abc", 3},
                 {L"二重起動", L"abc二重起動", 11},
                 {std::wstring(L"x\0cd", 4), L"abc二重起動x", 12},  // a piece ends at its first NUL
                 {L"a\u0E01b", L"abc二重起動xa?b", 15}};            // a Thai letter has no Shift-JIS code
    for (const auto& step : steps) {
        chain.AddString(step.piece);
        EXPECT_EQ(chain.GetString(), step.all);
        EXPECT_EQ(chain.Length(), step.length) << "bytes, two for each kanji";
    }
    chain.ClearString();
    EXPECT_EQ(chain.GetString(), L"");
    chain.AddString(L"again");
    EXPECT_EQ(chain.GetString(), L"again");
}

TEST(AppTitle, CarriesTheVersionOfTheResourceAndTheTagInBrackets) {
    EXPECT_EQ(GetAppTitle(L"Kalvory", L""), L"Kalvory (ver 1.1.0)");
    EXPECT_EQ(GetAppTitle(L"時計", L"タグ"), L"時計 (ver 1.1.0) [タグ]");
}

TEST(AppPath, IsTheProgramsFolderWithExactlyOneBackslash) {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::wstring running = module, path = GetAppPath();
    EXPECT_EQ(path, running.substr(0, running.rfind(L'\\') + 1));
    for (const wchar_t* exe : {L"C:\\Tools\\Kalvory.exe", L"D:\\Kalvory.exe", L"C:\\時計\\Kalvory.exe"}) {
        App.SetModulePathForTest(exe);
        EXPECT_EQ(GetAppPath(), std::wstring(exe, std::wcslen(exe) - 11));
    }
    App.SetModulePathForTest(L"");
}

// Shows the box, and from a second thread reads it as the user sees it and presses OK.
TEST(ErrorMessage, IsAStopBoxWithOnlyOkTitledWithTheApplicationTitle) {
    gstrAppTitle = L"Kalvory (ver 1.1.0) [Test]";
    const VBError overflow(vbErr::Overflow, L"オーバーフローしました。");
    for (const VBError* error : {static_cast<const VBError*>(nullptr), &overflow}) {
        e2e::MessageBoxView box;
        std::thread reader([&] {
            box = e2e::WaitForMessageBox(GetCurrentProcessId(), 10000);
            if (box.window) e2e::PressButton(box.window, IDOK);
        });
        ShowErrorMessage(L"予測不能のエラーが発生しました", error);
        reader.join();
        EXPECT_EQ(box.title, gstrAppTitle);
        EXPECT_EQ(box.text, L"予測不能のエラーが発生しました");
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        EXPECT_EQ(box.icon, LoadIconW(nullptr, MAKEINTRESOURCEW(32513)));  // the stop icon
    }
}

// Settings, the version and error codes are written with it.
TEST(DecimalText, MatchesTheStandardLibraryAcrossTheRange) {
    for (long long value : {0LL, 7LL, -500LL, 40000LL, static_cast<long long>(LONG_MIN),
                            static_cast<long long>(LONG_MAX), 4294967295LL, LLONG_MIN, LLONG_MAX})
        EXPECT_EQ(DecimalText(value), std::to_wstring(value));
}

// Eight characters with their closing zero fill the separator buffer; one
// more must be refused, not spill over it, and "." stands in.
TEST(FixedBuffers, ALongLocaleSeparatorOrFaceNameIsRefusedOrCut) {
    wchar_t old[80] = L"";
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old, 80), 0);
    for (const size_t length : {7u, 8u}) {
        const std::wstring separator(length, L'#');
        ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator.c_str()));
        double value = 0;
        EXPECT_EQ(ParseNumericText(L"3" + separator + L"5", value), length == 7) << length;
        EXPECT_TRUE(ParseNumericText(length == 7 ? L"3" + separator + L"5" : L"3.5", value));
        EXPECT_EQ(value, 4.0) << "3.5, rounded to even";
    }
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old);

    FontSpec wanted;
    wanted.Name = std::wstring(40, L'F');
    const GdiObject font = CreateGdiFont(wanted);
    LOGFONTW described{};
    ASSERT_EQ(GetObjectW(font.get(), sizeof(described), &described), static_cast<int>(sizeof(described)));
    EXPECT_EQ(std::wstring(described.lfFaceName), std::wstring(LF_FACESIZE - 1, L'F'));
}
}  // namespace
