#include "winapi/FileMask.h"

#include "rtl/UnicodeString.h"

bool MatchesDllMask(std::u16string_view FileName) noexcept {
  return FileName.size() >= 4 && SameText(FileName.substr(FileName.size() - 4), u".dll");
}
