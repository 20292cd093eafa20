#include "clsMouseControl.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "../runtime/Text.h"

namespace {
constexpr int kNameBufferSize = 256;
// The display counter moves by one per call; a counter beyond this many
// steps from zero is not the system's, and looping on would hang the caller.
constexpr int kMostCounterSteps = 65536;

POINT CursorPos() {
    POINT position{};
    GetCursorPos(&position);
    return position;
}

HWND WindowUnderCursor() {
    HWND window = WindowFromPoint(CursorPos());
    return IsWindow(window) ? window : nullptr;
}

// Text that an A function wrote into a fixed buffer and measured in bytes.
std::wstring FixedBufferText(const char* buffer, int length) {
    if (length <= 0) return L"";
    const size_t bytes = std::min(static_cast<size_t>(length), static_cast<size_t>(kNameBufferSize - 1));
    // A cut at the buffer's end may leave the first half of a character.
    return FromAnsi(CutAnsi(std::string(buffer, strnlen(buffer, bytes)), bytes));
}
}  // namespace

void clsMouseControl::SetNowX(Long Ix) const { SetCursorPos(Ix, CursorPos().y); }
void clsMouseControl::SetNowY(Long Iy) const { SetCursorPos(CursorPos().x, Iy); }

void clsMouseControl::SetVisible(Boolean Ivisible) const {
    if (Ivisible)
        Show();
    else
        Hide();
}

Long clsMouseControl::NowX() const { return CursorPos().x; }
Long clsMouseControl::NowY() const { return CursorPos().y; }

HWND clsMouseControl::HwndUnderMouse() const { return WindowUnderCursor(); }

std::wstring clsMouseControl::ClassUnderMouse() const {
    HWND window = WindowUnderCursor();
    if (!window) return L"";
    char buffer[kNameBufferSize] = "";
    return FixedBufferText(buffer, GetClassNameA(window, buffer, kNameBufferSize));
}

std::wstring clsMouseControl::CaptionUnderMouse() const {
    HWND window = WindowUnderCursor();
    if (!window) return L"";
    char buffer[kNameBufferSize] = "";
    return FixedBufferText(buffer, GetWindowTextA(window, buffer, kNameBufferSize));
}

std::wstring clsMouseControl::TextUnderMouse() const {
    HWND window = WindowUnderCursor();
    if (!window) return L"";
    // The window states its own length; a negative one or one too large to
    // hold in memory gets no buffer at all rather than a wrong one.
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return L"";
    const unsigned long long size = static_cast<unsigned long long>(length) + 1;
    std::string buffer;
    if (size > buffer.max_size()) return L"";
    try {
        buffer.assign(static_cast<size_t>(size), '\0');
    } catch (const std::bad_alloc&) {
        return L"";
    }
    SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(strnlen(buffer.data(), buffer.size()));
    return FromAnsi(buffer);
}

LRESULT clsMouseControl::CatchWindowAndMove(HWND IhWnd) const {
    // The press gave this window the capture; the system's move needs it.
    ReleaseCapture();
    return SendMessageA(IhWnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void clsMouseControl::Show() const {
    for (int step = 0; ShowCursor(TRUE) < 0 && step < kMostCounterSteps; ++step) {
    }
}

void clsMouseControl::Hide() const {
    for (int step = 0; ShowCursor(FALSE) >= 0 && step < kMostCounterSteps; ++step) {
    }
}
