#pragma once
// GUID in the platform's 16-byte layout, with a compile-time parser for the
// usual text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#if defined(_WIN32)
// The system's own type and comparison, so that a plug-in can include
// windows.h and these headers in one file, in either order.
#include <guiddef.h>
#else
struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];

  // Two words each: interface queries compare identifiers all the time.
  friend constexpr bool operator==(const GUID& a, const GUID& b) {
    return std::bit_cast<std::array<uint64_t, 2>>(a) == std::bit_cast<std::array<uint64_t, 2>>(b);
  }
};
#endif
static_assert(sizeof(GUID) == 16);
static_assert(offsetof(GUID, Data4) == 8);

namespace guid_detail {
constexpr uint32_t Hex(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
  throw "invalid hex digit in GUID";
}
constexpr uint32_t HexRun(const char* s, int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = v * 16 + Hex(s[i]);
  return v;
}
}  // namespace guid_detail

// MakeGuid("{0A5B3C7D-8E1F-4926-A4B0-6D3E9C2F7A15}") at compile time.
consteval GUID MakeGuid(const char (&s)[39]) {
  using guid_detail::HexRun;
  if (s[0] != '{' || s[9] != '-' || s[14] != '-' || s[19] != '-' || s[24] != '-' || s[37] != '}')
    throw "malformed GUID text";
  GUID g{HexRun(s + 1, 8), static_cast<uint16_t>(HexRun(s + 10, 4)),
         static_cast<uint16_t>(HexRun(s + 15, 4)), {}};
  g.Data4[0] = static_cast<uint8_t>(HexRun(s + 20, 2));
  g.Data4[1] = static_cast<uint8_t>(HexRun(s + 22, 2));
  for (int i = 0; i < 6; ++i) g.Data4[2 + i] = static_cast<uint8_t>(HexRun(s + 25 + 2 * i, 2));
  return g;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
std::string GuidToString(const GUID& g);

struct GuidHash {
  size_t operator()(const GUID& g) const noexcept {
    uint64_t a, b;
    std::memcpy(&a, &g, 8);
    std::memcpy(&b, reinterpret_cast<const char*>(&g) + 8, 8);
    return std::hash<uint64_t>{}(a ^ (b * 0x9E3779B97F4A7C15ull));
  }
};
