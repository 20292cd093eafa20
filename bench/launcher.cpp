// Starts the real clock the way Windows starts any program, so that the
// figures leave out the start of Wine itself: how long until its face is on
// screen, against the same platform calls made bare (the fair floor) and a
// minimal window program, each started the same way, and what share of one
// core the running clock takes.
// Usage: bench_launcher <Kalvory.exe> <minimal_window.exe> <startup_floor.exe> <results file> <starts> <seconds>
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench.h"
#include "runtime/Handle.h"

namespace {
constexpr DWORD kDeadlineMs = 30000;

struct Program {
    std::wstring exe;
    std::wstring folder;  // its current directory
    const wchar_t* windowClass;
    // The clock's face is there only once its window is cut to the text.
    bool cutToText;
};

class Child {
public:
    explicit Child(const Program& program) {
        std::wstring commandLine = L"\"" + program.exe + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(program.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            program.folder.c_str(), &startup, &info))
            return;
        process_.reset(info.hProcess);
        KernelHandle thread(info.hThread);
        id_ = info.dwProcessId;
    }
    // A program left running would hold the clock's single-instance lock.
    ~Child() {
        if (Running()) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), kDeadlineMs);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return static_cast<bool>(process_); }
    bool Running() const { return Started() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    HANDLE Process() const { return process_.get(); }
    DWORD Id() const { return id_; }

    // Closed as the user closes a window; killed if it does not end.
    void Close(HWND window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.get(), kDeadlineMs) != WAIT_OBJECT_0) TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), kDeadlineMs);
    }

private:
    KernelHandle process_;
    DWORD id_ = 0;
};

struct FaceQuery {
    DWORD processId;
    const Program* program;
    HRGN scratch;
    HWND found;
};

BOOL CALLBACK MatchFace(HWND window, LPARAM lParam) {
    auto& query = *reinterpret_cast<FaceQuery*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != query.processId || !IsWindowVisible(window)) return TRUE;
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (wcscmp(name, query.program->windowClass) != 0) return TRUE;
    if (query.program->cutToText && GetWindowRgn(window, query.scratch) == ERROR) return TRUE;
    query.found = window;
    return FALSE;
}

// Polls fast: a late look would count as start-up time.
HWND WaitForFace(const Child& child, const Program& program) {
    GdiObject scratch(CreateRectRgn(0, 0, 0, 0));
    const DWORD start = GetTickCount();
    FaceQuery query{child.Id(), &program, static_cast<HRGN>(scratch.get()), nullptr};
    while (GetTickCount() - start < kDeadlineMs && child.Running()) {
        EnumWindows(MatchFace, reinterpret_cast<LPARAM>(&query));
        if (query.found) return query.found;
        Sleep(1);
    }
    return nullptr;
}

// Milliseconds from CreateProcessW to the face on screen; negative if it
// never came.
double TimeToFace(const Program& program) {
    const double start = bench::Seconds();
    Child child(program);
    if (!child.Started()) return -1.0;
    HWND face = WaitForFace(child, program);
    const double elapsed = (bench::Seconds() - start) * 1000.0;
    if (!face) return -1.0;
    child.Close(face);
    return elapsed;
}

unsigned long long Ticks(const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Kernel and user time of the process, in 100 ns.
unsigned long long ProcessCpu(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return Ticks(kernel) + Ticks(user);
}

// The same from its threads, one by one.
unsigned long long ThreadsCpu(DWORD processId) {
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return 0;
    unsigned long long total = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != processId) continue;
        KernelHandle thread(OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID));
        FILETIME created, exited, kernel, user;
        if (thread && GetThreadTimes(thread.get(), &created, &exited, &kernel, &user))
            total += Ticks(kernel) + Ticks(user);
    }
    return total;
}

std::string Percent(unsigned long long cpuTicks, double seconds) {
    return bench::Fixed(static_cast<double>(cpuTicks) / 1e7 / seconds * 100.0, 3);
}

std::string RunningCost(const Program& clock, int seconds) {
    Child child(clock);
    HWND face = child.Started() ? WaitForFace(child, clock) : nullptr;
    if (!face) return "cpu failed";
    WaitForInputIdle(child.Process(), kDeadlineMs);
    const unsigned long long processBefore = ProcessCpu(child.Process());
    const unsigned long long threadsBefore = ThreadsCpu(child.Id());
    const double start = bench::Seconds();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const unsigned long long processAfter = ProcessCpu(child.Process());
    const unsigned long long threadsAfter = ThreadsCpu(child.Id());
    const double elapsed = bench::Seconds() - start;
    child.Close(face);
    // On Windows a process's times hold all its threads' and more. Wine 8
    // leaves nearly all of another process's time out of them, but does
    // give the times of its live threads.
    const unsigned long long process = processAfter - processBefore;
    const unsigned long long threads = threadsAfter - threadsBefore;
    if (process >= threads) return "cpu " + Percent(process, elapsed) + " GetProcessTimes " + bench::Fixed(elapsed);
    return "cpu " + Percent(threads, elapsed) + " GetThreadTimes " + bench::Fixed(elapsed);
}

// The programs by turns, each one first in every third round, so that none
// always follows the same one.
std::string StartUp(const Program (&programs)[3], int starts) {
    for (const Program& program : programs) TimeToFace(program);
    std::vector<double> times[3];
    for (int i = 0; i < starts; ++i) {
        for (int turn = 0; turn < 3; ++turn) {
            const int which = (i + turn) % 3;
            const double ms = TimeToFace(programs[which]);
            if (ms < 0) return "startup failed";
            times[which].push_back(ms);
        }
    }
    return "startup " + bench::Fixed(bench::Median(times[0])) + " " + bench::Fixed(bench::Median(times[1])) + " " +
           std::to_string(starts) + " " + bench::Fixed(bench::Median(times[2]));
}

std::wstring FullPath(const wchar_t* path) {
    wchar_t full[MAX_PATH];
    GetFullPathNameW(path, MAX_PATH, full, nullptr);
    return full;
}

// A folder of its own with a copy of the exe, the floor beside it, and
// settings that show the clock.
class Installation {
public:
    Installation(const std::wstring& exe, const std::wstring& floor) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"kalvory-bench-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
        ok_ = CopyFileW(exe.c_str(), Exe().c_str(), FALSE) && CopyFileW(floor.c_str(), Floor().c_str(), FALSE);
        HANDLE file = CreateFileW(Ini().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        const char settings[] = "[Config]\r\nDisp Clock=True\r\nHide In Full Screen=True\r\n";
        DWORD written = 0;
        ok_ = ok_ && file != INVALID_HANDLE_VALUE && WriteFile(file, settings, sizeof(settings) - 1, &written, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    ~Installation() {
        DeleteFileW(Exe().c_str());
        DeleteFileW(Floor().c_str());
        DeleteFileW(Ini().c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;
    bool Ok() const { return ok_; }
    const std::wstring& Folder() const { return folder_; }
    std::wstring Exe() const { return folder_ + L"Kalvory.exe"; }
    std::wstring Floor() const { return folder_ + L"startup_floor.exe"; }
    std::wstring Ini() const { return folder_ + L"Kalvory.ini"; }

private:
    std::wstring folder_;
    bool ok_ = false;
};

bool ClockAlreadyRunning() {
    KernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Kalvory.SingleInstance"));
    return static_cast<bool>(mutex);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 7) {
        fprintf(stderr,
                "usage: bench_launcher <Kalvory.exe> <minimal_window.exe> <startup_floor.exe> <results> "
                "<starts> <seconds>\n");
        return 2;
    }
    bench::Results results(argv[4]);
    const int starts = _wtoi(argv[5]);
    const int seconds = _wtoi(argv[6]);
    Installation installed(FullPath(argv[1]), FullPath(argv[3]));
    if (!results.Ok() || !installed.Ok() || starts < 1 || seconds < 1) return 2;
    if (ClockAlreadyRunning()) {
        fprintf(stderr, "bench_launcher: another Kalvory is running in this Wine session\n");
        return 1;
    }
    const Program clock{installed.Exe(), installed.Folder(), L"KalvoryForm", true};
    const std::wstring minimalExe = FullPath(argv[2]);
    const Program minimal{minimalExe, installed.Folder(), L"KalvoryBenchMinimal", false};
    const Program floor{installed.Floor(), installed.Folder(), L"KalvoryBenchFloor", true};
    results.Line(StartUp({clock, minimal, floor}, starts));
    results.Line(RunningCost(clock, seconds));
    return 0;
}
