#pragma once
// What the tests share: the headers, scratch folders, file bytes, and what Windows reports of windows and the tray.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they need; gtest.h brings the strings, streams, vectors and functions, frmMain.h the classes.
#include <psapi.h>
#include <sddl.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <stdexcept>
#include <thread>

#include "classes/clsIniFile.h"
#include "classes/clsStrChain.h"
#include "forms/frmMain.h"
#include "forms/frmTimeTone.h"
#include "modules/modGlobal.h"
#include "modules/modStandard.h"
#include "modules/modStart.h"
#include "modules/modTrans.h"
#include "res/resource.h"
#include "runtime/App.h"
#include "runtime/Clock.h"
#include "runtime/Error.h"
#include "runtime/Screen.h"
#include "runtime/Text.h"

// A fresh folder, its name ending as asked, removed at the end with its files, read-only ones too.
struct TempFolder {
    inline static unsigned made = 0;
    const std::wstring path;
    explicit TempFolder(const wchar_t* tail = L"")
        : path((std::filesystem::temp_directory_path() / L"kalvory-").wstring() +
               std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++made) + tail + L"\\") {
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~TempFolder() {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ignored))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(path, ignored);
    }
    std::wstring File(const std::wstring& name) const { return path + name; }
};

inline std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << bytes;
}
inline bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
// The non-blank lines of a settings file, without line ends.
inline std::vector<std::string> IniLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);)
        if (line.size() > (line.back() == '\r')) lines.push_back(line.substr(0, line.size() - (line.back() == '\r')));
    return lines;
}
inline bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}
inline RECT WindowRect(HWND window) {
    RECT r{};
    return GetWindowRect(window, &r), r;
}
inline SIZE SizeOf(HWND window) {
    const RECT r = WindowRect(window);
    return {r.right - r.left, r.bottom - r.top};
}
inline bool operator==(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }
inline std::pair<int, int> TopLeft(HWND window) { return {WindowRect(window).left, WindowRect(window).top}; }
// The dpi of the run, 96 unless the run at 150 % says so, and a length in twips in pixels at it.
inline const int kDpi = std::getenv("KALVORY_DPI") ? std::atoi(std::getenv("KALVORY_DPI")) : 96;
inline int Px(int twips) { return static_cast<int>(std::lround(twips * kDpi / 1440.0)); }
// Regions this process can still make: unchanged means nothing leaked (Wine's GetGuiResources answers 0).
inline size_t GdiFreeCapacity() {
    std::vector<HRGN> regions;
    for (HRGN region; regions.size() < 200000 && (region = CreateRectRgn(0, 0, 1, 1)) != nullptr;)
        regions.push_back(region);
    std::for_each(regions.begin(), regions.end(), DeleteObject);
    return regions.size();
}
// The commit charge, which Windows also reports as PrivateUsage; Wine fills in only this one.
inline size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters{sizeof(counters)};
    return K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)), counters.PagefileUsage;
}
template <typename Ready>
bool WaitUntil(DWORD timeoutMs, Ready ready) {
    for (const DWORD start = GetTickCount(); !ready(); Sleep(20))
        if (GetTickCount() - start >= timeoutMs) return false;
    return true;
}
inline void PumpMessages(DWORD milliseconds) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start <= milliseconds; Sleep(5))
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
}
// The shell grants a change of nothing only for an icon it holds; deleting it is what a restarted Explorer does.
inline bool NotifyShell(DWORD message, HWND owner) {
    NOTIFYICONDATAW icon{NOTIFYICONDATAW_V1_SIZE, owner, 1};
    return Shell_NotifyIconW(message, &icon) != FALSE;
}
inline bool TrayIconShown(HWND owner) { return NotifyShell(NIM_MODIFY, owner); }
// Stands in for the shell, which holds at most the one icon: keeps each record whole (nothing may be written past the
// size it states) with the settings file as it was then. It refuses the first adds when asked, and may take the next
// ones while it answers no; it refuses an icon it holds already, and grants a change only for an icon it holds.
struct FakeShell {
    inline static std::vector<std::tuple<DWORD, NOTIFYICONDATAA, std::string>> calls;
    inline static int refusals = 0;
    inline static int takenUnanswered = 0;
    inline static bool held = false;
    FakeShell(int refuse, int takeUnanswered) {
        calls.clear();
        refusals = refuse;
        takenUnanswered = takeUnanswered;
        held = false;
        clsTaskTray::SetShellNotifyForTest(Notify);
    }
    ~FakeShell() { clsTaskTray::SetShellNotifyForTest(nullptr); }
    static BOOL WINAPI Notify(DWORD message, PNOTIFYICONDATAA data) {
        calls.emplace_back(message, *data, ReadBytes(gstrIniPath));
        const bool wasHeld = held;
        if (message == NIM_DELETE) held = false;
        if (message != NIM_ADD) return wasHeld;
        if (wasHeld) return FALSE;
        if (refusals > 0) {
            --refusals;
            return FALSE;
        }
        held = true;
        if (takenUnanswered > 0) {
            --takenUnanswered;
            return FALSE;
        }
        return TRUE;
    }
    static std::string Seen() {  // "message/flags " of each call
        std::string seen;
        for (const auto& [m, data, file] : calls) seen += std::to_string(m) + "/" + std::to_string(data.uFlags) + " ";
        return seen;
    }
};
// Points the exe's import of a system function at a stand-in while it lives (the import table is writable data).
struct ImportPatch {
    void** slot;
    void* const saved = *slot;
    ImportPatch(void** at, void* to) : slot(at) { *slot = to; }
    ~ImportPatch() { *slot = saved; }
};
inline HWND TypingWindow() {  // a window the user types in: in the foreground, its edit box focused
    const HWND typing = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500, 200, 100, nullptr,
                                        nullptr, nullptr, nullptr);
    return SetForegroundWindow(typing), SetFocus(typing), typing;
}
// A program that draws its own caption, as a browser does: its client area is its whole window.
inline LRESULT CALLBACK OwnCaptionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCALCSIZE) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}
// A window in front as large as the monitor: a program in full screen, unless its style gives it a frame or its
// class is the desktop's (WorkerW).
inline HWND InFront(DWORD style = WS_POPUP, const wchar_t* kind = L"FullScreen", DWORD exStyle = 0,
                    WNDPROC procedure = DefWindowProcW) {
    const WNDCLASSW windowClass{0, procedure, 0, 0, GetModuleHandleW(nullptr), 0, 0, 0, 0, kind};
    RegisterClassW(&windowClass);  // at the first call; later ones fail, and the class stays
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const HWND front = CreateWindowExW(exStyle, kind, L"", style | WS_VISIBLE, 0, 0, w, h, nullptr, nullptr,
                                       windowClass.hInstance, nullptr);
    SetForegroundWindow(front);
    return front;
}
constexpr const wchar_t* kTimeToneFace = L"ＭＳ 明朝";
// Extent in pixels of a text in a font made as the program makes its own.
inline SIZE TextExtent(const std::string& text, double points, bool bold, const wchar_t* face = L"ＭＳ ゴシック") {
    HDC screen = GetDC(nullptr);
    const auto height = -static_cast<int>(std::lround(points * GetDeviceCaps(screen, LOGPIXELSY) / 72.0));
    HGDIOBJ previous = SelectObject(screen, CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                                                        SHIFTJIS_CHARSET, OUT_TT_PRECIS, 0, DEFAULT_QUALITY, 0, face));
    SIZE extent{};
    GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &extent);
    DeleteObject(SelectObject(screen, previous)), ReleaseDC(nullptr, screen);
    return extent;
}
// A point well inside a glyph, in window coordinates: on the middle row, with its four neighbours inside too.
inline bool PointOnFace(HWND window, POINT& point) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    RECT box{};
    const bool shaped = GetWindowRgn(window, region) != ERROR && GetRgnBox(region, &box) != NULLREGION;
    bool found = false;
    for (int x = box.left + 1, y = (box.top + box.bottom) / 2; shaped && !found && x < box.right - 1; ++x) {
        found = PtInRegion(region, x - 1, y) && PtInRegion(region, x, y) && PtInRegion(region, x + 1, y) &&
                PtInRegion(region, x, y - 1) && PtInRegion(region, x, y + 1);
        point = POINT{x, y};
    }
    return DeleteObject(region), found;
}
// The real clock window, loaded on chosen settings with the clock set here.
inline SYSTEMTIME gFixedTime{};
inline void SetFixedTime(WORD hour, WORD minute, WORD second) { gFixedTime = {2026, 12, 0, 6, hour, minute, second}; }

class ClockTest : public ::testing::Test {
protected:
    TempFolder folder;
    void SetUp() override {
        gstrIniPath = folder.File(L"Kalvory.ini");
        glngTop = 1500, glngLeft = 3000, gintFontSize = 16, gintFontColor = 1, gintTranslucence = 0;
        gblnFontBold = vbTrue, gblnDispClock = vbTrue, gblnTimeTone = vbFalse, gblnHideInFullScreen = vbFalse;
        SetFixedTime(8, 8, 8), SetNowForTest([] { return gFixedTime; });
    }
    void TearDown() override { frmTimeTone.Unload(), frmMain.Unload(), SetNowForTest(nullptr); }
    static HWND Window() { return frmMain.hWnd(); }
};
