#include "workbench/SignalSafeText.h"

void TSignalSafeText::Put(char c) noexcept {
  if (used_ == sizeof buffer_) Flush();
  buffer_[used_++] = c;
}

TSignalSafeText& TSignalSafeText::Add(const char* Text, size_t Length) noexcept {
  for (size_t i = 0; i < Length; ++i) Put(Text[i]);
  return *this;
}

TSignalSafeText& TSignalSafeText::Add(const char* Text) noexcept {
  while (Text && *Text) Put(*Text++);
  return *this;
}

TSignalSafeText& TSignalSafeText::Add(const char16_t* Text) noexcept {
  while (Text && *Text) {
    uint32_t c = *Text++;
    if (c >= 0xD800 && c < 0xDC00 && *Text >= 0xDC00 && *Text < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint32_t>(*Text++) - 0xDC00);
    if (c < 0x80) {
      Put(static_cast<char>(c));
    } else if (c < 0x800) {
      Put(static_cast<char>(0xC0 | (c >> 6)));
      Put(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      Put(static_cast<char>(0xE0 | (c >> 12)));
      Put(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      Put(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      Put(static_cast<char>(0xF0 | (c >> 18)));
      Put(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      Put(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      Put(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return *this;
}

TSignalSafeText& TSignalSafeText::Hex(uintptr_t Value, int Digits) noexcept {
  for (int i = Digits - 1; i >= 0; --i) Put("0123456789ABCDEF"[(Value >> (4 * i)) & 0xF]);
  return *this;
}

TSignalSafeText& TSignalSafeText::Decimal(uint64_t Value) noexcept {
  char digits[20];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + Value % 10);
    Value /= 10;
  } while (Value);
  while (n) Put(digits[--n]);
  return *this;
}
