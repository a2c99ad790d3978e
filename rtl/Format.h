#pragma once
// Format with the runtime's rules: %s, %d, %u, %x (and %%), with an optional
// "-" (left-justify), width and precision: "%.4x" pads digits with zeros to
// at least four, "%.3s" keeps at most three characters. An argument of the
// wrong kind raises EConvertError.
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "rtl/UnicodeString.h"

class TVarRec {
 public:
  enum class Kind { Integer, String };
  TVarRec(int v) noexcept : kind_(Kind::Integer), int_(v) {}
  TVarRec(long v) noexcept : kind_(Kind::Integer), int_(v) {}
  TVarRec(long long v) noexcept : kind_(Kind::Integer), int_(v) {}
  TVarRec(unsigned v) noexcept : kind_(Kind::Integer), int_(v) {}
  TVarRec(unsigned long v) noexcept : kind_(Kind::Integer), int_(static_cast<int64_t>(v)) {}
  TVarRec(unsigned short v) noexcept : kind_(Kind::Integer), int_(v) {}
  TVarRec(const UnicodeString& s) noexcept : kind_(Kind::String), str_(s.view()) {}
  TVarRec(UnicodeStringRef s) noexcept : kind_(Kind::String), str_(s.view()) {}
  TVarRec(const char16_t* s) noexcept : kind_(Kind::String), str_(s ? s : u"") {}
  TVarRec(std::u16string_view s) noexcept : kind_(Kind::String), str_(s) {}

  Kind kind() const noexcept { return kind_; }
  int64_t Int() const noexcept { return int_; }
  std::u16string_view Str() const noexcept { return str_; }

 private:
  Kind kind_;
  int64_t int_ = 0;
  std::u16string_view str_;
};

UnicodeString Format(std::u16string_view fmt, std::initializer_list<TVarRec> args);
