#pragma once
// Helpers of the winapi tests: UTF-16 paths and failures that must name
// their reason.
#include "tests/support/TestSupport.h"
#include "winapi/LastError.h"

namespace fs = std::filesystem;

inline std::u16string W(const std::string& utf8) { return Utf8ToUtf16(utf8); }

// Whether f, called with the last error cleared, fails with error.
template <class F>
bool FailsWith(DWORD error, F f) {
  SetLastError(0);
  return !f() && GetLastError() == error;
}
