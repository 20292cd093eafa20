#include "MsgBox.h"

int MsgBox(const std::wstring& prompt, UINT buttons, const std::wstring& title) {
    return MessageBoxW(nullptr, prompt.c_str(), title.c_str(), buttons);
}
