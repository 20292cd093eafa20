#include "e2e/driver.h"

#include <algorithm>

#include "unit/support.h"

namespace e2e {

std::wstring ToWinePath(const std::wstring& hostPath) {
    if (hostPath.size() >= 2 && hostPath[1] == L':') return hostPath;
    std::wstring path = L"Z:" + hostPath;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring KalvoryExe() {
    wchar_t value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"KALVORY_EXE", value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return L"";
    return ToWinePath(value);
}

bool KalvoryAlreadyRunning() {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Kalvory.SingleInstance");
    if (!mutex) return false;
    CloseHandle(mutex);
    return true;
}

std::wstring InstallKalvory(const std::wstring& folder) {
    const std::wstring source = KalvoryExe();
    const std::wstring target = folder + L"Kalvory.exe";
    if (source.empty() || !CopyFileW(source.c_str(), target.c_str(), FALSE)) return L"";
    return target;
}

// ---- Process ----

Process::Process(const std::wstring& exePath, const std::wstring& folder, bool suspended) {
    std::wstring commandLine = L"\"" + exePath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, suspended ? CREATE_SUSPENDED : 0,
                        nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &info_))
        info_ = PROCESS_INFORMATION{};
}

Process::~Process() {
    Kill();
    if (info_.hThread) CloseHandle(info_.hThread);
    if (info_.hProcess) CloseHandle(info_.hProcess);
}

bool Process::Running() const { return Started() && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

bool Process::WaitIdle(DWORD timeoutMs) const { return Started() && WaitForInputIdle(info_.hProcess, timeoutMs) == 0; }

bool Process::WaitExit(DWORD timeoutMs) const {
    return Started() && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (Started()) GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

bool Process::Resume() const { return Started() && ResumeThread(info_.hThread) != static_cast<DWORD>(-1); }

void Process::Kill() {
    if (!Running()) return;
    TerminateProcess(info_.hProcess, 0xDEAD);
    // Its mutex and windows go only when it is really gone.
    WaitExit(kExitDeadline);
}

// ---- Windows ----

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring TextOf(HWND window) {
    // A window of another process answers WM_GETTEXT through its own thread;
    // a hung one must not hang the test.
    wchar_t text[1024] = L"";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied))
        return L"";
    return std::wstring(text, std::min<size_t>(copied, 1023));
}

namespace {
struct WindowQuery {
    DWORD processId;
    const std::wstring* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam) {
    auto& query = *reinterpret_cast<WindowQuery*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == query.processId && (query.className->empty() || ClassOf(window) == *query.className))
        query.found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> WindowsOf(DWORD processId, const std::wstring& className) {
    WindowQuery query{processId, &className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitForWindow(DWORD processId, const std::wstring& className, bool mustBeVisible, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(timeoutMs, [&] {
        for (HWND window : WindowsOf(processId, className))
            if (!mustBeVisible || IsWindowVisible(window)) found = window;
        return found != nullptr;
    });
    return found;
}

MessageBoxView ReadMessageBox(HWND dialog) {
    MessageBoxView view;
    view.window = dialog;
    view.title = TextOf(dialog);
    // The message itself sits in a static whose id is 0xFFFF, on Windows as in Wine.
    if (HWND message = GetDlgItem(dialog, 0xFFFF)) view.text = TextOf(message);
    std::vector<HWND> children;
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        const std::wstring kind = ClassOf(child);
        if (_wcsicmp(kind.c_str(), L"Button") == 0) {
            view.buttons.push_back(GetDlgCtrlID(child));
        } else if (_wcsicmp(kind.c_str(), L"Static") == 0 &&
                   (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            view.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        }
    }
    return view;
}

MessageBoxView WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
    const HWND dialog = WaitForWindow(processId, kDialogClass, true, timeoutMs);
    return dialog ? ReadMessageBox(dialog) : MessageBoxView{};
}

bool PressButton(HWND dialog, int buttonId) {
    HWND button = GetDlgItem(dialog, buttonId);
    if (!button) return false;
    // Posted, not sent: the click ends the box's modal loop, and under Wine
    // that takes about two seconds, which the caller waits for as it likes.
    return PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

}  // namespace e2e

namespace e2e {

HWND TrayOwnerOf(HWND clock) { return FindWindowExW(clock, nullptr, kPictureClass, nullptr); }

bool ScreenPointOnFace(HWND window, POINT& point) {
    if (!PointOnFace(window, point)) return false;
    RECT frame{};
    GetWindowRect(window, &frame);
    point.x += frame.left;
    point.y += frame.top;
    return true;
}

bool Xdotool(const std::string& arguments) {
    // Wine starts Unix programs but gives no handle to wait on: the command
    // leaves a file behind when it is done.
    static unsigned runs = 0;
    const std::string marker =
        "/tmp/kalvory-xdotool-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs);
    const std::wstring markerSeenHere = ToWinePath(std::wstring(marker.begin(), marker.end()));
    std::string commandLine = "/bin/sh -c \"xdotool " + arguments + "; touch " + marker + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    if (info.hProcess) CloseHandle(info.hProcess);
    if (info.hThread) CloseHandle(info.hThread);
    const bool done = WaitUntil(kStartDeadline,
                                [&] { return GetFileAttributesW(markerSeenHere.c_str()) != INVALID_FILE_ATTRIBUTES; });
    DeleteFileW(markerSeenHere.c_str());
    return done;
}

}  // namespace e2e
