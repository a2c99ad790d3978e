#pragma once
// The calling thread's last error code and the system's text for a code.
#include <string>

#include "winapi/WinTypes.h"

DWORD GetLastError() noexcept;
void SetLastError(DWORD code) noexcept;

// The system's message text for an error code, as Windows words it; codes
// it does not know get a generic text naming the number.
std::u16string SysErrorMessage(DWORD code);
