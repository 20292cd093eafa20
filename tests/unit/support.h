#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A fresh folder under the temporary folder, removed with its files at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }  // ends in "\"
    std::wstring File(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// Whole-file access in raw bytes, for checking exactly what is on disk.
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool PathExists(const std::wstring& path);

// The non-blank lines of a settings file, in their order, without line ends.
std::vector<std::string> IniLines(const std::string& bytes);

inline RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// Regions this process can still create before the GDI table is full.
size_t GdiFreeCapacity();
// The process's private memory in bytes.
size_t PrivateBytes();

// Pumps this thread's messages for the given time.
void PumpMessages(DWORD milliseconds);

// Whether the shell holds the icon that the window put into the notification
// area under this number. Asks for a change of nothing, which the shell
// grants only for an icon it has.
bool TrayIconShown(HWND owner, UINT id = 1);
// Makes the shell forget the icon, as a restarted Explorer has.
bool ForgetTrayIcon(HWND owner, UINT id = 1);

// A font as the program asks for one, made here without the program; the
// caller deletes it.
HFONT CreateFontFor(double points, bool bold, const wchar_t* face);
constexpr const wchar_t* kClockFace = L"ＭＳ ゴシック";
constexpr const wchar_t* kTimeToneFace = L"ＭＳ 明朝";

// Extent in pixels of a text in a font (the clock's unless told).
SIZE TextExtent(const char* text, double points, bool bold, const wchar_t* face = kClockFace);

// A point of the window, in its own coordinates, well inside one of the
// glyphs it is cut to; false when the window has no region.
bool PointOnFace(HWND window, POINT& point);

// One item of a menu as the user sees it.
struct MenuEntry {
    std::wstring caption;  // "-" for a separator
    int children;          // items of its submenu, 0 without one
    bool operator==(const MenuEntry& other) const { return caption == other.caption && children == other.children; }
};
std::vector<MenuEntry> MenuEntries(HMENU menu);
std::vector<std::wstring> MenuCaptions(HMENU menu);
