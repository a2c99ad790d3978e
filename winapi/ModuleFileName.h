#pragma once
// A module's file name into a caller's buffer, as GetModuleFileNameW gives
// it: whole with its zero when it fits, else cut to Size - 1 units and a
// zero with ERROR_INSUFFICIENT_BUFFER; answers the units written.
#include <string_view>

#include "winapi/WinTypes.h"

DWORD CopyModuleFileName(std::u16string_view Name, LPWSTR FileName, DWORD Size) noexcept;
