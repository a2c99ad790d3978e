#include "workbench/SignalSafeText.h"

#include <windows.h>

// The handle itself, not the C runtime's write: that takes a lock the
// faulting thread may hold.
void TSignalSafeText::Flush() noexcept {
  const HANDLE out = ::GetStdHandle(fd_ == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  size_t done = 0;
  while (out && out != INVALID_HANDLE_VALUE && done < used_) {
    DWORD n = 0;
    if (!::WriteFile(out, buffer_ + done, static_cast<DWORD>(used_ - done), &n, nullptr) || n == 0) break;
    done += n;
  }
  used_ = 0;
}
