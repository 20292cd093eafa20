#include "clsTaskTray.h"

#include <cstring>

#include "../runtime/Text.h"

namespace {
// The icon's number among the owner window's icons.
constexpr UINT kIconId = 1;
// The first record layout: every version of the shell understands it.
constexpr DWORD kRecordSize = NOTIFYICONDATAA_V1_SIZE;
static_assert(kRecordSize == 88, "the first notify-icon record is 88 bytes");
// Its tip field; the later layouts' field is twice as long.
constexpr size_t kTipFieldSize = 64;

clsTaskTray::ShellNotifyFunction gShellNotify = Shell_NotifyIconA;
}  // namespace

void clsTaskTray::SetShellNotifyForTest(ShellNotifyFunction notify) {
    gShellNotify = notify ? notify : Shell_NotifyIconA;
}

clsTaskTray::~clsTaskTray() { Delete(); }

void clsTaskTray::SetEvents(Long IlngEvent) {
    mblnEvents.fill(vbFalse);
    if (IlngEvent >= static_cast<Long>(kFirstButtonMessage) && IlngEvent <= static_cast<Long>(kLastButtonMessage))
        mblnEvents[static_cast<size_t>(IlngEvent) - kFirstButtonMessage] = vbTrue;
}

void clsTaskTray::SetToolTipText(const std::wstring& IstrText) {
    mstrToolTipText = IstrText;
    mblnToolTip = CBool(!IstrText.empty());
}

NOTIFYICONDATAA clsTaskTray::MakeNotifyIconData() const {
    NOTIFYICONDATAA data{};
    data.cbSize = kRecordSize;
    data.hWnd = mlngOwner;
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | (mblnToolTip ? NIF_TIP : 0);
    data.uCallbackMessage = WM_MOUSEMOVE;
    data.hIcon = mlngIcon;
    // A tip too long for its field loses whole characters from its end and
    // keeps the closing zero that the zero-filled record already holds.
    const std::string tip = CutAnsi(ToAnsi(mstrToolTipText), kTipFieldSize - 1);
    std::memcpy(data.szTip, tip.data(), tip.size());
    return data;
}

bool clsTaskTray::Add() {
    NOTIFYICONDATAA data = MakeNotifyIconData();
    const bool added = gShellNotify(NIM_ADD, &data) != FALSE;
    mblnAdded = vbTrue;
    return added;
}

bool clsTaskTray::Modify() {
    if (!mblnAdded) return false;
    NOTIFYICONDATAA data = MakeNotifyIconData();
    return gShellNotify(NIM_MODIFY, &data) != FALSE;
}

bool clsTaskTray::Delete() {
    if (!mblnAdded) return false;
    NOTIFYICONDATAA data = MakeNotifyIconData();
    const bool deleted = gShellNotify(NIM_DELETE, &data) != FALSE;
    mblnAdded = vbFalse;
    return deleted;
}
