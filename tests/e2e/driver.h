#pragma once
// Drives the real Kalvory.exe from outside, as a user (or Windows) would.
#include "unit/support.h"

namespace e2e {

// Generous: a cold start of a Wine process takes seconds.
constexpr DWORD kStartDeadline = 20000, kExitDeadline = 10000;
constexpr const wchar_t *kClockClass = L"KalvoryForm", *kDialogClass = L"#32770";
// ctest hands over the host's paths as Wine sees them, on Z:.
inline std::wstring EnvPath(const wchar_t* name) { return _wgetenv(name) ? _wgetenv(name) : L""; }

// A clock left running would hold the single-instance mutex: none outlives its test.
struct Process {
    Process(const std::wstring& exe, const std::wstring& folder, std::wstring command = L"") {
        STARTUPINFOW startup{sizeof(startup)};
        PROCESS_INFORMATION info{};
        CreateProcessW(exe.c_str(), command.empty() ? nullptr : command.data(), nullptr, nullptr, 0, 0, nullptr,
                       folder.c_str(), &startup, &info);
        handle.reset(info.hProcess), thread.reset(info.hThread), id = info.dwProcessId;
    }
    ~Process() { Kill(); }
    bool Running() const { return WaitForSingleObject(handle.get(), 0) == WAIT_TIMEOUT; }
    // Until it waits for input with nothing left to do: start-up is over.
    bool WaitIdle() const { return WaitForInputIdle(handle.get(), kStartDeadline) == 0; }
    bool WaitExit() const { return WaitForSingleObject(handle.get(), kExitDeadline) == WAIT_OBJECT_0; }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(handle.get(), &code);
        return code;
    }
    // Its mutex and windows go only once it is really gone.
    void Kill() { Running() && TerminateProcess(handle.get(), 0xDEAD) && WaitExit(); }
    KernelHandle handle, thread;
    DWORD id = 0;
};
// Another process answers through its own thread: a hung one must not hang the test.
inline std::wstring TextOf(HWND window) {
    wchar_t text[1024] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}
inline std::vector<HWND> WindowsOf(DWORD processId, const wchar_t* className = nullptr) {
    std::vector<HWND> found;
    DWORD owner = 0;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr)) != nullptr;)
        if (GetWindowThreadProcessId(window, &owner) && owner == processId) found.push_back(window);
    return found;
}
inline HWND WaitForWindow(DWORD processId, const wchar_t* className, bool visible, DWORD timeoutMs = kStartDeadline) {
    HWND found = nullptr;
    WaitUntil(timeoutMs, [&] {
        for (HWND window : WindowsOf(processId, className))
            found = !visible || IsWindowVisible(window) ? window : found;
        return found != nullptr;
    });
    return found;
}
// The clock's hidden picture box, which owns its tray icon.
inline HWND TrayOwnerOf(HWND clock) { return FindWindowExW(clock, nullptr, L"KalvoryPictureBox", nullptr); }
// A screen point well inside a glyph, as xdotool takes it.
inline std::string OnFace(HWND window, int dx = 0, int dy = 0) {
    POINT point{};
    return PointOnFace(window, point) ? std::to_string(WindowRect(window).left + point.x + dx) + " " +
                                            std::to_string(WindowRect(window).top + point.y + dy)
                                      : "nowhere";
}
// What a user sees in a message box. Each process has its own handle of a system icon: compare them in-process.
struct MessageBoxView {
    HWND window = nullptr;
    std::wstring title, text;  // the message sits in a static of id 0xFFFF
    std::vector<int> buttons;
    HICON icon = nullptr;
};
inline MessageBoxView WaitForMessageBox(DWORD processId, DWORD timeoutMs = kStartDeadline) {
    MessageBoxView box{WaitForWindow(processId, kDialogClass, true, timeoutMs)};
    if (!box.window) return box;
    box.title = TextOf(box.window), box.text = TextOf(GetDlgItem(box.window, 0xFFFF));
    for (HWND child = nullptr; (child = FindWindowExW(box.window, child, L"Button", nullptr)) != nullptr;)
        box.buttons.push_back(GetDlgCtrlID(child));
    for (HWND child = nullptr; (child = FindWindowExW(box.window, child, L"Static", nullptr)) != nullptr;)
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            box.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    return box;
}
// Posted: the click ends the box's modal loop, which under Wine takes seconds.
inline bool PressButton(HWND dialog, int buttonId) {
    return PostMessageW(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}
// Mouse and keyboard as the X server sees them. Wine gives no handle on a Unix program: it leaves a file when done.
inline bool Xdotool(const std::string& arguments) {
    static unsigned runs = 0;
    const std::string marker =
        "/tmp/kalvory-xdotool-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs);
    std::string commandLine = "/bin/sh -c \"xdotool " + arguments + "; touch " + marker + "\"";
    STARTUPINFOA startup{sizeof(startup)};
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hProcess), CloseHandle(info.hThread);
    const std::wstring seenHere = L"Z:" + std::wstring(marker.begin(), marker.end());
    return WaitUntil(kStartDeadline, [&] { return PathExists(seenHere); }) && DeleteFileW(seenHere.c_str());
}
// Screen points as xdotool takes them.
inline std::string XPoint(LONG x, LONG y) { return std::to_string(x) + " " + std::to_string(y); }
// The newest icon in Wine's own notification area, where icons go on the right: the clock's, just added.
inline std::string NewestTrayIcon() {
    const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    RECT newest{};
    HWND icon = nullptr;
    while ((icon = FindWindowExW(tray, icon, L"__winex11_tray_icon", nullptr)) != nullptr) {
        const RECT r = WindowRect(icon);
        if (r.left >= newest.left) newest = r;
    }
    return XPoint((newest.left + newest.right) / 2, (newest.top + newest.bottom) / 2);
}
// Press on the face, move there in three steps as a hand does, release.
inline bool DragFace(HWND window, int dx, int dy) {
    const std::string steps[] = {OnFace(window, dx / 10, dy / 10), OnFace(window, dx / 2, dy / 2),
                                 OnFace(window, dx, dy)};
    std::string command = "mousemove " + OnFace(window) + " mousedown 1";
    for (const std::string& step : steps) command += " sleep 0.1 mousemove " + step;
    return Xdotool(command + " sleep 0.1 mouseup 1");
}
// What LoadLibraryW returns when the process itself calls it (kernel32 sits at one address in every process).
inline DWORD LoadLibraryInside(const Process& process, const std::wstring& dll) {
    const SIZE_T bytes = (dll.size() + 1) * sizeof(wchar_t);
    void* name = VirtualAllocEx(process.handle.get(), nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    const auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    DWORD result = 0xFFFFFFFF;
    WriteProcessMemory(process.handle.get(), name, dll.c_str(), bytes, nullptr);
    const KernelHandle thread(CreateRemoteThread(process.handle.get(), nullptr, 0, load, name, 0, nullptr));
    if (thread && WaitForSingleObject(thread.get(), kExitDeadline) == WAIT_OBJECT_0)
        GetExitCodeThread(thread.get(), &result);
    return result;
}
}  // namespace e2e

// A fresh folder with its own copy of the exe under test, started as from a shortcut that names another working folder.
class ExeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(KernelHandle(OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Kalvory.SingleInstance")))
            << "a Kalvory started elsewhere still runs in this Wine session";
        ASSERT_TRUE(CopyFileW(e2e::EnvPath(L"KALVORY_EXE").c_str(), exe_.c_str(), FALSE)) << "KALVORY_EXE";
    }
    std::wstring Ini() const { return folder_.File(L"Kalvory.ini"); }
    std::unique_ptr<e2e::Process> Launch() const { return std::make_unique<e2e::Process>(exe_, elsewhere_.path); }
    // Starts the clock on these settings; its window once it is up (and shown, if asked).
    HWND Start(const std::string& ini, bool shown) {
        WriteBytes(Ini(), ini), clock_ = Launch();
        return clock_->WaitIdle() ? e2e::WaitForWindow(clock_->id, e2e::kClockClass, shown) : nullptr;
    }
    TempFolder folder_{L"-시계"}, elsewhere_;  // a folder whose name the code page cannot spell
    const std::wstring exe_ = folder_.File(L"Kalvory.exe");
    std::unique_ptr<e2e::Process> clock_;
};
