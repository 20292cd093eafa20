#include "Clock.h"

#include <cwchar>

namespace {
NowFunction gNowOverride = nullptr;

std::wstring TimeSeparator() {
    wchar_t separator[8] = L":";
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8) == 0) return L":";
    return separator;
}

std::wstring TwoDigits(WORD value) {
    wchar_t digits[8];
    swprintf(digits, 8, L"%02u", static_cast<unsigned>(value % 100));
    return digits;
}
}  // namespace

SYSTEMTIME Now() {
    if (gNowOverride) return gNowOverride();
    SYSTEMTIME time;
    GetLocalTime(&time);
    return time;
}

void SetNowForTest(NowFunction now) { gNowOverride = now; }

std::wstring FormatHourMinute(const SYSTEMTIME& time) {
    return TwoDigits(time.wHour) + TimeSeparator() + TwoDigits(time.wMinute);
}

std::wstring FormatHourMinuteSecond(const SYSTEMTIME& time) {
    return FormatHourMinute(time) + TimeSeparator() + TwoDigits(time.wSecond);
}
