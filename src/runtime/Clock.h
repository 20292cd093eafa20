#pragma once
#include <windows.h>

#include <string>

// The local time, read through one seam so that tests can set the clock.
SYSTEMTIME Now();
using NowFunction = SYSTEMTIME (*)();
void SetNowForTest(NowFunction now);  // nullptr restores the real clock

// "hh:mm:ss" or "hh:mm": 24-hour, two digits each, with the user's time
// separator.
std::wstring FormatHourMinuteSecond(const SYSTEMTIME& time);
std::wstring FormatHourMinute(const SYSTEMTIME& time);
