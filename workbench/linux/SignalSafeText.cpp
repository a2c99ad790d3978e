#include "workbench/SignalSafeText.h"

#include <unistd.h>

void TSignalSafeText::Flush() noexcept {
  size_t done = 0;
  while (done < used_) {
    const ssize_t n = ::write(fd_, buffer_ + done, used_ - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  used_ = 0;
}
