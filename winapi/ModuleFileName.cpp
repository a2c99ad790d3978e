#include "winapi/ModuleFileName.h"

#include <algorithm>

#include "winapi/LastError.h"

DWORD CopyModuleFileName(std::u16string_view Name, LPWSTR FileName, DWORD Size) noexcept {
  if (!FileName || Size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (Name.size() < Size) {
    std::copy(Name.begin(), Name.end(), FileName);
    FileName[Name.size()] = 0;
    return static_cast<DWORD>(Name.size());
  }
  std::copy_n(Name.begin(), Size - 1, FileName);
  FileName[Size - 1] = 0;
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return Size;
}
