// The real program when the world around it misbehaves: its settings file
// vanishes, is read-only or locked, it is killed, or it is started many
// times at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "e2e/fixture.h"
#include "runtime/Handle.h"

using namespace e2e;

namespace {
// Every value differs from its default, and the position is a whole number
// of pixels, so a save writes back exactly these lines.
const std::string kLook =
    "[Window Design]\r\nTop=3000\r\nLeft=4500\r\nFont Size=11\r\nFont Color=2\r\nFont Bold=True\r\n"
    "Translucence=3\r\n[Config]\r\nDisp Clock=True\r\nTime Tone=True\r\n";
// A save would add the missing keys to this one.
const std::string kSparse = "[Window Design]\r\nTop=3000\r\nLeft=4500\r\n[Config]\r\nDisp Clock=True\r\n";
// How long a message box that is not wanted is watched for.
constexpr DWORD kQuietWatch = 3000;
// Twenty Wine processes on a small machine start slowly.
constexpr DWORD kCrowdDeadline = 180000;
constexpr int kCrowd = 20;

HWND BoxOf(const Process& process) { return WaitForWindow(process.Id(), kDialogClass, true, 0); }

// The processes that show a top-level window of the class.
std::set<DWORD> OwnersOfVisible(const wchar_t* className) {
    std::set<DWORD> owners;
    for (HWND window = FindWindowExW(nullptr, nullptr, className, nullptr); window;
         window = FindWindowExW(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        if (IsWindowVisible(window) && GetWindowThreadProcessId(window, &owner)) owners.insert(owner);
    }
    return owners;
}

// Closes the clock as its window's close does and watches it until it has
// ended: a message box on the way would hold the exit up.
::testing::AssertionResult QuitsQuietly(HWND window, const Process& process) {
    if (!PostMessageW(window, WM_CLOSE, 0, 0)) return ::testing::AssertionFailure() << "the window is gone";
    HWND box = nullptr;
    WaitUntil(kExitDeadline, [&] { return (box = BoxOf(process)) != nullptr || !process.Running(); });
    if (box) return ::testing::AssertionFailure() << "a message box at exit: " << TextOf(GetDlgItem(box, 0xFFFF));
    if (process.Running()) return ::testing::AssertionFailure() << "still running";
    if (process.ExitCode() != 0) return ::testing::AssertionFailure() << "exit code " << process.ExitCode();
    return ::testing::AssertionSuccess();
}

TEST_F(RunningClockTest, ASettingsFileDeletedWhileRunningIsWrittenAnewAtExit) {
    const HWND window = Start(kLook, true);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(DeleteFileW(Ini().c_str()));
    EXPECT_TRUE(QuitsQuietly(window, *clock_));
    EXPECT_EQ(IniLines(ReadBytes(Ini())), IniLines(kLook));
}

TEST_F(RunningClockTest, AReadOnlySettingsFileIsReadAndKeptAsItIs) {
    WriteBytes(Ini(), kSparse);
    ASSERT_TRUE(SetFileAttributesW(Ini().c_str(), FILE_ATTRIBUTE_READONLY));
    clock_ = std::make_unique<Process>(exe_, folder_.Path());
    ASSERT_TRUE(clock_->WaitIdle());
    const HWND window = WaitForWindow(clock_->Id(), kClockClass, true);
    ASSERT_NE(window, nullptr);
    const RECT frame = WindowRect(window);
    EXPECT_EQ(frame.left, 300);
    EXPECT_EQ(frame.top, 200);
    EXPECT_EQ(WaitForMessageBox(clock_->Id(), kQuietWatch).window, nullptr);

    EXPECT_TRUE(QuitsQuietly(window, *clock_));
    EXPECT_EQ(ReadBytes(Ini()), kSparse);
    EXPECT_TRUE(GetFileAttributesW(Ini().c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(RunningClockTest, AKilledClockLeavesTheSettingsFileAsItWas) {
    const HWND window = Start(kSparse, true);
    ASSERT_NE(window, nullptr);
    // A change made while running, which only the exit may store.
    POINT digit{};
    ASSERT_TRUE(ScreenPointOnFace(window, digit));
    ASSERT_TRUE(Xdotool("mousemove " + At(digit) + " click --repeat 2 --delay 120 1"));
    ASSERT_TRUE(WaitUntil(kExitDeadline, [&] { return !IsWindowVisible(window); }));

    clock_->Kill();
    ASSERT_EQ(clock_->ExitCode(), 0xDEADu);
    EXPECT_EQ(ReadBytes(Ini()), kSparse);
}

TEST_F(RunningClockTest, ASettingsFileLockedAtExitIsLeftAloneAndTheExitStaysQuiet) {
    const HWND window = Start(kSparse, true);
    ASSERT_NE(window, nullptr);
    {
        const KernelHandle lock(
            CreateFileW(Ini().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(lock);
        EXPECT_TRUE(QuitsQuietly(window, *clock_));
    }
    EXPECT_EQ(ReadBytes(Ini()), kSparse);
}

TEST_F(InstalledKalvoryTest, OfTwentyStartsAtOnceOneClockLivesAndTheOthersAreRefused) {
    WriteBytes(Ini(), kSparse);
    // Made first and let go together, they race for the one place.
    std::vector<std::unique_ptr<Process>> starts;
    for (int i = 0; i < kCrowd; ++i) {
        starts.push_back(std::make_unique<Process>(exe_, folder_.Path(), true));
        ASSERT_TRUE(starts.back()->Started());
    }
    ASSERT_TRUE(std::all_of(starts.begin(), starts.end(), [](const auto& start) { return start->Resume(); }));

    // One pass over the desktop per poll: twenty processes are slow enough
    // to start without a test that keeps asking about each of them.
    std::set<DWORD> refused;
    std::set<DWORD> clocks;
    ASSERT_TRUE(WaitUntil(kCrowdDeadline, [&] {
        refused = OwnersOfVisible(kDialogClass);
        clocks = OwnersOfVisible(kClockClass);
        return std::none_of(starts.begin(), starts.end(), [&](const auto& start) {
            return start->Running() && !refused.count(start->Id()) && !clocks.count(start->Id());
        });
    })) << "not every start came to a clock or a refusal";

    std::vector<const Process*> survivors;
    std::vector<const Process*> refusals;
    std::vector<HWND> boxes;
    for (const auto& start : starts) {
        if (const HWND box = BoxOf(*start)) {
            EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), L"二重起動はできません");
            EXPECT_TRUE(WindowsOf(start->Id(), kClockClass).empty()) << "a refused start loaded the clock";
            refusals.push_back(start.get());
            boxes.push_back(box);
        } else if (clocks.count(start->Id())) {
            survivors.push_back(start.get());
        } else {
            ADD_FAILURE() << "a start ended on its own with exit code " << start->ExitCode();
        }
    }
    ASSERT_EQ(survivors.size(), 1u) << "clocks running side by side";
    ASSERT_EQ(refusals.size(), static_cast<size_t>(kCrowd - 1));
    EXPECT_EQ(ReadBytes(Ini()), kSparse);

    for (const HWND box : boxes) ASSERT_TRUE(PressButton(box, IDOK));
    EXPECT_TRUE(WaitUntil(kCrowdDeadline, [&] {
        return std::none_of(refusals.begin(), refusals.end(), [](const Process* start) { return start->Running(); });
    })) << "a refused start outlived its message";
    for (const Process* start : refusals) EXPECT_EQ(start->ExitCode(), 0u);
    EXPECT_EQ(ReadBytes(Ini()), kSparse);
    const HWND window = WaitForWindow(survivors[0]->Id(), kClockClass, true, 0);
    ASSERT_NE(window, nullptr) << "the clock did not outlive the refusals";
    EXPECT_TRUE(TrayIconShown(TrayOwnerOf(window)));
    EXPECT_TRUE(QuitsQuietly(window, *survivors[0]));
}
}  // namespace
