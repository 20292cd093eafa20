// The fair floor for the clock's start-up: the platform calls the clock cannot
// start without, made bare and inline and in the clock's order. It reads the
// settings file beside it, so it puts up the face that the clock would.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "bench.h"
#include "res/resource.h"

namespace {
constexpr wchar_t kFormClass[] = L"KalvoryBenchFloor";
constexpr wchar_t kPictureClass[] = L"KalvoryBenchFloorPicture";
constexpr int kPoints[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
constexpr COLORREF kColors[] = {RGB(0, 0, 0),   RGB(255, 255, 255), RGB(0, 0, 255),
                                RGB(0, 255, 0), RGB(0, 128, 0),     RGB(255, 0, 0)};
constexpr BYTE kAlpha[] = {255, 230, 210, 190, 165, 135, 105, 75, 45, 15, 0};
HBRUSH gBrush = nullptr;
NOTIFYICONDATAA gTray{};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, gBrush);
            return 1;
        }
        case WM_CLOSE:
            Shell_NotifyIconA(NIM_DELETE, &gTray);
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

BOOL CALLBACK FirstMonitor(HMONITOR, HDC, LPRECT, LPARAM) { return FALSE; }

// A setting's index, kept to its menu's range as the clock's load demands.
int Index(const char* text, int fallback, int low, int high) {
    const long value = *text ? std::strtol(text, nullptr, 10) : fallback;
    return value < low || value > high ? fallback : static_cast<int>(value);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    wchar_t module[MAX_PATH + 16] = L"";
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    wchar_t* const slash = std::wcsrchr(module, L'\\');
    std::wcscpy(slash ? slash + 1 : module, L"Kalvory.ini");
    char ini[MAX_PATH * 2];
    WideCharToMultiByte(CP_ACP, 0, module, -1, ini, sizeof(ini), nullptr, nullptr);
    WIN32_FIND_DATAW found;  // whether this is a first start
    FindClose(FindFirstFileW(module, &found));
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\KalvoryBenchFloor.SingleInstance");
    if (GetLastError() == ERROR_ALREADY_EXISTS) return 1;

    const char* const keys[9][2] = {
        {"Window Design", "Top"},        {"Window Design", "Left"},      {"Window Design", "Font Size"},
        {"Window Design", "Font Color"}, {"Window Design", "Font Bold"}, {"Window Design", "Translucence"},
        {"Config", "Disp Clock"},        {"Config", "Time Tone"},        {"Config", "Hide In Full Screen"}};
    char values[9][256];
    for (int i = 0; i < 9; ++i) GetPrivateProfileStringA(keys[i][0], keys[i][1], "", values[i], 256, ini);
    const int top = Index(values[0], 1000, -2147483647, 2147483647);
    const int left = Index(values[1], 1000, -2147483647, 2147483647);
    const int points = kPoints[Index(values[2], 16, 1, 16) - 1];
    const COLORREF color = kColors[Index(values[3], 1, 1, 6) - 1];
    const bool bold = std::strcmp(values[4], "True") == 0, shown = std::strcmp(values[6], "True") == 0;
    const int translucence = Index(values[5], 0, 0, 10);

    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.style = CS_OWNDC | CS_DBLCLKS;
    form.lpfnWndProc = WindowProc;
    form.hInstance = instance;
    form.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);
    WNDCLASSEXW picture = form;
    picture.style = 0;
    picture.lpfnWndProc = DefWindowProcW;
    picture.lpszClassName = kPictureClass;
    RegisterClassExW(&picture);
    const HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINMENU));
    const auto icon = [&](int metric) {
        return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_CLOCK), IMAGE_ICON,
                                             GetSystemMetrics(metric), GetSystemMetrics(metric), 0));
    };
    const HICON bigIcon = icon(SM_CXICON), smallIcon = icon(SM_CXSMICON);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const HWND window =
        CreateWindowExW(WS_EX_TOOLWINDOW, kFormClass, L"Kalvory", WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                        MulDiv(5415, dpi, 1440), MulDiv(3030, dpi, 1440), nullptr, nullptr, instance, nullptr);
    using FilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    const auto filter = reinterpret_cast<FilterFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")));
    if (filter) filter(window, RegisterWindowMessageW(L"TaskbarCreated"), MSGFLT_ALLOW, nullptr);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    HDC dc = GetDC(window);
    SetBkMode(dc, TRANSPARENT);
    gBrush = CreateSolidBrush(color);
    const HFONT font = CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                                   SHIFTJIS_CHARSET, OUT_TT_PRECIS, 0, DEFAULT_QUALITY, 0, L"ＭＳ ゴシック");
    SelectObject(dc, font);
    const HWND owner =
        CreateWindowExW(0, kPictureClass, L"", WS_CHILD | WS_VISIBLE, MulDiv(1080, dpi, 1440), MulDiv(2040, dpi, 1440),
                        MulDiv(3855, dpi, 1440), MulDiv(1215, dpi, 1440), window, nullptr, instance, nullptr);
    SetTimer(window, 1, 200, nullptr);

    SetWindowPos(window, nullptr, MulDiv(left, dpi, 1440), MulDiv(top, dpi, 1440), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (shown) ShowWindow(window, SW_SHOWNA);
    if (translucence > 0) {
        SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(window, 0, kAlpha[translucence], LWA_ALPHA);
    }
    // Each tick of the clock asked for it begins with the look at what is in front.
    if (std::strcmp(values[8], "True") == 0) bench::FullScreenInFront(window);
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t separator[8] = L":";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8);
    wchar_t wide[32];
    std::swprintf(wide, 32, L"%02u%ls%02u%ls%02u", now.wHour, separator, now.wMinute, separator, now.wSecond);
    char text[64];
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
    // cppcheck-suppress lstrlenACalled ; the text was just written, with its closing zero
    const int length = lstrlenA(text);
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, length, &extent);
    SetWindowPos(window, nullptr, 0, 0, extent.cx, extent.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    BeginPath(dc);
    TextOutA(dc, 0, 0, text, length);
    EndPath(dc);
    SetWindowRgn(window, PathToRegion(dc), TRUE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // Whether a monitor shows the face: the clock brings one that none does into view.
    RECT placed;
    GetWindowRect(window, &placed);
    EnumDisplayMonitors(nullptr, &placed, FirstMonitor, 0);
    gTray.cbSize = NOTIFYICONDATAA_V1_SIZE;
    gTray.hWnd = owner;
    gTray.uID = 1;
    gTray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    gTray.uCallbackMessage = WM_MOUSEMOVE;
    gTray.hIcon = bigIcon;
    std::strcpy(gTray.szTip, "Kalvory");
    Shell_NotifyIconA(NIM_ADD, &gTray);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(font);
    DeleteObject(gBrush);
    DestroyMenu(menu);
    DestroyIcon(bigIcon);
    DestroyIcon(smallIcon);
    CloseHandle(mutex);
    return 0;
}
