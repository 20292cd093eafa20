#pragma once
// Drives the real Kalvory.exe from outside, as a user (or Windows) would.
#include "unit/support.h"

namespace e2e {

// Generous: a cold start of a Wine process takes seconds.
constexpr DWORD kStartDeadline = 20000;
constexpr DWORD kExitDeadline = 10000;

// A clock left running would hold the single-instance mutex: none outlives its test.
struct Process {
    KernelHandle handle;
    DWORD id = 0;
    Process(const std::wstring& exe, const std::wstring& folder) {
        STARTUPINFOW startup{sizeof(startup)};
        PROCESS_INFORMATION info{};
        CreateProcessW(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info);
        CloseHandle(info.hThread);
        handle.reset(info.hProcess);
        id = info.dwProcessId;
    }
    ~Process() {
        // Its mutex and windows go only once it is really gone.
        TerminateProcess(handle.get(), 0xDEAD);
        WaitExit();
    }
    bool WaitExit() const { return WaitForSingleObject(handle.get(), kExitDeadline) == WAIT_OBJECT_0; }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(handle.get(), &code);
        return code;
    }
};

// A visible window of this class (any, if none is named) that the process has, or nullptr after the deadline.
inline HWND WaitForWindow(DWORD processId, const wchar_t* className, bool visible = true) {
    const auto wanted = [processId, visible](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner == processId && (!visible || IsWindowVisible(window));
    };
    HWND found = nullptr;
    WaitUntil(kStartDeadline, [&] {
        found = FindWindowExW(nullptr, nullptr, className, nullptr);
        while (found && !wanted(found)) found = FindWindowExW(nullptr, found, className, nullptr);
        return found != nullptr;
    });
    return found;
}
// The clock's hidden picture box owns its tray icon; the shell grants a change of nothing only for an icon it holds.
inline HWND TrayOwnerOf(HWND clock) { return FindWindowExW(clock, nullptr, L"KalvoryPictureBox", nullptr); }
inline bool TrayIconShown(HWND owner) {
    NOTIFYICONDATAW icon{NOTIFYICONDATAW_V1_SIZE, owner, 1};
    return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE;
}

// Another process answers through its own thread: a hung one must not hang the test.
inline std::wstring TextOf(HWND window) {
    wchar_t text[1024] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}
// The program's message box as the user sees it, "title|text", answered with its one button.
inline std::wstring AnswerMessageBox(DWORD processId) {
    const HWND box = WaitForWindow(processId, L"#32770");
    const std::wstring seen = TextOf(box) + L"|" + TextOf(GetDlgItem(box, 0xFFFF));
    // Posted: the click ends the box's modal loop, which under Wine takes seconds.
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    return seen;
}

// Mouse and keyboard as the X server sees them. Wine gives no handle on a Unix program: it leaves a file when done.
inline bool Xdotool(const std::string& arguments) {
    static unsigned runs = 0;
    ++runs;
    const std::string marker =
        "/tmp/kalvory-xdotool-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(runs);
    std::string command = "/bin/sh -c \"xdotool " + arguments + "; touch " + marker + "\"";
    STARTUPINFOA startup{sizeof(startup)};
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    const std::wstring seenHere = L"Z:" + std::wstring(marker.begin(), marker.end());
    return WaitUntil(kStartDeadline, [&] { return DeleteFileW(seenHere.c_str()); });
}
inline std::string ScreenPoint(LONG x, LONG y) { return " " + std::to_string(x) + " " + std::to_string(y); }
// A point well inside a glyph, this far from it.
inline std::string OnFace(HWND window, int dx = 0, int dy = 0) {
    const POINT point = PointOnFace(window);
    return ScreenPoint(WindowRect(window).left + point.x + dx, WindowRect(window).top + point.y + dy);
}
// Press a button on the face, move there in three steps as a hand does, release.
inline bool DragFace(HWND window, int button, int dx, int dy) {
    const std::string press = " " + std::to_string(button);
    std::string command = "mousemove" + OnFace(window) + " mousedown" + press;
    for (const int part : {10, 2, 1}) command += " sleep 0.1 mousemove" + OnFace(window, dx / part, dy / part);
    return Xdotool(command + " sleep 0.1 mouseup" + press);
}
// The newest icon in Wine's own notification area, where icons go on the right: the clock's, just added.
inline std::string NewestTrayIcon() {
    const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    RECT newest{};
    HWND icon = nullptr;
    while ((icon = FindWindowExW(tray, icon, L"__winex11_tray_icon", nullptr)) != nullptr) {
        if (WindowRect(icon).left >= newest.left) newest = WindowRect(icon);
    }
    return ScreenPoint((newest.left + newest.right) / 2, (newest.top + newest.bottom) / 2);
}
}  // namespace e2e

using namespace e2e;

// A fresh folder with its own copy of the exe under test, started as from a shortcut that names another working
// folder; the folder's name is one the code page cannot spell.
class ExeTest : public ::testing::Test {
protected:
    TempFolder folder_{L"-시계"};
    TempFolder elsewhere_;
    std::wstring exe_ = folder_.File(L"Kalvory.exe");
    std::wstring ini_ = folder_.File(L"Kalvory.ini");
    std::unique_ptr<Process> clock_;
    void SetUp() override {
        ASSERT_FALSE(KernelHandle(OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Kalvory.SingleInstance")))
            << "a Kalvory started elsewhere still runs in this Wine session";
        // ctest hands over the host's paths as Wine sees them, on Z:.
        ASSERT_TRUE(CopyFileW(_wgetenv(L"KALVORY_EXE"), exe_.c_str(), FALSE)) << "KALVORY_EXE";
    }
    // Starts this exe on these settings (on no file at all, if none); its window once its icon is there (and it is
    // shown, if asked).
    HWND Start(const std::string& settings, bool shown, const std::wstring& exe) {
        if (!settings.empty()) WriteBytes(ini_, settings);
        clock_ = std::make_unique<Process>(exe, elsewhere_.path);
        const HWND window = WaitForWindow(clock_->id, L"KalvoryForm", shown);
        WaitUntil(kStartDeadline, [window] { return TrayIconShown(TrayOwnerOf(window)); });
        return window;
    }
};
