// The version-block reader on arbitrary bytes: the paths the host asks
// for, the first translation's string table included; every value found
// lies within the block, text values end in a zero inside it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "winapi/VersionBlock.h"

namespace {

const uint8_t* gBegin = nullptr;
const uint8_t* gEnd = nullptr;

void CheckInside(const void* value, size_t bytes) {
  const auto* p = static_cast<const uint8_t*>(value);
  if (p < gBegin || p > gEnd || bytes > static_cast<size_t>(gEnd - p)) std::abort();
}

void Query(std::span<const uint8_t> block, const std::u16string& path, bool text) {
  const void* value = nullptr;
  UINT length = 0;
  if (!qorb::winapi::QueryVersionValue(block, path, value, length)) return;
  if (!text || length == 0) {
    if (length != 0) CheckInside(value, length);
    return;
  }
  CheckInside(value, size_t{length} * 2);
  // Read up to the terminator as the host does.
  const auto* p = static_cast<const uint8_t*>(value);
  for (;; p += 2) {
    CheckInside(p, 2);
    uint16_t c;
    std::memcpy(&c, p, 2);
    if (c == 0) break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  gBegin = data;
  gEnd = data + size;
  const std::span<const uint8_t> block(data, size);
  Query(block, u"\\", false);
  Query(block, u"\\VarFileInfo\\Translation", false);

  const void* table = nullptr;
  UINT length = 0;
  std::u16string prefix = u"\\StringFileInfo\\040904b0\\";
  if (qorb::winapi::QueryVersionValue(block, u"\\VarFileInfo\\Translation", table, length) && length >= 4) {
    uint16_t pair[2];
    std::memcpy(pair, table, sizeof pair);
    char hex[16];
    std::snprintf(hex, sizeof hex, "%.4x%.4x", pair[0], pair[1]);
    prefix = u"\\StringFileInfo\\" + std::u16string(hex, hex + std::strlen(hex)) + u"\\";
  }
  for (const char16_t* key :
       {u"ProductName", u"CompanyName", u"LegalCopyright", u"FileDescription", u"Comments", u"FileVersion"}) {
    Query(block, prefix + key, true);
  }
  return 0;
}
