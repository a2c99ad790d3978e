#include "rtl/LocalTime.h"

tm LocalTimeAt(time_t Seconds) noexcept {
  tm local{};
  ::localtime_s(&local, &Seconds);
  return local;
}
