#include "support.h"

#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\");
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}
}  // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    path_ = std::wstring(base) + L"kalvory-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> IniLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

size_t GdiFreeCapacity() {
    std::vector<HRGN> regions;
    regions.reserve(70000);
    while (regions.size() < 200000) {
        HRGN region = CreateRectRgn(0, 0, 1, 1);
        if (!region) break;
        regions.push_back(region);
    }
    for (HRGN region : regions) DeleteObject(region);
    return regions.size();
}

// Wine leaves PrivateUsage at 0 and reports the resident private
// (anonymous) memory as PagefileUsage instead.
size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof(counters));
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

void PumpMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

namespace {
bool NotifyShell(DWORD message, HWND owner, UINT id) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = NOTIFYICONDATAW_V1_SIZE;
    icon.hWnd = owner;
    icon.uID = id;
    return Shell_NotifyIconW(message, &icon) != FALSE;
}
}  // namespace

bool TrayIconShown(HWND owner, UINT id) { return NotifyShell(NIM_MODIFY, owner, id); }
bool ForgetTrayIcon(HWND owner, UINT id) { return NotifyShell(NIM_DELETE, owner, id); }

HFONT CreateFontFor(double points, bool bold, const wchar_t* face) {
    HDC screen = GetDC(nullptr);
    const auto height = -static_cast<int>(std::lround(points * GetDeviceCaps(screen, LOGPIXELSY) / 72.0));
    ReleaseDC(nullptr, screen);
    return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_TT_PRECIS, 0,
                       DEFAULT_QUALITY, 0, face);
}

SIZE TextExtent(const char* text, double points, bool bold, const wchar_t* face) {
    HFONT font = CreateFontFor(points, bold, face);
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    SIZE extent{};
    GetTextExtentPoint32A(screen, text, static_cast<int>(std::strlen(text)), &extent);
    SelectObject(screen, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return extent;
}

bool PointOnFace(HWND window, POINT& point) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    RECT bounds{};
    const bool shaped = GetWindowRgn(window, region) != ERROR && GetRgnBox(region, &bounds) != NULLREGION;
    bool found = false;
    // The middle row crosses every digit; a point whose neighbours are all
    // inside is safely on a stroke, not on an edge that rounding might move.
    const int y = (bounds.top + bounds.bottom) / 2;
    for (int x = bounds.left + 1; shaped && !found && x < bounds.right - 1; ++x) {
        found = PtInRegion(region, x - 1, y) && PtInRegion(region, x, y) && PtInRegion(region, x + 1, y) &&
                PtInRegion(region, x, y - 1) && PtInRegion(region, x, y + 1);
        if (found) point = POINT{x, y};
    }
    DeleteObject(region);
    return found;
}

std::vector<MenuEntry> MenuEntries(HMENU menu) {
    std::vector<MenuEntry> entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t caption[64] = L"";
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = caption;
        info.cch = 64;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        entries.push_back({separator ? L"-" : caption, info.hSubMenu ? GetMenuItemCount(info.hSubMenu) : 0});
    }
    return entries;
}

std::vector<std::wstring> MenuCaptions(HMENU menu) {
    std::vector<std::wstring> captions;
    const std::vector<MenuEntry> entries = MenuEntries(menu);
    std::transform(entries.begin(), entries.end(), std::back_inserter(captions),
                   [](const MenuEntry& entry) { return entry.caption; });
    return captions;
}
