#pragma once
// IExampleCounter for C++ plug-ins: the same slots as example_counter.h.
#include <cstdint>

#include "rtl/Interface.h"
#include "rtl/UnicodeString.h"

struct IExampleCounter : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{C2A14429-EEA4-4B85-8DE0-F645075006E0}");
  // Any thread: the count after this call.
  virtual int32_t Increment() = 0;
  // Releases what Result holds, then stores the counter's name.
  virtual void GetName(UnicodeString& Result) = 0;

 protected:
  ~IExampleCounter() = default;
};
