#pragma once
// Helpers of the winapi tests: UTF-16 paths and failures that must name
// their reason.
#include <dlfcn.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "rtl/UnicodeString.h"
#include "tests/support/TestSupport.h"
#include "winapi/LastError.h"
#include "winapi/Modules.h"

namespace fs = std::filesystem;

inline std::u16string W(const std::string& utf8) { return Utf8ToUtf16(utf8); }

// Whether f, called with the last error cleared, fails with error.
template <class F>
bool FailsWith(DWORD error, F f) {
  SetLastError(0);
  return !f() && GetLastError() == error;
}
