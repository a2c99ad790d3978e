#include "rtl/WallClock.h"

#include <windows.h>

TWallClock WallClockNow() noexcept {
  FILETIME ft{};
  ::GetSystemTimeAsFileTime(&ft);
  // 100 ns units since 1601-01-01.
  constexpr int64_t kUnixEpoch = 116444736000000000;
  const int64_t units = static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
  const int64_t ms = (units - kUnixEpoch) / 10000;
  return {ms / 1000, static_cast<int32_t>(ms % 1000)};
}
