#include "rtl/WallClock.h"

#include <ctime>

TWallClock WallClockNow() noexcept {
  timespec ts{};
  ::clock_gettime(CLOCK_REALTIME_COARSE, &ts);
  return {ts.tv_sec, static_cast<int32_t>(ts.tv_nsec / 1000000)};
}
