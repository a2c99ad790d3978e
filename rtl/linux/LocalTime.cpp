#include "rtl/LocalTime.h"

tm LocalTimeAt(time_t Seconds) noexcept {
  tm local{};
  ::localtime_r(&Seconds, &local);
  return local;
}
