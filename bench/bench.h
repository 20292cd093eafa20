#pragma once
// What the benchmark programs share: a clock fine enough for one rebuild,
// medians, and the results file that scripts/bench.sh turns into a table.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline double Seconds() {
    static const double frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

// Repeated runs vary with whatever else the machine does; the median of
// them does not follow one slow run the way a mean would.
inline double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// One line of space-separated fields per figure; the script reads them by
// their first word.
class Results {
public:
    explicit Results(const wchar_t* path) : file_(_wfopen(path, L"w")) {}
    ~Results() {
        if (file_) fclose(file_);
    }
    Results(const Results&) = delete;
    Results& operator=(const Results&) = delete;
    bool Ok() const { return file_ != nullptr; }
    void Line(const std::string& line) {
        if (!file_) return;
        fprintf(file_, "%s\n", line.c_str());
        fflush(file_);
    }

private:
    FILE* file_;
};

inline std::string Fixed(double value, int decimals = 1) {
    char text[64];
    snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

// Hands this thread's waiting messages to their windows, outside any timed
// stretch: the display's events pile up while a loop never asks for them.
inline void PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Whether a program in full screen is in front on the monitor of this
// window, asked of Windows bare: the foreground window and both monitors,
// its frame, kind and mark, the client area against the monitor's edges,
// and the shell's report.
inline bool FullScreenInFront(HWND window) {
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    const HWND front = GetForegroundWindow();
    if (!front || front == window || !IsWindowVisible(front) ||
        MonitorFromWindow(front, MONITOR_DEFAULTTONULL) != monitor)
        return false;
    const bool framed = GetWindowLongW(front, GWL_STYLE) & WS_DLGFRAME;
    const bool tool = GetWindowLongW(front, GWL_EXSTYLE) & WS_EX_TOOLWINDOW;
    const bool marked = GetPropW(front, L"NonRudeHWND") != nullptr;
    MONITORINFO screen{};
    screen.cbSize = sizeof(screen);
    RECT area{};
    GetMonitorInfoW(monitor, &screen);
    GetClientRect(front, &area);
    ClientToScreen(front, reinterpret_cast<POINT*>(&area.left));
    ClientToScreen(front, reinterpret_cast<POINT*>(&area.right));
    if (!framed && !tool && !marked && EqualRect(&area, &screen.rcMonitor)) return true;
    QUERY_USER_NOTIFICATION_STATE state{};
    return SUCCEEDED(SHQueryUserNotificationState(&state)) && state >= QUNS_RUNNING_D3D_FULL_SCREEN &&
           state <= QUNS_PRESENTATION_MODE;
}

}  // namespace bench
