#pragma once
// Text built and written with async-signal-safe calls only, for what the
// IDE writes while a fault ends the process.
#include <cstddef>
#include <cstdint>

class TSignalSafeText {
 public:
  // Fd: 1 or 2, standard output or error (any descriptor on Linux).
  explicit TSignalSafeText(int Fd) noexcept : fd_(Fd) {}
  ~TSignalSafeText() { Flush(); }
  TSignalSafeText(const TSignalSafeText&) = delete;
  TSignalSafeText& operator=(const TSignalSafeText&) = delete;

  TSignalSafeText& Add(const char* Text) noexcept;
  TSignalSafeText& Add(const char* Text, size_t Length) noexcept;
  // UTF-16 up to its zero, as UTF-8.
  TSignalSafeText& Add(const char16_t* Text) noexcept;
  TSignalSafeText& Hex(uintptr_t Value, int Digits = 16) noexcept;
  TSignalSafeText& Decimal(uint64_t Value) noexcept;
  void Flush() noexcept;

 private:
  void Put(char c) noexcept;
  int fd_;
  char buffer_[1024];
  size_t used_ = 0;
};
