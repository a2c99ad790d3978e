#include "rtl/DateTime.h"

#include <cstdint>
#include <cmath>
#include <ctime>
#include <string>

#include "rtl/LocalTime.h"

namespace {
constexpr int64_t kMSecsPerDay = 86400000;
// Days from 0001-01-01 to 1899-12-30 (day numbers counted from zero).
constexpr int64_t kDateDelta = 693593;

int64_t DaysFromCivil(int y, int m, int d) {
  // Days since 0001-01-01 (proleptic Gregorian).
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 719162;
}

void CivilFromDays(int64_t days, int& y, int& m, int& d) {
  int64_t z = days - 719162 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

void Two(std::u16string& out, int v) {
  out.push_back(static_cast<char16_t>(u'0' + (v / 10) % 10));
  out.push_back(static_cast<char16_t>(u'0' + v % 10));
}
}  // namespace

TDateTime Now() {
  // Log lines are stamped many times a second, and converting seconds to
  // local time is the costly part: each thread does it once per second.
  struct TSecond {
    int64_t Seconds;
    TDateTime Start;
  };
  constinit thread_local TSecond cached{INT64_MIN, 0.0};
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  if (now.tv_sec != cached.Seconds) cached = {now.tv_sec, LocalDateTimeAt(now.tv_sec)};
  return cached.Start + EncodeTime(0, 0, 0, static_cast<int>(now.tv_nsec / 1000000));
}

TDateTime LocalDateTimeAt(int64_t SecondsSinceEpoch) {
  const tm local = LocalTimeAt(static_cast<time_t>(SecondsSinceEpoch));
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, 0);
}

TDateTime EncodeDate(int year, int month, int day) {
  return static_cast<double>(DaysFromCivil(year, month, day) - kDateDelta);
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  return static_cast<double>(((hour * 60 + min) * 60 + sec) * 1000 + msec) / kMSecsPerDay;
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
  double whole;
  const double frac = std::fabs(std::modf(dt, &whole));
  int64_t ms = std::llround(frac * kMSecsPerDay);
  if (ms >= kMSecsPerDay) ms = kMSecsPerDay - 1;
  msec = static_cast<int>(ms % 1000);
  ms /= 1000;
  sec = static_cast<int>(ms % 60);
  ms /= 60;
  min = static_cast<int>(ms % 60);
  hour = static_cast<int>(ms / 60);
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  CivilFromDays(static_cast<int64_t>(std::floor(dt)) + kDateDelta, year, month, day);
}

UnicodeString FormatDateTime(std::u16string_view fmt, TDateTime dt) {
  int h, n, s, z, y, mo, d;
  DecodeTime(dt, h, n, s, z);
  DecodeDate(dt, y, mo, d);
  std::u16string out;
  size_t i = 0;
  auto starts = [&](std::u16string_view tok) {
    if (fmt.size() - i < tok.size()) return false;
    for (size_t k = 0; k < tok.size(); ++k) {
      char16_t c = fmt[i + k];
      if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
      if (c != tok[k]) return false;
    }
    i += tok.size();
    return true;
  };
  while (i < fmt.size()) {
    if (fmt[i] == u'"') {
      const size_t end = fmt.find(u'"', i + 1);
      const size_t stop = end == std::u16string_view::npos ? fmt.size() : end;
      out.append(fmt.substr(i + 1, stop - i - 1));
      i = stop == fmt.size() ? stop : stop + 1;
    } else if (starts(u"yyyy")) {
      Two(out, y / 100);
      Two(out, y % 100);
    } else if (starts(u"zzz")) {
      out.push_back(static_cast<char16_t>(u'0' + z / 100));
      Two(out, z % 100);
    } else if (starts(u"hh")) {
      Two(out, h);
    } else if (starts(u"nn")) {
      Two(out, n);
    } else if (starts(u"ss")) {
      Two(out, s);
    } else if (starts(u"mm")) {
      Two(out, mo);
    } else if (starts(u"dd")) {
      Two(out, d);
    } else {
      out.push_back(fmt[i++]);
    }
  }
  return UnicodeString(out);
}
