// The exe of the release zip, started from the folder it was unpacked into:
// it comes up in the notification area, quits when asked, and keeps its
// settings beside itself, whatever folder it was started in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/driver.h"
#include "unit/support.h"

using namespace e2e;

namespace {
// Where the package test unpacked the zip, ending in "\"; empty if unset.
std::wstring UnpackedFolder() {
    wchar_t value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"KALVORY_UNPACKED", value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return L"";
    return ToWinePath(value) + L"\\";
}

TEST(Package, TheUnpackedExeRunsQuitsAndSavesBesideItself) {
    ASSERT_FALSE(KalvoryAlreadyRunning()) << "a Kalvory started elsewhere is still running in this Wine session";
    const std::wstring folder = UnpackedFolder();
    ASSERT_FALSE(folder.empty()) << "KALVORY_UNPACKED unset";
    const std::wstring ini = folder + L"Kalvory.ini";
    ASSERT_FALSE(PathExists(ini)) << "not a fresh unpack";
    // Started from a shortcut that names another working folder.
    const TempFolder elsewhere;
    Process clock(folder + L"Kalvory.exe", elsewhere.Path());
    ASSERT_TRUE(clock.Started());
    const HWND window = WaitForWindow(clock.Id(), kClockClass, false);
    ASSERT_NE(window, nullptr);
    // The window can be found before the form has made its tray child.
    HWND trayOwner = nullptr;
    ASSERT_TRUE(WaitUntil(kStartDeadline, [&] {
        trayOwner = TrayOwnerOf(window);
        return trayOwner && TrayIconShown(trayOwner);
    }));

    ASSERT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
    ASSERT_TRUE(clock.WaitExit());
    EXPECT_EQ(clock.ExitCode(), 0u);
    EXPECT_FALSE(TrayIconShown(trayOwner));
    const std::vector<std::string> saved = IniLines(ReadBytes(ini));
    ASSERT_FALSE(saved.empty()) << "nothing saved beside the exe";
    EXPECT_EQ(saved.front(), "[Window Design]");
    EXPECT_FALSE(PathExists(elsewhere.File(L"Kalvory.ini")));
}
}  // namespace
