#pragma once
// The time of day as the system's clock tick has it. A log line's stamp
// need be no finer than the tick (the platform's own local time is ticked
// too), and the ticked clock costs a fraction of the precise one.
#include <cstdint>

struct TWallClock {
  int64_t Seconds = 0;  // since 1970-01-01 UTC
  int32_t Milliseconds = 0;
};

TWallClock WallClockNow() noexcept;
