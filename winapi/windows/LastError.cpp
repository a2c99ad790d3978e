#include "winapi/LastError.h"

#include <string>

#include "winapi/windows/Win32.h"

// One error slot per thread, the system's: what the real functions set is
// what our callers read.
DWORD GetLastError() noexcept { return qorb::win32::LastError(); }

void SetLastError(DWORD code) noexcept { qorb::win32::SetLastError(code); }

std::u16string SysErrorMessage(DWORD code) {
  std::u16string text = qorb::win32::ErrorText(code);
  if (!text.empty()) return text;
  text = u"Unknown error (";
  const std::string digits = std::to_string(code);
  text.append(digits.begin(), digits.end());
  text += u").";
  return text;
}
