#pragma once
// Date and time as the runtime keeps them: days since 1899-12-30, the time
// of day as the fraction.
#include <cstdint>
#include <string_view>

#include "rtl/UnicodeString.h"

using TDateTime = double;

TDateTime Now();
// The local date and time at a whole second since 1970-01-01 UTC.
TDateTime LocalDateTimeAt(int64_t SecondsSinceEpoch);
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
// Time of day rounded to whole milliseconds.
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);

// Understands yyyy, mm, dd, hh, nn, ss, zzz and text in double quotes;
// anything else is copied. ("hh:nn:ss.zzz" gives "09:05:03.042".)
UnicodeString FormatDateTime(std::u16string_view fmt, TDateTime dt);
