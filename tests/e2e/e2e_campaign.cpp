// A sample of the generated settings files through the real program: it
// must start on what the file says and save back what it loaded, or stop
// at once on a number out of range and leave the file alone.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "e2e/fixture.h"
#include "unit/ini_campaign.h"

using namespace campaign;
using namespace e2e;

namespace {
constexpr uint32_t kSeed = 20260706;

// A file the clock can start on and save unchanged: its menu indexes name
// items that exist, and its position is on whole pixels (15 twips each) on
// the screen, where the window really goes.
bool Startable(const Expectation& e) {
    const Values& v = e.values;
    auto onScreen = [](Long twips) { return twips >= 0 && twips <= 12000 && twips % 15 == 0; };
    return e.overflowAt < 0 && onScreen(v[0]) && onScreen(v[1]) && v[2] >= 1 && v[2] <= 16 && v[3] >= 1 && v[3] <= 6 &&
           v[5] >= 0 && v[5] <= 10;
}

struct Sample {
    int number = -1;
    GeneratedFile file;
    Expectation expected;
    std::vector<std::string> entries;  // besides the settings, before the run
};

// The first generated file of the kind whose load overflows, or that the
// clock can start on.
Sample FirstOf(Kind kind, bool overflow) {
    TempFolder scratch;
    for (int number = 0; number < 5000; ++number) {
        Sample s{number, Generate(kSeed, number), {}, {}};
        if (s.file.kind != kind) continue;
        const std::wstring path = scratch.File(std::to_wstring(number) + L".ini");
        WriteBytes(path, s.file.bytes);
        s.expected = Expect(path);
        if (overflow ? s.expected.overflowAt >= 0 : Startable(s.expected)) {
            s.entries = OtherEntries(path);
            std::printf("e2e campaign: %s, file %d\n", KindName(kind), number);
            return s;
        }
    }
    return {};
}

std::string Name(const Sample& s) {
    return std::string(KindName(s.file.kind)) + ", seed " + std::to_string(kSeed) + " file " +
           std::to_string(s.number) + ": " + Describe(s.file.bytes, 300);
}

using CampaignTest = RunningClockTest;

TEST_F(CampaignTest, TheClockSavesBackWhatItLoadedAndLeavesTheRestAlone) {
    for (Kind kind :
         {Kind::Canonical, Kind::Noisy, Kind::ShiftJis, Kind::LineEnds, Kind::Duplicates, Kind::Nul, Kind::Numbers}) {
        const Sample s = FirstOf(kind, false);
        ASSERT_GE(s.number, 0) << KindName(kind);
        SCOPED_TRACE(Name(s));
        const HWND window = Start(s.file.bytes, s.expected.values[6] != 0);
        ASSERT_NE(window, nullptr);
        QuitAndReadSettings(window);
        EXPECT_EQ(clock_->ExitCode(), 0u);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(ProfileText(Ini(), kSettings[i].section, kSettings[i].key),
                      TextOf(kSettings[i], s.expected.values[i]))
                << kSettings[i].key;
        }
        EXPECT_EQ(Difference(s.entries, OtherEntries(Ini())), "");
        const std::string lines =
            s.file.platformLayout ? Difference(OtherLines(s.file.bytes), OtherLines(ReadBytes(Ini()))) : "";
        EXPECT_EQ(lines, "");
    }
}

TEST_F(CampaignTest, ANumberOutOfRangeStopsTheStartAndLeavesTheFileAsItWas) {
    for (Kind kind : {Kind::Numbers, Kind::ShiftJis, Kind::LineEnds}) {
        const Sample s = FirstOf(kind, true);
        ASSERT_GE(s.number, 0) << KindName(kind);
        SCOPED_TRACE(Name(s));
        WriteBytes(Ini(), s.file.bytes);
        Process clock(exe_, folder_.Path());
        ASSERT_TRUE(clock.Started());
        const MessageBoxView box = WaitForMessageBox(clock.Id());
        ASSERT_NE(box.window, nullptr) << "no message box";
        EXPECT_EQ(box.text, L"予測不能のエラーが発生しました");
        ASSERT_TRUE(PressButton(box.window, IDOK));
        ASSERT_TRUE(clock.WaitExit());
        EXPECT_EQ(clock.ExitCode(), 1u);
        EXPECT_EQ(ReadBytes(Ini()), s.file.bytes);
    }
}
}  // namespace
