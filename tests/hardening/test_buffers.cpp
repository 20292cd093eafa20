// Fixed buffers that the system fills, driven with texts longer than they are.
#include <gtest/gtest.h>

#include <string>

#include "classes/clsIniFile.h"
#include "classes/clsMouseControl.h"
#include "e2e/driver.h"
#include "runtime/Font.h"
#include "runtime/Text.h"
#include "unit/clock_fixture.h"

namespace {
// Sets a separator of the user's locale and puts the old one back at the end.
class LocaleOverride {
public:
    LocaleOverride(LCTYPE type, const std::wstring& value) : type_(type) {
        std::wstring old(80, L'\0');
        const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, old.data(), static_cast<int>(old.size()));
        if (length <= 0) return;
        old.resize(static_cast<size_t>(length - 1));
        old_ = old;
        set_ = SetLocaleInfoW(LOCALE_USER_DEFAULT, type, value.c_str()) != FALSE;
    }
    ~LocaleOverride() {
        if (set_) SetLocaleInfoW(LOCALE_USER_DEFAULT, type_, old_.c_str());
    }
    LocaleOverride(const LocaleOverride&) = delete;
    LocaleOverride& operator=(const LocaleOverride&) = delete;
    bool Set() const { return set_; }

private:
    LCTYPE type_;
    std::wstring old_;
    bool set_ = false;
};

// Eight characters with their closing zero fill the separator buffer; one
// more must not spill over it, which a wrong length (bytes for characters)
// would let happen, and is ignored instead.
TEST(LocaleBufferTest, ASeparatorLongerThanTheBufferIsIgnored) {
    const std::wstring fits(7, L'#');
    const std::wstring tooLong(8, L'#');
    double value = 0;
    {
        LocaleOverride decimal(LOCALE_SDECIMAL, fits);
        ASSERT_TRUE(decimal.Set());
        EXPECT_TRUE(ParseNumericText(L"3" + fits + L"5", value));
        EXPECT_EQ(value, 4.0);  // 3.5, rounded to even
    }
    {
        LocaleOverride decimal(LOCALE_SDECIMAL, tooLong);
        ASSERT_TRUE(decimal.Set());
        std::wstring separator;
        EXPECT_FALSE(UserLocaleSeparator(LOCALE_SDECIMAL, separator));
        EXPECT_FALSE(ParseNumericText(L"3" + tooLong + L"5", value));
        EXPECT_TRUE(ParseNumericText(L"3.5", value)) << "the usual separator stands in";
        EXPECT_EQ(value, 4.0);
    }
}

// 200 kanji are 400 bytes in Shift-JIS, past the 256-byte buffer of the
// A call: the name comes back cut after a whole character.
TEST(ClassNameBufferTest, ALongJapaneseClassNameIsCutAtACharacter) {
    const std::wstring name(200, L'時');
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name.c_str();
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, name.c_str(), L"", WS_POPUP | WS_VISIBLE, 300, 300,
                                  400, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    SetCursorPos(500, 350);
    clsMouseControl mouse;
    EXPECT_TRUE(e2e::WaitUntil(5000, [&] {
        PumpMessages(0);
        return mouse.HwndUnderMouse() == window;
    }));
    EXPECT_EQ(mouse.ClassUnderMouse(), std::wstring(127, L'時'));
    DestroyWindow(window);
    UnregisterClassW(name.c_str(), windowClass.hInstance);
}

TEST(FaceNameBufferTest, ALongFaceNameIsCutToTheFontRecord) {
    FontSpec wanted;
    wanted.Name = std::wstring(40, L'F');
    GdiObject font = CreateGdiFont(wanted);
    LOGFONTW described{};
    ASSERT_EQ(GetObjectW(font.get(), static_cast<int>(sizeof(described)), &described),
              static_cast<int>(sizeof(described)));
    EXPECT_EQ(std::wstring(described.lfFaceName), std::wstring(LF_FACESIZE - 1, L'F'));
}

using MenuCaptionBufferTest = ClockWindowTest;

TEST_F(MenuCaptionBufferTest, ACaptionLongerThanTheBufferIsCut) {
    frmMain.Load();
    const MenuItem item = frmMain.mnuFontSizeValue(1);
    ASSERT_TRUE(ModifyMenuW(frmMain.Menu(), item.Command(), MF_BYCOMMAND | MF_STRING, item.Command(),
                            std::wstring(300, L'8').c_str()));
    EXPECT_EQ(item.Caption(), std::wstring(255, L'8'));
}
}  // namespace
