#include "Clock.h"

#include <cwchar>
#include <iterator>

#include "Text.h"

namespace {
NowFunction gNowOverride = nullptr;

std::wstring TimeSeparator() {
    std::wstring separator;
    return UserLocaleSeparator(LOCALE_STIME, separator) ? separator : L":";
}

std::wstring TwoDigits(WORD value) {
    wchar_t digits[8];
    swprintf(digits, std::size(digits), L"%02u", static_cast<unsigned>(value % 100));
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
