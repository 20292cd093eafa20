#include "modStandard.h"

#include <windows.h>

#include "../classes/clsStrChain.h"
#include "../runtime/App.h"
#include "../runtime/Error.h"
#include "../runtime/MsgBox.h"
#include "../runtime/Text.h"
#include "modDefine.h"
#include "modGlobal.h"

std::wstring GetAppTitle(const std::wstring& name, const std::wstring& tag) {
    try {
        clsStrChain title;
        title.ClearString();
        title.AddString(name);
        title.AddString(L" (ver " + DecimalText(App.Major()) + L"." + DecimalText(App.Minor()));
        title.AddString(L"." + DecimalText(App.Revision()) + L")");
        if (!tag.empty()) title.AddString(L" [" + tag + L"]");
        return title.GetString();
    } catch (...) {
        return L"";
    }
}

std::wstring GetAppPath() {
    try {
        std::wstring path = App.Path();
        if (path.empty() || path.back() != L'\\') path += L'\\';
        return path;
    } catch (...) {
        return L"";
    }
}

namespace {
std::wstring LastErrorDescription(DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring description = text ? text : L"";
    LocalFree(text);
    return description;
}
}  // namespace

// The error object does not change the box; only the message is shown.
void ShowErrorMessage(const std::wstring& message, const VBError* /*error*/) {
    if (MsgBox(message, kStyleCritical, gstrAppTitle) != 0) return;
    const DWORD code = GetLastError();
    MsgBox(LastErrorDescription(code), kStyleCritical,
           std::wstring(kProductName) + L" (ErrNo." + DecimalText(code) + L")");
}
