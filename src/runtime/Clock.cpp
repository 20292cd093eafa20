#include "Clock.h"

namespace {
NowFunction gNowOverride = nullptr;

std::wstring TimeSeparator() {
    wchar_t separator[8] = L":";
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8) == 0) return L":";
    return separator;
}

std::wstring TwoDigits(WORD value) {
    const WORD twoDigits = value % 100;
    return {static_cast<wchar_t>(L'0' + twoDigits / 10), static_cast<wchar_t>(L'0' + twoDigits % 10)};
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
