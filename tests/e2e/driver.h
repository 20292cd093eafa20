#pragma once
// Drives the real Kalvory.exe from outside, the way a user (or Windows) would:
// start it in a folder, find its windows, read and answer its message boxes.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Deadlines: generous, because a cold Wine start of a process takes seconds.
constexpr DWORD kStartDeadline = 20000;
constexpr DWORD kExitDeadline = 10000;

// Polls until ready() holds or the deadline passes; tells whether it held.
template <typename Ready>
bool WaitUntil(DWORD timeoutMs, Ready ready) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (ready()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

// ctest hands over the exe as a host path; Wine sees the host's root as Z:.
std::wstring ToWinePath(const std::wstring& hostPath);
// The exe under test (KALVORY_EXE), as a Windows path; empty if unset.
std::wstring KalvoryExe();
// Another Kalvory holds the single-instance mutex of this session: every
// start made here would be refused as a second instance.
bool KalvoryAlreadyRunning();
// Copies the exe under test into the folder (ending in "\"); the copy's path,
// or empty on failure.
std::wstring InstallKalvory(const std::wstring& folder);

// A started program. Whatever happens to the test, the program does not
// outlive this object: a clock left running would hold the single-instance
// mutex and spoil every later test.
class Process {
public:
    // Started in the given folder as its current directory, like a double-click;
    // a suspended one runs only once resumed, so that many can set off at once.
    Process(const std::wstring& exePath, const std::wstring& folder, bool suspended = false);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return info_.hProcess != nullptr; }
    DWORD Id() const { return info_.dwProcessId; }
    bool Running() const;
    // Until it waits for input with nothing left to do: start-up is over.
    bool WaitIdle(DWORD timeoutMs = kStartDeadline) const;
    bool WaitExit(DWORD timeoutMs = kExitDeadline) const;
    // STILL_ACTIVE while running.
    DWORD ExitCode() const;
    void Kill();
    bool Resume() const;

private:
    PROCESS_INFORMATION info_{};
};

std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);

// Top-level windows of the process, hidden ones included; an empty class
// name matches every class.
std::vector<HWND> WindowsOf(DWORD processId, const std::wstring& className = L"");
// A window of the class, once there is one (and visible, if asked).
HWND WaitForWindow(DWORD processId, const std::wstring& className, bool mustBeVisible,
                   DWORD timeoutMs = kStartDeadline);

constexpr const wchar_t* kClockClass = L"KalvoryForm";
constexpr const wchar_t* kPictureClass = L"KalvoryPictureBox";
// The clock's hidden picture box, which owns its tray icon.
HWND TrayOwnerOf(HWND clock);
// A point on the screen well inside one of the glyphs the window is cut to;
// false when the window has no region.
bool ScreenPointOnFace(HWND window, POINT& point);
constexpr const wchar_t* kDialogClass = L"#32770";

// What a user sees in a message box.
struct MessageBoxView {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    std::vector<int> buttons;  // control ids, in the box's order
    // The icon shown; Wine gives each process its own handle of a system
    // icon, so only a box of this process can be compared with LoadIcon.
    HICON icon = nullptr;
};

MessageBoxView ReadMessageBox(HWND dialog);
// Waits for a visible message box of the process; window stays null if none came.
MessageBoxView WaitForMessageBox(DWORD processId, DWORD timeoutMs = kStartDeadline);
// Clicks the button, as the user would; false if the box has no such button.
bool PressButton(HWND dialog, int buttonId);

// Mouse and keyboard as the X server sees them: runs xdotool with these
// arguments and waits until it has finished. False if it could not run.
bool Xdotool(const std::string& arguments);

}  // namespace e2e
