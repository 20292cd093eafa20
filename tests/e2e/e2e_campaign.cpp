// A sample of the generated settings files through the real program: it
// must start on what the file says and save back what it loaded, or stop
// at once on a number out of range and leave the file alone.
#include <gtest/gtest.h>

#include <string>

#include "e2e/fixture.h"
#include "unit/ini_campaign.h"

using namespace campaign;
using namespace e2e;

namespace {
constexpr uint32_t kSeed = 20260706;

struct Sample {
    int number = -1;
    GeneratedFile file;
    Expectation expected;
    std::vector<std::string> entries;  // besides the settings, before the run
};

// The first generated file of the kind whose load overflows, or that the
// clock can start on and save unchanged: its menu indexes name items that
// exist, and its position is on whole pixels (15 twips each) on the screen,
// where the window really goes.
Sample FirstOf(Kind kind, bool overflow) {
    TempFolder scratch;
    const std::wstring path = scratch.File(L"Kalvory.ini");
    for (Sample s; ++s.number < 5000;) {
        if ((s.file = Generate(kSeed, s.number)).kind != kind) continue;
        WriteBytes(path, s.file.bytes);
        const Values& v = (s.expected = Expect(path)).values;
        bool startable = s.expected.overflowAt < 0 && v[0] % 15 == 0 && v[1] % 15 == 0;
        for (int i = 0; i < 8; ++i) startable = startable && v[i] >= kSettings[i].low && v[i] <= kSettings[i].high;
        if (overflow ? s.expected.overflowAt < 0 : !startable) continue;
        s.entries = OtherEntries(path);
        return s;
    }
    return {};
}

using CampaignTest = RunningClockTest;

TEST_F(CampaignTest, TheClockSavesBackWhatItLoadedAndLeavesTheRestAlone) {
    for (Kind kind :
         {Kind::Canonical, Kind::Noisy, Kind::ShiftJis, Kind::LineEnds, Kind::Duplicates, Kind::Nul, Kind::Numbers}) {
        const auto [number, file, expected, entries] = FirstOf(kind, false);
        ASSERT_GE(number, 0) << KindName(kind);
        SCOPED_TRACE(std::string(KindName(kind)) + " file " + std::to_string(number) + ": " + Describe(file.bytes));
        const HWND window = Start(file.bytes, expected.values[6] != 0);
        ASSERT_NE(window, nullptr);
        QuitAndReadSettings(window);
        EXPECT_EQ(clock_->ExitCode(), 0u);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(ProfileText(Ini(), kSettings[i].section, kSettings[i].key),
                      TextOf(kSettings[i], expected.values[i]));
        EXPECT_EQ(Difference(entries, OtherEntries(Ini())), "");
        const std::string saved = ReadBytes(Ini());
        EXPECT_EQ(file.platformLayout ? Difference(OtherLines(file.bytes), OtherLines(saved)) : "", "");
    }
}

TEST_F(CampaignTest, ANumberOutOfRangeStopsTheStartAndLeavesTheFileAsItWas) {
    for (Kind kind : {Kind::Numbers, Kind::ShiftJis, Kind::LineEnds}) {
        const auto [number, file, expected, entries] = FirstOf(kind, true);
        ASSERT_GE(number, 0) << KindName(kind);
        SCOPED_TRACE(std::string(KindName(kind)) + " file " + std::to_string(number) + ": " + Describe(file.bytes));
        WriteBytes(Ini(), file.bytes);
        Process clock(exe_, folder_.Path());
        ASSERT_TRUE(clock.Started());
        const MessageBoxView box = WaitForMessageBox(clock.Id());
        ASSERT_NE(box.window, nullptr) << "no message box";
        EXPECT_EQ(box.text, L"予測不能のエラーが発生しました");
        ASSERT_TRUE(PressButton(box.window, IDOK));
        ASSERT_TRUE(clock.WaitExit());
        EXPECT_EQ(clock.ExitCode(), 1u);
        EXPECT_EQ(ReadBytes(Ini()), file.bytes);
    }
}
}  // namespace
