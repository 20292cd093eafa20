#pragma once
#include <string>

class VBError;

// "name (ver M.m.r)" with " [tag]" for a non-empty tag; "" on any failure.
std::wstring GetAppTitle(const std::wstring& name, const std::wstring& tag);
// The program's folder ending in "\"; "" on any failure.
std::wstring GetAppPath();
// The program's only way of telling the user something: a modal box with the
// stop icon, one OK button and the application title.
void ShowErrorMessage(const std::wstring& message, const VBError* error = nullptr);
