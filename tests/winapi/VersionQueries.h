#pragma once
// A library's version block and the texts in it, as the version functions
// give them.
#include <string>
#include <vector>

#include "rtl/UnicodeString.h"
#include "winapi/Version.h"

inline std::vector<uint8_t> VersionBlockOf(const std::u16string& path) {
  std::vector<uint8_t> block(GetFileVersionInfoSizeW(path.c_str(), nullptr));
  if (block.empty() || !GetFileVersionInfoW(path.c_str(), 0, DWORD(block.size()), block.data())) block.clear();
  return block;
}

// The text at path as stored, up to its zero, and its length in units
// counting the zero; "<none>" when the query fails.
inline std::u16string TextAt(const std::vector<uint8_t>& block, const char16_t* path, UINT* length = nullptr) {
  void* value = nullptr;
  UINT n = 0;
  if (!VerQueryValueW(block.data(), path, &value, &n)) return u"<none>";
  if (length) *length = n;
  return static_cast<const char16_t*>(value);
}
