#include "Convert.h"

#include <cerrno>
#include <cmath>
#include <cwchar>

#include "Error.h"

Integer CInt(const std::wstring& text) {
    const wchar_t* start = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const double value = std::wcstod(start, &end);
    while (end && (*end == L' ' || *end == L'\t')) ++end;
    if (end == start || *end != L'\0' || text.size() != std::wcslen(start))
        throw VBError(vbErr::TypeMismatch, L"型が一致しません。");
    const double rounded = std::nearbyint(value);
    if (errno == ERANGE || !(rounded >= -32768.0 && rounded <= 32767.0)) RaiseOverflow();
    return static_cast<Integer>(rounded);
}
