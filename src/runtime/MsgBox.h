#pragma once
#include <windows.h>

#include <string>

// The modal message box; answers the button pressed, 0 when it could not be shown.
int MsgBox(const std::wstring& prompt, UINT buttons, const std::wstring& title);
