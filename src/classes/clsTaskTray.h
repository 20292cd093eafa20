#pragma once
#include <windows.h>
// shellapi.h builds on the types of windows.h.
#include <shellapi.h>

#include <array>
#include <string>

#include "../runtime/VBTypes.h"

// The program's one icon in the notification area. The shell reports mouse
// actions on it to the owner window as WM_MOUSEMOVE messages whose lParam
// holds the real mouse message; Events decodes that message.
class clsTaskTray {
public:
    // How the class talks to the shell; tests put a recorder in its place.
    using ShellNotifyFunction = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAA data);
    static void SetShellNotifyForTest(ShellNotifyFunction notify);

    clsTaskTray() = default;
    ~clsTaskTray();  // removes an icon that is still shown
    clsTaskTray(const clsTaskTray&) = delete;
    clsTaskTray& operator=(const clsTaskTray&) = delete;

    // Takes a mouse message; afterwards at most one button action is True.
    void SetEvents(Long IlngEvent);
    Boolean EventLeftButtonDown() const { return Flag(WM_LBUTTONDOWN); }
    Boolean EventLeftButtonUp() const { return Flag(WM_LBUTTONUP); }
    Boolean EventLeftButtonDblClick() const { return Flag(WM_LBUTTONDBLCLK); }
    Boolean EventRightButtonDown() const { return Flag(WM_RBUTTONDOWN); }
    Boolean EventRightButtonUp() const { return Flag(WM_RBUTTONUP); }
    Boolean EventRightButtonDblClick() const { return Flag(WM_RBUTTONDBLCLK); }
    Boolean EventMiddleButtonDown() const { return Flag(WM_MBUTTONDOWN); }
    Boolean EventMiddleButtonUp() const { return Flag(WM_MBUTTONUP); }
    Boolean EventMiddleButtonDblClick() const { return Flag(WM_MBUTTONDBLCLK); }

    // None of these reaches the shell before the next Add or Modify.
    void SetIcon(HICON IlngIcon) { mlngIcon = IlngIcon; }
    void SetOwner(HWND IlngHwnd) { mlngOwner = IlngHwnd; }
    void SetToolTipText(const std::wstring& IstrText);
    const std::wstring& ToolTipText() const { return mstrToolTipText; }

    // Each answers what the shell answered, or False when nothing was sent.
    // Only an icon the shell holds counts as added: at sign-in Explorer may
    // refuse icons for a while, and the caller must try again.
    bool Add();
    bool Modify();
    bool Delete();
    // A notification from the added icon: the tip and the icon stay as they are.
    bool ShowBalloon(const std::wstring& IstrTitle, const std::wstring& IstrText);

private:
    static constexpr UINT kFirstButtonMessage = WM_LBUTTONDOWN;
    static constexpr UINT kLastButtonMessage = WM_MBUTTONDBLCLK;

    Boolean Flag(UINT message) const { return mblnEvents[message - kFirstButtonMessage]; }
    NOTIFYICONDATAA MakeNotifyIconData() const;

    Boolean mblnAdded = vbFalse;
    Boolean mblnToolTip = vbFalse;
    HWND mlngOwner = nullptr;
    HICON mlngIcon = nullptr;
    std::wstring mstrToolTipText;
    // One flag per button message, from WM_LBUTTONDOWN to WM_MBUTTONDBLCLK.
    std::array<Boolean, kLastButtonMessage - kFirstButtonMessage + 1> mblnEvents{};
};
