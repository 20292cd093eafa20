#pragma once
// What the in-process tests share: scratch folders and file bytes, what Windows reports of windows, the shell's
// stand-in, and the real clock window loaded on chosen settings with the clock set by the test.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>

#include "forms/frmMain.h"
#include "forms/frmTimeTone.h"
#include "modules/modGlobal.h"
#include "modules/modStandard.h"
#include "modules/modStart.h"
#include "res/resource.h"
#include "runtime/App.h"
#include "runtime/Clock.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

// A fresh folder whose name ends as asked, removed at the end with its files.
struct TempFolder {
    std::wstring path;
    explicit TempFolder(const std::wstring& tail = L"") {
        static int made = 0;
        ++made;
        const std::wstring name = L"kalvory-" + std::to_wstring(GetCurrentProcessId() * 1000 + made) + tail;
        path = (std::filesystem::temp_directory_path() / name).wstring() + L"\\";
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::wstring File(const std::wstring& name) const { return path + name; }
};

inline std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream(path.c_str(), std::ios::binary) << bytes;
}
// The lines of a settings file that say something.
inline std::vector<std::string> IniLines(const std::string& bytes) {
    const std::regex line("[^\r\n]+");
    return {std::sregex_token_iterator(bytes.begin(), bytes.end(), line), {}};
}

inline RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}
inline std::pair<int, int> TopLeft(HWND window) { return {WindowRect(window).left, WindowRect(window).top}; }
inline std::pair<int, int> SizeOf(HWND window) {
    const RECT r = WindowRect(window);
    return {r.right - r.left, r.bottom - r.top};
}
// The dpi of the run, 96 unless the run at 150 % says so, and a length in twips in pixels at it.
inline const int kDpi = std::getenv("KALVORY_DPI") ? std::atoi(std::getenv("KALVORY_DPI")) : 96;
inline int Px(int twips) { return static_cast<int>(std::lround(twips * kDpi / 1440.0)); }

template <typename Ready>
bool WaitUntil(DWORD timeoutMs, Ready ready) {
    const DWORD start = GetTickCount();
    while (!ready()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
    return true;
}
inline void PumpMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    MSG message;
    do {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}
// Regions this process can still make: unchanged means nothing leaked (Wine's GetGuiResources answers 0).
inline size_t GdiFreeCapacity() {
    std::vector<HRGN> regions;
    HRGN region = CreateRectRgn(0, 0, 1, 1);
    while (region && regions.size() < 200000) {
        regions.push_back(region);
        region = CreateRectRgn(0, 0, 1, 1);
    }
    std::for_each(regions.begin(), regions.end(), DeleteObject);
    return regions.size();
}

// Stands in for the shell, which holds at most the one icon, and keeps each call with the settings file as it was
// then. It refuses the first adds when asked, may take the next one while it answers no, refuses to add an icon it
// holds, and grants a change only for one it holds.
struct FakeShell {
    struct Call {
        DWORD message;
        NOTIFYICONDATAA record;  // the whole record: nothing may be written past the size it states
        std::string settings;
    };
    inline static std::vector<Call> calls;
    inline static int refusals = 0;
    inline static int takenUnanswered = 0;
    inline static bool held = false;
    explicit FakeShell(int refuse) {
        calls.clear();
        refusals = refuse;
        takenUnanswered = 0;
        held = false;
        clsTaskTray::SetShellNotifyForTest(Notify);
    }
    ~FakeShell() { clsTaskTray::SetShellNotifyForTest(nullptr); }
    static BOOL WINAPI Notify(DWORD message, PNOTIFYICONDATAA data) {
        calls.push_back({message, *data, ReadBytes(gstrIniPath)});
        if (message != NIM_ADD) {
            const bool wasHeld = held;
            held = held && message != NIM_DELETE;
            return wasHeld;
        }
        if (held) return FALSE;
        if (refusals > 0) {
            --refusals;
            return FALSE;
        }
        held = true;
        --takenUnanswered;
        return takenUnanswered < 0;
    }
    // "message/flags " of each call.
    static std::string Seen() {
        std::string seen;
        for (const Call& call : calls)
            seen += std::to_string(call.message) + "/" + std::to_string(call.record.uFlags) + " ";
        return seen;
    }
};

// Points the exe's import of a system function at a stand-in while it lives (the import table is writable data).
struct ImportPatch {
    void** slot;
    void* saved;
    ImportPatch(void** at, void* to) : slot(at), saved(*at) { *slot = to; }
    ~ImportPatch() { *slot = saved; }
};

// A window the user types in: in the foreground, its edit box focused.
inline HWND TypingWindow() {
    const HWND typing = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500, 200, 100, nullptr,
                                        nullptr, nullptr, nullptr);
    SetForegroundWindow(typing);
    SetFocus(typing);
    return typing;
}
// cppcheck-suppress constParameter ; a window handle is a value, not a pointer to data
inline bool TypingGoesOn(HWND typing) { return GetForegroundWindow() == typing && GetFocus() == typing; }

// A point well inside a glyph, in window coordinates: on the middle row, with the pixels either side of it inside
// too.
inline POINT PointOnFace(HWND window) {
    const HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(window, region);
    RECT box{};
    GetRgnBox(region, &box);
    POINT point{box.left, (box.top + box.bottom) / 2};
    while (point.x < box.right &&
           !(PtInRegion(region, point.x - 1, point.y) && PtInRegion(region, point.x + 1, point.y)))
        ++point.x;
    DeleteObject(region);
    return point;
}

// The real clock window, loaded on chosen settings with the clock set here.
inline SYSTEMTIME gFixedTime{};
inline void SetFixedTime(WORD hour, WORD minute, WORD second) { gFixedTime = {2026, 12, 0, 6, hour, minute, second}; }
inline SYSTEMTIME FixedTime() { return gFixedTime; }

class ClockTest : public ::testing::Test {
protected:
    TempFolder folder;
    void SetUp() override {
        gstrIniPath = folder.File(L"Kalvory.ini");
        glngTop = 1500;
        glngLeft = 3000;
        gintFontSize = 16;
        gintFontColor = 1;
        gintTranslucence = 0;
        gblnFontBold = vbTrue;
        gblnDispClock = vbTrue;
        gblnTimeTone = vbFalse;
        gblnHideInFullScreen = vbFalse;
        gblnFirstRun = vbFalse;
        SetFixedTime(8, 8, 8);
        SetNowForTest(FixedTime);
    }
    void TearDown() override {
        frmTimeTone.Unload();
        frmMain.Unload();
        SetNowForTest(nullptr);
    }
    static HWND Window() { return frmMain.hWnd(); }
};
