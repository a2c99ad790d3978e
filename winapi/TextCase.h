#pragma once
// Case-insensitive matching of resource names and version-block keys.
// Windows upper-cases both sides; letters of Latin-1 are enough for the
// names and keys resource scripts carry.
#include <string_view>

namespace qorb::winapi {

constexpr char16_t FoldCase(char16_t c) noexcept {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  return c;
}

constexpr bool SameTextW(std::u16string_view a, std::u16string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

}  // namespace qorb::winapi
