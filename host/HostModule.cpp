#include "host/HostModule.h"

#include "rtl/PathDelim.h"
#include "winapi/Modules.h"

UnicodeString HostModuleFileName() {
  char16_t buffer[MAX_PATH];
  const DWORD n = GetModuleFileNameW(HInstance(), buffer, MAX_PATH);
  return UnicodeString(buffer, n < MAX_PATH ? n : MAX_PATH - 1);
}

UnicodeString HostModuleFolder() {
  const UnicodeString file = HostModuleFileName();
  const size_t delim = file.view().find_last_of(PathDelims);
  if (delim == std::u16string_view::npos) return {};
  return UnicodeString(file.view().substr(0, delim + 1));
}
