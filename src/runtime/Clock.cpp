#include "Clock.h"

#include "Text.h"

namespace {
NowFunction gNowOverride = nullptr;

std::wstring TimeSeparator() {
    std::wstring separator;
    return UserLocaleSeparator(LOCALE_STIME, separator) ? separator : L":";
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
