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
// A balloon needs the second layout; the first one's fields keep their places.
constexpr DWORD kBalloonRecordSize = NOTIFYICONDATAA_V2_SIZE;

// Into a fixed field of the record: whole characters only, and the closing
// zero that the zero-filled record already holds.
void CopyField(char* field, size_t fieldSize, const std::wstring& text) {
    const std::string bytes = CutAnsi(ToAnsi(text), fieldSize - 1);
    std::memcpy(field, bytes.data(), bytes.size());
}

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
    // The owner is a hidden picture box: the shell's call-back arrives as its
    // mouse-move event, with the real mouse message in lParam.
    data.uCallbackMessage = WM_MOUSEMOVE;
    data.hIcon = mlngIcon;
    CopyField(data.szTip, kTipFieldSize, mstrToolTipText);
    return data;
}

// Explorer says "TaskbarCreated" also when it kept its icons (a new scale, a
// remote session), and then refuses the add of one it holds; an add that
// timed out may have been taken all the same. A change of nothing succeeds
// only for an icon the shell holds.
bool clsTaskTray::Add() {
    NOTIFYICONDATAA data = MakeNotifyIconData();
    bool added = gShellNotify(NIM_ADD, &data) != FALSE;
    if (!added) added = gShellNotify(NIM_MODIFY, &data) != FALSE;
    mblnAdded = CBool(added);
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

bool clsTaskTray::ShowBalloon(const std::wstring& IstrTitle, const std::wstring& IstrText) {
    if (!mblnAdded) return false;
    NOTIFYICONDATAA data{};
    data.cbSize = kBalloonRecordSize;
    data.hWnd = mlngOwner;
    data.uID = kIconId;
    data.uFlags = NIF_INFO;
    CopyField(data.szInfoTitle, sizeof data.szInfoTitle, IstrTitle);
    CopyField(data.szInfo, sizeof data.szInfo, IstrText);
    data.dwInfoFlags = NIIF_INFO;
    return gShellNotify(NIM_MODIFY, &data) != FALSE;
}
