#pragma once
// A fresh folder with its own copy of the exe under test, as a user who has
// just unpacked the program has.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "e2e/driver.h"
#include "unit/support.h"

class InstalledKalvoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(e2e::KalvoryAlreadyRunning())
            << "a Kalvory started elsewhere is still running in this Wine session";
        exe_ = e2e::InstallKalvory(folder_.Path());
        ASSERT_FALSE(exe_.empty()) << "KALVORY_EXE unset or not copied";
    }
    std::wstring Ini() const { return folder_.File(L"Kalvory.ini"); }

    TempFolder folder_;
    std::wstring exe_;
};

// The installed clock, started on chosen settings.
class RunningClockTest : public InstalledKalvoryTest {
protected:
    // Starts the clock on these settings; the clock window once it is up.
    HWND Start(const std::string& ini, bool shown) {
        WriteBytes(Ini(), ini);
        clock_ = std::make_unique<e2e::Process>(exe_, folder_.Path());
        if (!clock_->Started() || !clock_->WaitIdle()) return nullptr;
        return e2e::WaitForWindow(clock_->Id(), e2e::kClockClass, shown);
    }

    // Quits as the window's own close does, and reads the saved settings.
    std::vector<std::string> QuitAndReadSettings(HWND window) {
        EXPECT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
        EXPECT_TRUE(clock_->WaitExit());
        return IniLines(ReadBytes(Ini()));
    }

    std::unique_ptr<e2e::Process> clock_;
};

inline bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A screen point as xdotool takes it, moved by (dx, dy).
inline std::string At(POINT point, int dx = 0, int dy = 0) {
    return std::to_string(point.x + dx) + " " + std::to_string(point.y + dy);
}
