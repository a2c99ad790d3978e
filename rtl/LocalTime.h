#pragma once
// The broken-down local time, the platform's reentrant way.
#include <ctime>

tm LocalTimeAt(time_t Seconds) noexcept;
