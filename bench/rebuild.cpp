// One rebuild of the clock face, the program's own through its forms layer,
// against the same platform calls written directly, taken in turn on two
// shown windows; and whether rebuilding makes the process grow.
// Usage: bench_rebuild <results file>
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "bench.h"
#include "forms/frmMain.h"
#include "modules/modGlobal.h"
#include "runtime/Clock.h"
#include "runtime/Handle.h"

namespace {
constexpr int kRounds = 41;
constexpr int kBatch = 8;
constexpr int kWarmUp = 20;
constexpr unsigned kGrowthRebuilds = 10000;
constexpr unsigned kGrowthMiddle = 1000;

// The clock both faces read: moved on before each rebuild, so that every
// rebuild draws a new text as the running clock does once a second.
SYSTEMTIME gTime{2026, 1, 4, 1, 0, 0, 0, 0};
SYSTEMTIME ReadTime() { return gTime; }
void SetStep(unsigned step) {
    gTime.wHour = static_cast<WORD>(step / 3600 % 24);
    gTime.wMinute = static_cast<WORD>(step / 60 % 60);
    gTime.wSecond = static_cast<WORD>(step % 60);
}

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof(counters));
    // Wine fills in only the older, shorter record; its commit charge is
    // the same figure under another name.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// Bytes in use on every heap of the process: what the program itself holds,
// apart from what the platform keeps below the Windows API.
SIZE_T HeapBytesInUse() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 8);
    heaps.resize(std::min<size_t>(heaps.size(), GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data())));
    SIZE_T busy = 0;
    for (HANDLE heap : heaps) {
        PROCESS_HEAP_ENTRY entry{};
        HeapLock(heap);
        while (HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += entry.cbData;
        HeapUnlock(heap);
    }
    return busy;
}

void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        bench::PumpPending();
        Sleep(5);
    }
}

// The floor: what any program that cuts its window to a text has to ask of
// Windows for each new text, with nothing in between.
class BareFace {
public:
    BareFace(int x, int y) {
        WNDCLASSEXW form{};
        form.cbSize = sizeof(form);
        form.style = CS_OWNDC | CS_DBLCLKS;
        form.lpfnWndProc = DefWindowProcW;
        form.hInstance = GetModuleHandleW(nullptr);
        form.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        form.lpszClassName = L"KalvoryBenchFloor";
        RegisterClassExW(&form);
        // The clock window's styles and design size.
        hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, form.lpszClassName, L"", WS_POPUP | WS_CLIPCHILDREN,
                                x, y, 361, 202, nullptr, nullptr, form.hInstance, nullptr);
        dc_ = GetDC(hwnd_);
        SetBkMode(dc_, TRANSPARENT);
        ShowWindow(hwnd_, SW_SHOWNA);
    }
    ~BareFace() {
        SelectObject(dc_, GetStockObject(SYSTEM_FONT));
        ReleaseDC(hwnd_, dc_);
        DestroyWindow(hwnd_);
    }
    BareFace(const BareFace&) = delete;
    BareFace& operator=(const BareFace&) = delete;

    void SetFont(int points, bool bold) {
        LOGFONTW font{};
        font.lfHeight = -MulDiv(points, GetDeviceCaps(dc_, LOGPIXELSY), 72);
        font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        font.lfCharSet = SHIFTJIS_CHARSET;
        font.lfOutPrecision = OUT_TT_PRECIS;
        std::wstring(L"ＭＳ ゴシック").copy(font.lfFaceName, LF_FACESIZE - 1);
        GdiObject created(CreateFontIndirectW(&font));
        SelectObject(dc_, created.get());
        font_ = std::move(created);
    }

    void Rebuild(const SYSTEMTIME& time) {
        if (watch) bench::FullScreenInFront(hwnd_);
        char text[16];
        const int length = snprintf(text, sizeof(text), "%02u:%02u:%02u", static_cast<unsigned>(time.wHour),
                                    static_cast<unsigned>(time.wMinute), static_cast<unsigned>(time.wSecond));
        SIZE extent{};
        GetTextExtentPoint32A(dc_, text, length, &extent);
        // Resized only when the extent changes: even a resize to the same
        // size costs a round of window messages.
        RECT frame{};
        GetWindowRect(hwnd_, &frame);
        if (extent.cx != frame.right - frame.left || extent.cy != frame.bottom - frame.top)
            SetWindowPos(hwnd_, nullptr, 0, 0, extent.cx, extent.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        BeginPath(dc_);
        TextOutA(dc_, 0, 0, text, length);
        EndPath(dc_);
        HRGN region = PathToRegion(dc_);
        if (region && !SetWindowRgn(hwnd_, region, TRUE)) DeleteObject(region);
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }

    // As the clock asked to step aside for a program in full screen.
    bool watch = false;

private:
    HWND hwnd_ = nullptr;
    HDC dc_ = nullptr;
    GdiObject font_;
};

struct Look {
    Integer sizeItem;  // of the font-size menu
    int points;
    bool bold;
};

// Set on the clock as the user sets it: through the menu commands.
void ApplyLook(const Look& look, BareFace& floor) {
    frmMain.mnuFontSizeValue_Click(look.sizeItem);
    if ((gblnFontBold != vbFalse) != look.bold) frmMain.mnuFontBold_Click();
    floor.SetFont(look.points, look.bold);
}

// Microseconds per rebuild over one batch, each rebuild with the next text.
template <typename Rebuild>
double TimeBatch(unsigned firstStep, Rebuild rebuild) {
    const double start = bench::Seconds();
    for (unsigned i = 0; i < kBatch; ++i) {
        SetStep(firstStep + i);
        rebuild();
    }
    return (bench::Seconds() - start) * 1e6 / kBatch;
}

// Both sides draw the same texts, in batches taken in turn, the first side
// changing from round to round.
std::string CompareLook(const Look& look, BareFace& floor, const char* what = "rebuild") {
    ApplyLook(look, floor);
    const auto clock = [] { frmMain.timClock_Timer(); };
    const auto bare = [&floor] { floor.Rebuild(gTime); };
    for (int i = 0; i < kWarmUp / kBatch; ++i) {
        TimeBatch(0, clock);
        TimeBatch(0, bare);
    }
    bench::PumpPending();
    std::vector<double> clockTimes, bareTimes;
    for (int round = 0; round < kRounds; ++round) {
        const unsigned step = static_cast<unsigned>(round) * kBatch;
        if (round % 2) {
            clockTimes.push_back(TimeBatch(step, clock));
            bareTimes.push_back(TimeBatch(step, bare));
        } else {
            bareTimes.push_back(TimeBatch(step, bare));
            clockTimes.push_back(TimeBatch(step, clock));
        }
        bench::PumpPending();
    }
    return what + (" " + std::to_string(look.points)) + (look.bold ? " bold " : " regular ") +
           bench::Fixed(bench::Median(clockTimes)) + " " + bench::Fixed(bench::Median(bareTimes)) + " " +
           std::to_string(kRounds) + " " + std::to_string(kBatch);
}

// Private bytes before, after the first rebuilds and after all of them.
struct Growth {
    SIZE_T before = 0;
    SIZE_T middle = 0;
    SIZE_T after = 0;
};

template <typename Rebuild>
Growth MeasureGrowth(Rebuild rebuild) {
    Growth bytes;
    bytes.before = PrivateBytes();
    for (unsigned step = 1; step <= kGrowthRebuilds; ++step) {
        SetStep(step);
        rebuild();
        if (step % 50 == 0) bench::PumpPending();
        if (step == kGrowthMiddle) bytes.middle = PrivateBytes();
    }
    bench::PumpPending();
    bytes.after = PrivateBytes();
    return bytes;
}

std::string Figures(const Growth& bytes) {
    return " " + std::to_string(bytes.before) + " " + std::to_string(bytes.middle) + " " + std::to_string(bytes.after);
}

void Run(bench::Results& results, const std::wstring& settings) {
    gstrIniPath = settings;
    // Both faces over the bare desktop, clear of each other and of the
    // notification area's window in the corner, whose repaints would count.
    glngLeft = 300;  // twips: 20 pixels
    glngTop = 1500;
    gintFontSize = 16;  // 72 points, as a first start has it
    gintFontColor = 1;
    gblnFontBold = vbFalse;
    gintTranslucence = 0;
    gblnDispClock = vbTrue;
    gblnTimeTone = vbFalse;
    SetNowForTest(ReadTime);
    frmMain.Load();
    PumpFor(500);
    // Nothing of the benchmark's own is allocated in between.
    const SIZE_T heapBefore = HeapBytesInUse();
    const Growth clock = MeasureGrowth([] { frmMain.timClock_Timer(); });
    const SIZE_T heapAfter = HeapBytesInUse();
    // The platform keeps caches of its own: the bare calls show how much of
    // any growth is theirs.
    BareFace floor(20, 400);
    floor.SetFont(72, false);
    PumpFor(300);
    const Growth bare = MeasureGrowth([&floor] { floor.Rebuild(gTime); });
    results.Line("private" + Figures(clock) + Figures(bare) + " " + std::to_string(heapBefore) + " " +
                 std::to_string(heapAfter));
    const Look looks[] = {{1, 8, false},  {1, 8, true},    {11, 24, false},
                          {11, 24, true}, {16, 72, false}, {16, 72, true}};
    for (const Look& look : looks) results.Line(CompareLook(look, floor));
    // The whole tick with "Hide In Full Screen" on, an ordinary window in
    // front: every question about it is asked, and the clock stays.
    const HWND front = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 100, 300, 200, nullptr,
                                       nullptr, nullptr, nullptr);
    SetForegroundWindow(front);
    gblnHideInFullScreen = vbTrue;
    floor.watch = true;
    results.Line(CompareLook(looks[4], floor, "watch"));
    DestroyWindow(front);
    frmMain.Unload();
    SetNowForTest(nullptr);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: bench_rebuild <results file>\n");
        return 2;
    }
    bench::Results results(argv[1]);
    if (!results.Ok()) return 2;
    wchar_t settings[MAX_PATH];
    GetFullPathNameW(L"bench-rebuild.ini", MAX_PATH, settings, nullptr);
    try {
        Run(results, settings);
    } catch (const std::exception& error) {
        fprintf(stderr, "bench_rebuild: %s\n", error.what());
        return 1;
    }
    DeleteFileW(settings);
    return 0;
}
